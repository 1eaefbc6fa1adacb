# kqvdr_windows_resources(TARGET <executable> FILE_NAME <name.exe> DESCRIPTION <text>): the
# application manifest and the version resource, compiled into the executable.
include(${PROJECT_SOURCE_DIR}/cmake/PackageNames.cmake)
function(kqvdr_windows_resources)
    cmake_parse_arguments(RES "" "TARGET;FILE_NAME;DESCRIPTION" "" ${ARGN})
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/windows-resources/${RES_TARGET})
    set(KQVDR_MANIFEST ${dir}/program.manifest)
    set(KQVDR_FILE_NAME ${RES_FILE_NAME})
    set(KQVDR_FILE_DESCRIPTION ${RES_DESCRIPTION})
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kqvdr1000-control.manifest
                   ${KQVDR_MANIFEST} @ONLY)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.rc.in ${dir}/program.rc @ONLY)
    set_source_files_properties(${dir}/program.rc PROPERTIES OBJECT_DEPENDS ${KQVDR_MANIFEST})
    target_sources(${RES_TARGET} PRIVATE ${dir}/program.rc)
    if(MSVC)
        # The manifest is ours; the linker's own would be a second one.
        target_link_options(${RES_TARGET} PRIVATE /MANIFEST:NO)
    endif()
endfunction()
