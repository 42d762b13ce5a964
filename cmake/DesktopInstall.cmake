# What `cmake --install` puts beside the program so it is at home on a Linux
# desktop: the start-up sound, the menu entry, the icons, the plan file type,
# the AppStream description and the manual page; and the Debian package
# `cpack -G DEB` makes of it all.

set(ZORVIK_APP_ID org.zorvik.Planner)
set(ZORVIK_DESKTOP_DIR ${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop)

# The program looks for the chime in ../share/zorvik-planner beside itself.
install(FILES resources/sounds/PLANNER.WAV DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvik-planner)

install(FILES ${ZORVIK_DESKTOP_DIR}/${ZORVIK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZORVIK_DESKTOP_DIR}/zorvik-planner-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME zorvik-planner.xml)
configure_file(${ZORVIK_DESKTOP_DIR}/${ZORVIK_APP_ID}.metainfo.xml
  ${CMAKE_CURRENT_BINARY_DIR}/${ZORVIK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${ZORVIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The screenshot the AppStream file shows (scripts/make-screenshot remakes it).
install(FILES docs/screenshots/main-window.png DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvik-planner/screenshots)

install(FILES resources/icons/zorvik-planner.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ZORVIK_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/${size}x${size}/zorvik-planner.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${ZORVIK_APP_ID}.png)
endforeach()

# The manual page is written in roff. Its FILES and SEE ALSO name the data
# and program folders, which depend on the prefix the install is made to
# (`cmake --install --prefix`, /usr for the package); so the install fills
# them in and compresses the page, not the build. The build still makes a
# copy for the configured prefix, to read with man -l.
set(DATADIR ${CMAKE_INSTALL_FULL_DATADIR})
set(WINDOWSDIR ${CMAKE_INSTALL_PREFIX}/${ZORVIK_WINDOWS_INSTALL_DIR})
configure_file(docs/man/zorvik-planner.1 ${CMAKE_CURRENT_BINARY_DIR}/man/zorvik-planner.1 @ONLY)
install(CODE "
  set(ZORVIK_MAN_SOURCE \"${CMAKE_CURRENT_SOURCE_DIR}/docs/man/zorvik-planner.1\")
  set(ZORVIK_MAN_WORK \"${CMAKE_CURRENT_BINARY_DIR}/man/installed\")
  set(ZORVIK_DATADIR_REL \"${CMAKE_INSTALL_DATADIR}\")
  set(ZORVIK_WINDOWSDIR_REL \"${ZORVIK_WINDOWS_INSTALL_DIR}\")
  set(ZORVIK_MANDIR_REL \"${CMAKE_INSTALL_MANDIR}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  include(\"${CMAKE_CURRENT_SOURCE_DIR}/cmake/InstallManualPage.cmake\")")

# Debian wants a copyright file and a compressed change log in the package's
# documentation folder.
configure_file(resources/desktop/debian-changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz
  COMMAND gzip -9 -n -f -k ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian)
add_custom_target(zorvik_debian_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz resources/desktop/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zorvik-planner)

# cpack -G DEB: the package installs into /usr; its dependencies are what
# dpkg-shlibdeps finds the program links.
set(CPACK_PACKAGE_NAME zorvik-planner)
# The same version the program names (project(VERSION) in CMakeLists.txt).
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zorvik Planner developers")
set(CPACK_PACKAGE_CONTACT "Zorvik Planner developers <planner@zorvik.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop planner for jobs, appointments, contacts and money")
set(CPACK_PACKAGE_DESCRIPTION
  "Zorvik Planner keeps a plan: an ordered list of records, each a job, an
appointment, a contact or a money item with dates, phone numbers, a
message, income and expense, a picture and a voice note. It shows
coming-week reminders, prints in three layouts, and has a ledger with a
plot, a loan simulator, a calculator, a world clock, a notepad and a voice
recorder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorvik.org/planner")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Qt finds its window system through plug-ins, which no library links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_GENERATOR DEB)
include(CPack)
