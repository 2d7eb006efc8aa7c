# The Debian package: `cpack -G DEB` in the build folder.  Its dependencies
# come from the shared libraries the programs link (dpkg-shlibdeps); the fonts
# the window shows Chinese text with are recommended.
set(CPACK_PACKAGE_NAME bgconv)
set(CPACK_PACKAGE_VENDOR "bgconv")
set(CPACK_PACKAGE_CONTACT "bgconv maintainers <maintainers@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Delphi projects between Big5 and GB2312")
set(CPACK_PACKAGE_DESCRIPTION "bgconv converts the source files of Delphi projects (.pas, .dpr, .dfm)
between Big5 (cp950) and GB2312 (cp936), on the command line (bgconv) or in
a window (bgconv-gui); bgconv text converts a stream as a filter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
