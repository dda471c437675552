# What a user gets beside the program: the manual the Help message points to, and on freedesktop
# systems a menu entry with its icon, the software centres' description, a manual page and the
# papers a Debian package carries.
set(QUAVEX_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
# The reverse-DNS name that the desktop entry and the software centres' description share.
set(QUAVEX_APP_ID com.larkspurlanesoftware.quavex)

# The manual sits beside the built executable too, so a program run from the build folder finds
# it where the Help message says.
configure_file(${QUAVEX_DIST_DIR}/QUAVEX.html ${CMAKE_BINARY_DIR}/QUAVEX.html COPYONLY)

if(UNIX AND NOT APPLE)
    # Manual pages and changelogs are installed compressed; -n leaves out the name and time, so
    # the same source gives the same bytes.
    set(compressed)
    foreach(document IN ITEMS quavex.1 changelog)
        add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${document}.gz
                           COMMAND gzip -9n -c ${QUAVEX_DIST_DIR}/${document} >
                                   ${CMAKE_BINARY_DIR}/${document}.gz
                           DEPENDS ${QUAVEX_DIST_DIR}/${document} VERBATIM)
        list(APPEND compressed ${CMAKE_BINARY_DIR}/${document}.gz)
    endforeach()
    add_custom_target(quavex_documents ALL DEPENDS ${compressed})

    # Where Linux keeps a program's documents; the program itself goes to bin/, which holds
    # programs only.
    install(FILES ${QUAVEX_DIST_DIR}/QUAVEX.html ${QUAVEX_DIST_DIR}/copyright
                  ${CMAKE_BINARY_DIR}/changelog.gz
            DESTINATION share/doc/quavex)
    install(FILES ${CMAKE_BINARY_DIR}/quavex.1.gz DESTINATION share/man/man1)
    install(FILES ${QUAVEX_DIST_DIR}/${QUAVEX_APP_ID}.desktop DESTINATION share/applications)
    install(FILES ${QUAVEX_DIST_DIR}/${QUAVEX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
    # The user unit that runs a rotation when the player's card is mounted (quavex(1)).
    install(FILES ${QUAVEX_DIST_DIR}/quavex-rotate@.service DESTINATION lib/systemd/user)
    foreach(size IN ITEMS 48 256)
        install(FILES ${QUAVEX_DIST_DIR}/quavex-${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME quavex.png)
    endforeach()
else()
    install(FILES ${QUAVEX_DIST_DIR}/QUAVEX.html DESTINATION bin)
endif()
