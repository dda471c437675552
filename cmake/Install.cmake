# What a user gets beside the program: the manual the Help message points to, and on freedesktop
# systems a menu entry with its icon.
set(QUAVEX_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)

# The manual sits beside the built executable too, so a program run from the build folder finds
# it where the Help message says.
configure_file(${QUAVEX_DIST_DIR}/QUAVEX.html ${CMAKE_BINARY_DIR}/QUAVEX.html COPYONLY)

if(UNIX AND NOT APPLE)
    # Where Linux keeps a program's documents; the program itself goes to bin/, which holds
    # programs only.
    install(FILES ${QUAVEX_DIST_DIR}/QUAVEX.html DESTINATION share/doc/quavex)
    install(FILES ${QUAVEX_DIST_DIR}/quavex.desktop DESTINATION share/applications)
    foreach(size IN ITEMS 48 256)
        install(FILES ${QUAVEX_DIST_DIR}/quavex-${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME quavex.png)
    endforeach()
else()
    install(FILES ${QUAVEX_DIST_DIR}/QUAVEX.html DESTINATION bin)
endif()
