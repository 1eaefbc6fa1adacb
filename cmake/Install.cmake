# A Linux install: the programs in bin/, the supplied data files and help pages in
# share/kqvdr1000-control/ (the program seeds each user's data directory from there), the
# desktop entry and the icon; and a .deb of the same (cpack -G DEB).
include(GNUInstallDirs)


install(TARGETS kqvdr1000-control RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kqvdr1000-sim)
    install(TARGETS kqvdr1000-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/InstallData.cmake)
install(FILES ${PROJECT_SOURCE_DIR}/data/kqvdr1000-control.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/kqvdr1000.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME kqvdr1000-control.svg)

include(${CMAKE_CURRENT_LIST_DIR}/PackageNames.cmake)
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Sets the temperatures, gas flow and methods of the KQ-VDR 1000 evaporative\n"
    "light-scattering detector over a serial line, switches its modes, shows its\n"
    "live readings and raises its faults. Includes kqvdr1000-sim, a simulated\n"
    "instrument on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries decide most dependencies; Qt's platform plugins are not linked but are
# needed to open a window at all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
