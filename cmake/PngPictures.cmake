# The program's SVG pictures as PNGs, for a Qt without its SVG module (the Windows build):
# rendered on the build machine with rsvg-convert at every width the program draws them at,
# device-pixel ratio 2 included, into a resource library whose names follow the SVGs'
# (":/icons/monitor.svg" drawn 24 wide is ":/icons/monitor-24.png").
find_program(KQVDR_RSVG_CONVERT rsvg-convert REQUIRED)

# kqvdr_png_pictures(TARGET <library> NAME <resource name> DIR <source folder>
#                    PICTURES <file relative to DIR> <widths...> [<file> <widths...>]...)
function(kqvdr_png_pictures)
    cmake_parse_arguments(PNG "" "TARGET;NAME;DIR" "PICTURES" ${ARGN})
    set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${PNG_NAME})
    set(outputs)
    set(current)
    foreach(item IN LISTS PNG_PICTURES)
        if(item MATCHES "\\.svg$")
            set(current ${item})
            continue()
        endif()
        string(REGEX REPLACE "\\.svg$" "-${item}.png" png ${current})
        get_filename_component(png_dir ${out_dir}/${png} DIRECTORY)
        add_custom_command(
            OUTPUT ${out_dir}/${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${png_dir}
            COMMAND ${KQVDR_RSVG_CONVERT} --width ${item} --keep-aspect-ratio
                    --output ${out_dir}/${png} ${PNG_DIR}/${current}
            DEPENDS ${PNG_DIR}/${current}
            VERBATIM)
        list(APPEND outputs ${out_dir}/${png})
    endforeach()
    qt_add_resources(${PNG_TARGET} ${PNG_NAME} PREFIX / BASE ${out_dir} FILES ${outputs})
endfunction()

# kqvdr_windows_icon(TARGET <executable> SVG <file> OUTPUT <variable>): the SVG as a Windows icon
# (16 to 256 pixels) built into the executable; OUTPUT names the .ico for the installer's use.
function(kqvdr_windows_icon)
    cmake_parse_arguments(ICON "" "TARGET;SVG;OUTPUT" "" ${ARGN})
    find_program(KQVDR_ICOTOOL icotool REQUIRED)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/windows-icon)
    set(pngs)
    foreach(size 16 24 32 48 64 256)
        add_custom_command(
            OUTPUT ${dir}/${size}.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${KQVDR_RSVG_CONVERT} --width ${size} --height ${size} --output
                    ${dir}/${size}.png ${ICON_SVG}
            DEPENDS ${ICON_SVG}
            VERBATIM)
        list(APPEND pngs ${dir}/${size}.png)
    endforeach()
    set(ico ${dir}/${ICON_TARGET}.ico)
    add_custom_command(OUTPUT ${ico} COMMAND ${KQVDR_ICOTOOL} --create --output ${ico} ${pngs}
                       DEPENDS ${pngs} VERBATIM)
    file(WRITE ${dir}/${ICON_TARGET}.rc "1 ICON \"${ico}\"\n")
    set_source_files_properties(${dir}/${ICON_TARGET}.rc PROPERTIES OBJECT_DEPENDS ${ico})
    target_sources(${ICON_TARGET} PRIVATE ${dir}/${ICON_TARGET}.rc)
    set(${ICON_OUTPUT} ${ico} PARENT_SCOPE)
endfunction()
