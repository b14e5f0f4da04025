# SPDX-License-Identifier: GPL-3.0-or-later
# Installation as a desktop application (`make install PREFIX=...`) and the Debian package
# (`make deb`). The application id names the desktop entry, the metadata and the icon alike.
include(GNUInstallDirs)

set(OSTREL_APP_ID org.ostrel.Radio)
set(OSTREL_HOMEPAGE "https://ostrel.org" CACHE STRING "The project's web page, for the software centre")
set(OSTREL_SCREENSHOTS_URL "${OSTREL_HOMEPAGE}/screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published")
set(OSTREL_MAINTAINER_EMAIL "radio@ostrel.org" CACHE STRING "Contact address in the Debian package")
set(dist ${CMAKE_BINARY_DIR}/dist)
# The helpers below run at build time; in a sanitizer build a leak report must not fail them.
set(run_helper ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)

install(TARGETS ostrel-radio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES dist/${OSTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(dist/${OSTREL_APP_ID}.metainfo.xml.in ${dist}/${OSTREL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${dist}/${OSTREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES dist/${OSTREL_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Bitmap icons for the sizes menus and docks ask for, drawn from the SVG at build time.
add_executable(ostrel-render-svg tools/icons/render-svg.cpp)
target_link_libraries(ostrel-render-svg PRIVATE Qt6::Gui Qt6::Svg)
set(generated)
foreach(size 16 22 24 32 48 64 128 256)
    set(folder ${dist}/icons/${size}x${size})
    add_custom_command(OUTPUT ${folder}/${OSTREL_APP_ID}.png
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${run_helper} $<TARGET_FILE:ostrel-render-svg> ${CMAKE_SOURCE_DIR}/dist/${OSTREL_APP_ID}.svg
                               ${folder}/${OSTREL_APP_ID}.png ${size}
                       DEPENDS ostrel-render-svg ${CMAKE_SOURCE_DIR}/dist/${OSTREL_APP_ID}.svg VERBATIM)
    list(APPEND generated ${folder}/${OSTREL_APP_ID}.png)
    install(FILES ${folder}/${OSTREL_APP_ID}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page is the --help text, so the two never disagree; it is the English text, whatever
# the language of the machine that builds it.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    add_custom_command(OUTPUT ${dist}/ostrel-radio.1.gz
                       COMMAND ${run_helper} LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE= ${HELP2MAN} --no-info --section 1 --version-string ${PROJECT_VERSION}
                               --name "internet radio from the system tray"
                               --output ${dist}/ostrel-radio.1 $<TARGET_FILE:ostrel-radio>
                       COMMAND gzip -9nf ${dist}/ostrel-radio.1
                       DEPENDS ostrel-radio VERBATIM)
    list(APPEND generated ${dist}/ostrel-radio.1.gz)
    install(FILES ${dist}/ostrel-radio.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "help2man not found: no manual page (tools/install-deps.sh installs it)")
endif()

# Debian wants the copyright and a compressed changelog beside every package.
configure_file(dist/changelog ${dist}/changelog @ONLY)
add_custom_command(OUTPUT ${dist}/changelog.gz COMMAND gzip -9nkf ${dist}/changelog DEPENDS ${dist}/changelog VERBATIM)
list(APPEND generated ${dist}/changelog.gz)
install(FILES dist/copyright ${dist}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ostrel-radio)
add_custom_target(ostrel_desktop_files ALL DEPENDS ${generated})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostrel-radio)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Ostrel Radio developers <${OSTREL_MAINTAINER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "internet radio from the system tray")
# The summary above is the synopsis; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A click on the tray icon opens a small panel: pick a country, get every
station the public Radio Browser directory lists for it, filter by tags and
search text, sort and play. Favourite and recent stations sit in strips of
tiles and can be synchronised through WebDAV or Nextcloud storage. Media keys
work through MPRIS.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${OSTREL_HOMEPAGE})
# Libraries are found by dpkg-shlibdeps; GStreamer's elements are loaded at run time, so they
# are named here: playbin, HTTP and ICY from base and good, HLS and AAC from bad and libav.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-bad, gstreamer1.0-libav, fonts-noto-color-emoji, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
include(CPack)
