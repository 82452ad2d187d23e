# "cpack -G DEB" in the build folder: one Debian package with everything the
# install step puts in place (libraries, headers, CMake package, pkg-config
# file, the tool, the fontconfig alias), installed under /usr.
set(CPACK_PACKAGE_NAME vexafol)
set(CPACK_PACKAGE_VENDOR "VEXAFOL developers")
set(CPACK_PACKAGE_CONTACT "VEXAFOL developers <vexafol@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drawing store, locking and selection dialog of a Japanese CAD suite")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Keeps the drawings of a surveying and civil-engineering CAD suite on disk in the\n"
  "Windows-compatible store format, with the locks that let several users share a\n"
  "store, the drawing selection dialog (Qt) and the vexafol command-line tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Run-time dependencies come from the libraries' and the tool's links; the
# CMake package's ui component asks for Qt's development files.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs and tool tips in the user's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-base-dev")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
