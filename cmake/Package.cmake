# A Debian package of what `cmake --install` puts in place: `cpack -G DEB` in the build folder
# (scripts/package builds it and checks it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quavex)
set(CPACK_PACKAGE_VENDOR ${QUAVEX_COMPANY})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Freshens the music on a portable MP3 player with a random choice from a music folder")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUAVEX_COMPANY})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the program links come from dpkg-shlibdeps; what it loads at run time is named
# here: Qt's platform plugins (the window cannot open without them) and the fonts its look uses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue")
include(CPack)
