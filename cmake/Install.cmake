# Installing: `cmake --install <build> [--prefix P]` lays the game out as a desktop application.
# The game finds its resources at ../share/royal-expedition from its own folder, so any prefix
# (or DESTDIR) works. `make deb` packs the same tree into a Debian package with CPack.
include(GNUInstallDirs)
set(RE_APP_ID com.example.royalexpedition)
set(RE_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(RE_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(RE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/royal-expedition)

install(TARGETS royal-expedition RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${RE_RESOURCE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/royal-expedition)
install(FILES ${RE_PACKAGING}/${RE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RE_PACKAGING}/${RE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${RE_ICON_DIR}/icon-${size}.png RENAME ${RE_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page carries the version; it and the changelog are compressed as Debian wants them
# (gzip -9, no name or time stamp inside).
configure_file(${RE_PACKAGING}/royal-expedition.6.in ${RE_PACKAGING_OUT}/royal-expedition.6 @ONLY)
add_custom_command(
  OUTPUT ${RE_PACKAGING_OUT}/royal-expedition.6.gz ${RE_PACKAGING_OUT}/changelog.gz
  COMMAND sh -c "gzip -9nc royal-expedition.6 > royal-expedition.6.gz && gzip -9nc '${RE_PACKAGING}/changelog' > changelog.gz"
  DEPENDS ${RE_PACKAGING_OUT}/royal-expedition.6 ${RE_PACKAGING}/changelog
  WORKING_DIRECTORY ${RE_PACKAGING_OUT}
  VERBATIM)
add_custom_target(packaging_files ALL DEPENDS ${RE_PACKAGING_OUT}/royal-expedition.6.gz ${RE_PACKAGING_OUT}/changelog.gz)
install(FILES ${RE_PACKAGING_OUT}/royal-expedition.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${RE_PACKAGING}/copyright ${RE_PACKAGING_OUT}/changelog.gz DESTINATION ${RE_DOC_DIR})

# The Debian package. `make deb` builds first; CPack only installs what the build has made.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME royal-expedition)
set(CPACK_PACKAGE_VENDOR "The Royal Expedition developers")
set(CPACK_PACKAGE_CONTACT "The Royal Expedition developers <maintainers@users.noreply.c-seed-0f949815.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "idle exploration game with a king and his party")
set(CPACK_PACKAGE_DESCRIPTION "A king sends his party of twenty to thirty persons into one of ten dungeons;
they come back one by one on the wall clock, also while the game is closed,
carrying the monster they beat or as a coffin. Collect them with a click or a
drag, earn gold, buy equipment, unlock dungeons and fill the monster book.
Pixel art, in English, Japanese and Simplified Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.com/royalexpedition/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts are Debian's: the package links to them instead of carrying copies.
# libcurl and libnotify are opened by name when first needed, so the shared-library scan does not see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dotgothic16, fonts-wqy-microhei, libcurl4, libnotify4")
set(CPACK_RE_FONT_LINKS "fonts/GD-DOTFONT-DQ-TTF.ttf=${RE_FONT_DOT};fonts/SystemFont.ttc=${RE_FONT_SYSTEM}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageDebian.cmake)
include(CPack)
