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

if(VELLARION_CLI AND NOT WIN32)
    install(FILES "${dist}/vellarion-cli.bash-completion"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
            RENAME vellarion-cli)
    # The man page is made from the program's own help at build time.
    find_program(HELP2MAN help2man)
    if(HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
        set(manPage "${CMAKE_CURRENT_BINARY_DIR}/vellarion-cli.1")
        add_custom_command(
            OUTPUT "${manPage}"
            COMMAND "${CMAKE_COMMAND}" "-DCLI=$<TARGET_FILE:vellarion-cli>" "-DHELP2MAN=${HELP2MAN}"
                    "-DOUTPUT=${manPage}" -P "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
            DEPENDS vellarion-cli "${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake"
            COMMENT "Writing the man page of vellarion-cli from its help")
        add_custom_target(vellarion-cli-man ALL DEPENDS "${manPage}")
        install(FILES "${manPage}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    else()
        message(STATUS "help2man not found: vellarion-cli gets no man page (Debian: help2man)")
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
    "Vellarion backs up and restores the settings and personal data of web browsers "
    "(Internet Explorer, Firefox, Chrome, Safari, Opera and Flock): selective backups of "
    "the items you tick, full backups of a browser's data folder, and their restores, "
    "in a window (vellarion) and on the command line (vellarion-cli).")
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
