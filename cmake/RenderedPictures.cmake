# Builds without QtSvg (the Windows build: its Qt has none) draw the
# program's pictures from PNG files rendered at build time from the same SVG
# sources, with rsvg-convert. The .qrc files of the SVG build stay the one list
# of pictures; from each, a .qrc of PNGs is made here.
#
# vellarion_rendered_pictures(TARGET QRC [ICON_PREFIX PREFIX ICON_SIZES N...])
# Adds to TARGET the resources of QRC with every picture ":/P/NAME.svg" turned
# into the folder ":/P/NAME/" of PNG files named by their pixel size (WxH.png):
# the size the windows draw it at and twice that, for screens of high pixel
# density. A picture draws at the width and height its SVG states; those under
# ICON_PREFIX (square icons of no stated size) at each of ICON_SIZES.
# The resources keep the .qrc file's name, so Q_INIT_RESOURCE reaches them.
find_program(VELLARION_RSVG_CONVERT rsvg-convert REQUIRED)

function(vellarion_rendered_pictures target qrc)
    cmake_parse_arguments(P "" "ICON_PREFIX" "ICON_SIZES" ${ARGN})
    get_filename_component(qrc "${qrc}" ABSOLUTE)
    get_filename_component(qrc_dir "${qrc}" DIRECTORY)
    get_filename_component(name "${qrc}" NAME_WE)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/rendered/${name}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${qrc}")

    file(STRINGS "${qrc}" lines)
    set(xml "<!DOCTYPE RCC><RCC version=\"1.0\">\n")
    set(prefix "")
    foreach(line IN LISTS lines)
        if(line MATCHES "<qresource prefix=\"([^\"]*)\">")
            set(prefix "${CMAKE_MATCH_1}")
            string(APPEND xml "<qresource prefix=\"${prefix}\">\n")
        elseif(line MATCHES "</qresource>")
            string(APPEND xml "</qresource>\n")
        elseif(line MATCHES "<file alias=\"([^\"]+)\\.svg\">([^<]+)</file>")
            set(picture "${CMAKE_MATCH_1}")
            set(svg "${qrc_dir}/${CMAKE_MATCH_2}")
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${svg}")
            set(sizes "")
            if(prefix STREQUAL P_ICON_PREFIX)
                foreach(n IN LISTS P_ICON_SIZES)
                    list(APPEND sizes "${n}x${n}")
                endforeach()
            else()
                file(READ "${svg}" head LIMIT 2000)
                string(REGEX MATCH "<svg[^>]*>" tag "${head}")
                if(NOT tag MATCHES " width=\"([0-9]+)\"")
                    message(FATAL_ERROR "${svg} states no width in pixels")
                endif()
                set(w "${CMAKE_MATCH_1}")
                if(NOT tag MATCHES " height=\"([0-9]+)\"")
                    message(FATAL_ERROR "${svg} states no height in pixels")
                endif()
                list(APPEND sizes "${w}x${CMAKE_MATCH_1}")
            endif()
            # Each size, and twice it; a size that is twice another is made once.
            set(pixels "")
            foreach(size IN LISTS sizes)
                string(REPLACE "x" ";" wh "${size}")
                list(GET wh 0 w)
                list(GET wh 1 h)
                math(EXPR w2 "${w} * 2")
                math(EXPR h2 "${h} * 2")
                list(APPEND pixels "${w}x${h}" "${w2}x${h2}")
            endforeach()
            list(REMOVE_DUPLICATES pixels)
            file(MAKE_DIRECTORY "${out}/${picture}")
            foreach(size IN LISTS pixels)
                string(REPLACE "x" ";" wh "${size}")
                list(GET wh 0 w)
                list(GET wh 1 h)
                set(png "${out}/${picture}/${size}.png")
                add_custom_command(OUTPUT "${png}"
                    COMMAND "${VELLARION_RSVG_CONVERT}" --width ${w} --height ${h} --output "${png}" "${svg}"
                    DEPENDS "${svg}"
                    COMMENT "Rendering ${picture} at ${size}"
                    VERBATIM)
                string(APPEND xml "    <file alias=\"${picture}/${size}.png\">${picture}/${size}.png</file>\n")
            endforeach()
        endif()
    endforeach()
    string(APPEND xml "</RCC>\n")
    # Rewritten only when it changes, so that a new configure run does not
    # make the resources again.
    file(CONFIGURE OUTPUT "${out}/${name}.qrc" CONTENT "${xml}" @ONLY)
    qt6_add_resources(sources "${out}/${name}.qrc")
    target_sources(${target} PRIVATE ${sources})
endfunction()
