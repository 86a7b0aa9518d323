# The Windows program's icon and version information, built into the
# executable as resources: Explorer, the taskbar and the file's properties
# show them. The icon is rendered from the program's emblem (the SVG the
# window program shows) at the sizes Windows asks for, and packed into one
# .ico file.
#
# vellarion_windows_resources(TARGET SVG DESCRIPTION)
# (The RC language is enabled by the top-level CMakeLists on Windows.)
find_program(VELLARION_RSVG_CONVERT rsvg-convert REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(vellarion_windows_resources target svg description)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}-resources")
    file(MAKE_DIRECTORY "${out}")
    set(pngs "")
    foreach(size 16 20 24 32 40 48 64 256)
        set(png "${out}/${size}.png")
        add_custom_command(OUTPUT "${png}"
            COMMAND "${VELLARION_RSVG_CONVERT}" --width ${size} --height ${size} --output "${png}" "${svg}"
            DEPENDS "${svg}"
            VERBATIM)
        list(APPEND pngs "${png}")
    endforeach()
    add_custom_command(OUTPUT "${out}/${target}.ico"
        COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/cmake/pack-ico.py" "${out}/${target}.ico" ${pngs}
        DEPENDS ${pngs} "${PROJECT_SOURCE_DIR}/cmake/pack-ico.py"
        COMMENT "Packing the icon of ${target}"
        VERBATIM)
    string(REPLACE "." "," numbers "${PROJECT_VERSION}.0")
    file(CONFIGURE OUTPUT "${out}/${target}.rc" CONTENT [[
#include <winver.h>
1 ICON "@out@/@target@.ico"
1 VERSIONINFO
FILEVERSION @numbers@
PRODUCTVERSION @numbers@
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "FileDescription", "@description@"
      VALUE "FileVersion", "@PROJECT_VERSION@"
      VALUE "InternalName", "@target@"
      VALUE "OriginalFilename", "@target@.exe"
      VALUE "ProductName", "Vellarion"
      VALUE "ProductVersion", "@PROJECT_VERSION@"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
]] @ONLY)
    set_source_files_properties("${out}/${target}.rc" PROPERTIES OBJECT_DEPENDS "${out}/${target}.ico")
    target_sources(${target} PRIVATE "${out}/${target}.rc")
endfunction()
