# Linux (and other POSIX systems): installed like a desktop application, and
# packed into a .deb by CPack.
#   bin/vornwick
#   libexec/vornwick/vorn-cmd        (found there by the installed program)
#   share/applications/org.vornwick.Vornwick.desktop
#   share/metainfo/org.vornwick.Vornwick.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/org.vornwick.Vornwick.{svg,png}
#   share/man/man1/vornwick.1.gz
#   share/doc/vornwick/copyright     (the MIT licence), changelog.gz
include(GNUInstallDirs)

set(VORN_APP_ID org.vornwick.Vornwick)

install(TARGETS vornwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vorn-cmd RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vornwick)

install(FILES ${PROJECT_SOURCE_DIR}/data/linux/${VORN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/data/linux/${VORN_APP_ID}.metainfo.xml
               ${CMAKE_CURRENT_BINARY_DIR}/${VORN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${VORN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The window's own icon, under the application's name.
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vornwick.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VORN_APP_ID}.svg)
foreach(_size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vornwick-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          RENAME ${VORN_APP_ID}.png)
endforeach()

# The manual page, compressed as Debian wants it.
find_program(VORN_GZIP gzip)
if(VORN_GZIP)
  execute_process(COMMAND ${VORN_GZIP} -n -9 -c ${PROJECT_SOURCE_DIR}/data/linux/vornwick.1
                  OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/vornwick.1.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vornwick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# Debian keeps the licence as share/doc/<package>/copyright; other systems
# find it there too.
configure_file(${PROJECT_SOURCE_DIR}/data/linux/copyright.in
               ${CMAKE_CURRENT_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vornwick)
string(TIMESTAMP _today "%a, %d %b %Y 00:00:00 +0000" UTC)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/changelog
     "vornwick (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * Release ${PROJECT_VERSION}.\n\n"
     " -- Vornwick developers <maintainers@vornwick.org>  ${_today}\n")
if(VORN_GZIP)
  execute_process(COMMAND ${VORN_GZIP} -n -9 -f -k ${CMAKE_CURRENT_BINARY_DIR}/changelog)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vornwick)
endif()

# The .deb: vornwick_<version>_<arch>.deb. The Qt 6 runtime (and the C++
# runtime) come from the shared libraries the programs link with; Wine is
# recommended, as it runs the game (wine32, from the i386
# architecture, runs its 32-bit programs).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vornwick developers")
set(CPACK_PACKAGE_CONTACT "Vornwick developers <maintainers@vornwick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prepare and start a Half-Life game server")
set(CPACK_PACKAGE_DESCRIPTION
    "Vornwick prepares and starts a Half-Life game server: it points at the\n"
    "game's server program, lists the installed mods, and writes the command\n"
    "line, server configuration, map cycle, welcome message and bot set-up\n"
    "into the mod's directory. On Linux the game runs under Wine.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vornwick.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, wine64, wine32")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
