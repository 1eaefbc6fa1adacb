set(CPACK_PACKAGE_NAME kqvdr1000-control)
set(CPACK_PACKAGE_VENDOR "KQ-VDR 1000 Control developers")
set(CPACK_PACKAGE_CONTACT "KQ-VDR 1000 Control developers <kqvdr1000-control@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Front panel of the KQ-VDR 1000 light-scattering detector")
