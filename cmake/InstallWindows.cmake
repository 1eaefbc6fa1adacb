# A Windows install: the program with the Qt DLLs, Qt's platform and style plugins and the MinGW
# runtime beside it in bin\, the supplied data files and help in share\kqvdr1000-control\, and
# an NSIS installer of the same (cpack -G NSIS), 64-bit so that it starts under a 64-bit-only
# Windows or Wine.
install(TARGETS kqvdr1000-control RUNTIME DESTINATION bin)
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

include(${CMAKE_CURRENT_LIST_DIR}/PackageNames.cmake)
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_FILE_NAME "KQ-VDR1000-Control-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "KQ-VDR1000 Control")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "KQ-VDR1000 Control")
set(CPACK_NSIS_DISPLAY_NAME "KQ-VDR1000 Control ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "KQ-VDR1000 Control")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY bin)
set(CPACK_NSIS_MUI_ICON ${KQVDR_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${KQVDR_WINDOWS_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\kqvdr1000-control.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_PACKAGE_EXECUTABLES kqvdr1000-control "KQ-VDR1000 Control")
set(CPACK_NSIS_MENU_LINKS "share/kqvdr1000-control/help/index.html" "KQ-VDR1000 Control Help")
# Each user's data stay in %LOCALAPPDATA%\kqvdr1000-control: the uninstaller removes only what
# the installer put in Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)
