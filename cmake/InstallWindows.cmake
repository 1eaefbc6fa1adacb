# A Windows install: the program, its twin for the console (kqvdr1000-control.com), the Qt DLLs,
# Qt's platform and style plugins and the MinGW runtime in bin\, the supplied data files and
# help in share\kqvdr1000-control\. scripts/package-windows packs this tree into the installer
# (packaging/windows/installer.nsi).
install(TARGETS kqvdr1000-control kqvdr1000-control-console RUNTIME DESTINATION bin)
include(${CMAKE_CURRENT_LIST_DIR}/InstallData.cmake)

set(runtime_dlls)
foreach(module Core Gui Widgets PrintSupport)
    list(APPEND runtime_dlls $<TARGET_FILE:Qt6::${module}>)
endforeach()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS ${dll_path})
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
    endif()
    file(REAL_PATH ${dll_path} dll_path)
    list(APPEND runtime_dlls ${dll_path})
endforeach()
install(FILES ${runtime_dlls} DESTINATION bin)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION bin/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION bin/styles)

# CPack strips targets but not files installed as files.
find_program(KQVDR_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
set(installed_dlls)
foreach(dll IN LISTS runtime_dlls)
    list(APPEND installed_dlls "bin/$<PATH:GET_FILENAME,${dll}>")
endforeach()
list(APPEND installed_dlls "bin/platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>"
     "bin/styles/$<TARGET_FILE_NAME:Qt6::QWindowsVistaStylePlugin>")
install(CODE "
    foreach(dll ${installed_dlls})
        execute_process(COMMAND ${KQVDR_MINGW_STRIP} --strip-unneeded
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${dll}\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
")
