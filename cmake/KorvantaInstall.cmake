# Installs Korvanta like any desktop program and packs it as a Debian package.
#
#   <prefix>/lib/korvanta/korvanta          the program
#   <prefix>/lib/korvanta/settings/*.ini    its language files, which it finds beside itself
#   <prefix>/bin/korvanta                   a relative symbolic link to the program
#   <prefix>/share/applications, metainfo, icons/hicolor, man/man1, doc/korvanta
#   /lib/systemd/system/korvanta-log@.service, /etc/default/korvanta-log  the logger as a service
#
# Command-line tools install themselves into <prefix>/bin with
# install(TARGETS <tool> RUNTIME DESTINATION bin) in their own folder; the package
# takes whatever is installed.

include(GNUInstallDirs)

set(KORVANTA_APP_ID org.korvanta.Korvanta)
# The program's own folder, not the multiarch library folder: it holds a program
# and its data, and the link in bin points at it.
set(KORVANTA_PROGRAM_DIR lib/korvanta)
set(KORVANTA_PROGRAM_FULL_DIR ${CMAKE_INSTALL_PREFIX}/${KORVANTA_PROGRAM_DIR})
set(KORVANTA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korvanta)
set(korvanta_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(korvanta_staged ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A release needs its entry in the changelog and in the metainfo.
file(STRINGS ${korvanta_packaging}/debian/changelog korvanta_changelog_top LIMIT_COUNT 1)
string(REGEX MATCH "^korvanta \\(([^)]*)\\)" _ "${korvanta_changelog_top}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/debian/changelog starts with version '${CMAKE_MATCH_1}', "
                      "the project is ${PROJECT_VERSION}: add an entry")
endif()
file(READ ${korvanta_packaging}/${KORVANTA_APP_ID}.metainfo.xml korvanta_metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${korvanta_metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "the newest release in the metainfo is '${CMAKE_MATCH_1}', "
                      "the project is ${PROJECT_VERSION}: add a release")
endif()

# The program, its languages and the link on the search path.
install(TARGETS korvanta_app RUNTIME DESTINATION ${KORVANTA_PROGRAM_DIR})
install(DIRECTORY settings/ DESTINATION ${KORVANTA_PROGRAM_DIR}/settings
        FILES_MATCHING PATTERN "*.ini")
file(MAKE_DIRECTORY ${korvanta_staged})
file(CREATE_LINK ../${KORVANTA_PROGRAM_DIR}/korvanta ${korvanta_staged}/korvanta SYMBOLIC)
install(FILES ${korvanta_staged}/korvanta DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration: menu entry, software-centre description, icon.
install(FILES ${korvanta_packaging}/${KORVANTA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${korvanta_packaging}/${KORVANTA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icon/src/app.svg RENAME ${KORVANTA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${korvanta_packaging}/icon-256.png RENAME ${KORVANTA_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Manual page and Debian documents, compressed as Debian wants them.
configure_file(${korvanta_packaging}/korvanta.1.in ${korvanta_staged}/korvanta.1 @ONLY)
configure_file(${korvanta_packaging}/debian/changelog ${korvanta_staged}/changelog COPYONLY)
add_custom_command(
  OUTPUT ${korvanta_staged}/korvanta.1.gz ${korvanta_staged}/changelog.gz
  COMMAND gzip -9nkf korvanta.1 changelog
  DEPENDS ${korvanta_staged}/korvanta.1 ${korvanta_staged}/changelog
  WORKING_DIRECTORY ${korvanta_staged}
  VERBATIM)
add_custom_target(korvanta_documents ALL
  DEPENDS ${korvanta_staged}/korvanta.1.gz ${korvanta_staged}/changelog.gz)
install(FILES ${korvanta_staged}/korvanta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${korvanta_staged}/changelog.gz ${korvanta_packaging}/debian/copyright
        DESTINATION ${KORVANTA_DOC_DIR})

# The command-line tools' manual pages, made from their own --help and --version
# (not in sanitizer builds, where running a tool at build time can fail on a leak).
find_program(KORVANTA_HELP2MAN help2man)
set(korvanta-sim_summary "the four bench instruments on a pseudo-terminal, for trying Korvanta")
set(korvanta-log_summary "log the bench instruments' readings without a window")
foreach(tool korvanta-sim korvanta-log)
  if(NOT TARGET ${tool} OR KORVANTA_SANITIZE)
    continue()
  endif()
  if(NOT KORVANTA_HELP2MAN)
    message(STATUS "help2man not found: ${tool} is installed without a manual page")
    continue()
  endif()
  add_custom_command(
    OUTPUT ${korvanta_staged}/${tool}.1.gz
    COMMAND ${KORVANTA_HELP2MAN} --no-info --no-discard-stderr "--name=${${tool}_summary}"
            --output=${tool}.1
            $<TARGET_FILE:${tool}>
    COMMAND gzip -9nf ${tool}.1
    DEPENDS ${tool}
    WORKING_DIRECTORY ${korvanta_staged}
    VERBATIM)
  add_custom_target(${tool}_manual ALL DEPENDS ${korvanta_staged}/${tool}.1.gz)
  install(FILES ${korvanta_staged}/${tool}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# korvanta-log as a system service, one instance per port, with its options in
# /etc/default. Debian 12 keeps units in /lib/systemd/system; another prefix
# keeps them under itself.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(KORVANTA_SYSTEMD_UNIT_DIR /lib/systemd/system CACHE PATH "where systemd units go")
else()
  set(KORVANTA_SYSTEMD_UNIT_DIR ${CMAKE_INSTALL_PREFIX}/lib/systemd/system
      CACHE PATH "where systemd units go")
endif()
set(KORVANTA_DEFAULT_FILE ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default/korvanta-log)
set(KORVANTA_SECRET_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/korvanta-log)
set(KORVANTA_SECRET_FILE ${KORVANTA_SECRET_DIR}/mqtt.env)
configure_file(${korvanta_packaging}/systemd/korvanta-log@.service.in
               ${korvanta_staged}/korvanta-log@.service @ONLY)
configure_file(${korvanta_packaging}/systemd/korvanta-log.default.in
               ${korvanta_staged}/korvanta-log @ONLY)
install(FILES ${korvanta_staged}/korvanta-log@.service DESTINATION ${KORVANTA_SYSTEMD_UNIT_DIR})
install(FILES ${korvanta_staged}/korvanta-log DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default)
# What the administrator edits in /etc survives an upgrade.
file(WRITE ${korvanta_staged}/conffiles "${KORVANTA_DEFAULT_FILE}\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${korvanta_staged}/conffiles)

# The Debian package (scripts/package makes it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta)
set(CPACK_PACKAGE_VENDOR "Korvanta developers")
set(CPACK_PACKAGE_CONTACT "Korvanta developers <developers@korvanta.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live readings of four bench instruments on one serial link")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvanta shows what a digital multimeter, a regulated power supply, a
soldering station and a hot-air rework station stream over their shared serial
link, live, in one small window that stays on top: as seven-segment readouts or
as trend charts, gauges, a multimeter dial and a table of recent readings.
.
The user interface speaks Chinese (simplified and traditional), English,
Russian, German, French, Japanese and Italian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://korvanta.org/)
# Libraries from what the binaries link; the fonts by name, as the program asks
# for their families by name and no library pulls them in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dseg, fonts-liberation, fonts-noto-cjk")
include(CPack)
