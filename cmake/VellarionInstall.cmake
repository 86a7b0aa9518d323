# What `cmake --install` puts beside the two programs (their install rules
# are in src/app and src/cli): the desktop entry, the AppStream metadata and
# the icon of the window program, the man page and bash completion of
# vellarion-cli; and the Debian package made of it all (cpack -G DEB).

set(VELLARION_APP_ID org.example.vellarion)
set(dist "${PROJECT_SOURCE_DIR}/dist")

if(VELLARION_GUI AND NOT WIN32)
    install(FILES "${dist}/${VELLARION_APP_ID}.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${dist}/${VELLARION_APP_ID}.metainfo.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    # The emblem the window program shows, and its rendering (dist/render-icon).
    install(FILES "${PROJECT_SOURCE_DIR}/src/gui/kit/resources/icons/emblem.svg"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
            RENAME "${VELLARION_APP_ID}.svg")
    install(FILES "${dist}/${VELLARION_APP_ID}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps")
endif()

find_program(GZIP gzip)
# A file of the build compressed (cmake/Gzip.cmake) into OUTPUT.
function(vellarion_gzip target input output)
    add_custom_command(
        OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" "-DGZIP=${GZIP}" "-DINPUT=${input}" "-DOUTPUT=${output}"
                -P "${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake"
        DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake"
        COMMENT "Compressing ${input}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS "${output}")
endfunction()

if(VELLARION_CLI AND NOT WIN32)
    install(FILES "${dist}/vellarion-cli.bash-completion"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
            RENAME vellarion-cli)
    # The man pages are made from the programs' own help at build time, and
    # installed compressed.
    find_program(HELP2MAN help2man)
    if(HELP2MAN AND GZIP AND NOT CMAKE_CROSSCOMPILING)
        set(manPage "${CMAKE_CURRENT_BINARY_DIR}/vellarion-cli.1")
        add_custom_command(
            OUTPUT "${manPage}"
            COMMAND "${CMAKE_COMMAND}" "-DCLI=$<TARGET_FILE:vellarion-cli>" "-DHELP2MAN=${HELP2MAN}"
                    "-DOUTPUT=${manPage}" -P "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
            DEPENDS vellarion-cli "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
            COMMENT "Writing the man page of vellarion-cli from its help")
        vellarion_gzip(vellarion-cli-man "${manPage}" "${manPage}.gz")
        install(FILES "${manPage}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
        if(VELLARION_GUI)
            set(windowManPage "${CMAKE_CURRENT_BINARY_DIR}/vellarion.1")
            add_custom_command(
                OUTPUT "${windowManPage}"
                COMMAND "${HELP2MAN}" --no-info --section=1
                        "--name=back up and restore web browsers' settings and data in a window"
                        "--output=${windowManPage}" "$<TARGET_FILE:vellarion>"
                DEPENDS vellarion
                COMMENT "Writing the man page of vellarion from its help"
                VERBATIM)
            vellarion_gzip(vellarion-man "${windowManPage}" "${windowManPage}.gz")
            install(FILES "${windowManPage}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
        endif()
    else()
        message(STATUS "help2man or gzip not found: the programs get no man page (Debian: help2man)")
    endif()
endif()

if(NOT WIN32)
    # What Debian asks of every package: the copyright (machine-readable) and
    # the changelog, compressed, in the package's documentation folder.
    set(docDir "${CMAKE_INSTALL_DATADIR}/doc/vellarion")
    install(FILES "${dist}/copyright" DESTINATION "${docDir}")
    if(GZIP)
        vellarion_gzip(vellarion-changelog "${dist}/changelog"
                       "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz")
        install(FILES "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz" DESTINATION "${docDir}")
    endif()
endif()

# The Debian package: cpack -G DEB in the build folder. dpkg-shlibdeps
# finds the libraries the programs link; the window system's plugins are
# loaded at run time, so they are named here.
set(CPACK_PACKAGE_NAME vellarion)
set(CPACK_PACKAGE_VENDOR Vellarion)
set(CPACK_PACKAGE_CONTACT "Vellarion <support@vellarion.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "back up and restore web browsers' settings and data")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellarion backs up and restores the settings and personal data of web\n"
    "browsers: Internet Explorer, Firefox, Chrome, Safari, Opera (classic and\n"
    "current), Opera GX, Flock, Edge, Brave, Vivaldi, Chromium, LibreWolf,\n"
    "Waterfox, Floorp and Zen. It makes selective backups of the items you\n"
    "tick and full backups of a browser's data folder, encrypted when asked,\n"
    "keeps versions, runs on a schedule, sends archives to rclone remotes, and\n"
    "restores them, in a window (vellarion) and on the command line\n"
    "(vellarion-cli). It works on the browsers of this machine, and on Windows\n"
    "data in a Wine prefix or on a mounted Windows disk.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vellarion.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(VELLARION_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
