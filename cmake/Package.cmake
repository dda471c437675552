# A Debian package of what `cmake --install` puts in place: `cpack -G DEB` in the build folder
# (scripts/package builds it and checks it with lintian).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quavex)
set(CPACK_PACKAGE_VENDOR ${QUAVEX_COMPANY})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "swap the songs on a portable MP3 player for a random choice of your music")
# Lines under 80 characters; CPack indents them and marks the blank line between paragraphs.
set(CPACK_PACKAGE_DESCRIPTION
    "QUAVEX freshens the music on a portable MP3 player. Pick the music folder on
your computer and one or two folders on the player, one in its internal memory
and one on its memory card, then press Select: the songs now on the player go
back into the music folder, and the player is filled with songs chosen at
random until it is full.

Songs are moved, never copied, and never lost: every song is either on the
computer or on the player. A run can be stopped at any moment; the next run
first puts back what the stopped one left in its holding folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUAVEX_COMPANY} <quavex@larkspurlanesoftware.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the program links come from dpkg-shlibdeps; what it loads at run time is named
# here: Qt's platform plugins (the window cannot open without them) and the fonts its look uses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue")
include(CPack)
