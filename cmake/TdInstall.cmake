# cmake --install lays the programs out the FHS way, and CPack makes a Debian package of them:
#   bin/                          torquedesk, torquedesk-cli
#   share/torquedesk/             what a fresh data root holds (DataRoot copies it to the user's)
#   share/applications, icons, metainfo, man, bash-completion, doc/torquedesk
#   lib/systemd/user/             the nightly pull-and-publish job, disabled
include(GNUInstallDirs)

set(TD_PKG_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(TD_SHARE ${CMAKE_INSTALL_DATADIR}/torquedesk)
set(TD_PKG_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${TD_PKG_OUT})
# A user's umask must not leak into the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS torquedesk torquedesk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- the data root's files as the build makes them (not the folder: running the build tree
# adds settings.ini, mirrors and reports to it)
install(FILES ${TD_QM} DESTINATION ${TD_SHARE})
install(FILES ${CMAKE_BINARY_DIR}/sql/report.db3 DESTINATION ${TD_SHARE}/sql)
foreach(img ${TD_POPUP_IMAGE_NAMES})
  install(FILES ${CMAKE_BINARY_DIR}/png/${img} DESTINATION ${TD_SHARE}/png)
endforeach()
install(FILES ${TD_QR_RU} DESTINATION ${TD_SHARE}/settings)
foreach(f ${TD_DATA_FILES})
  get_filename_component(sub ${f} DIRECTORY)
  if(f MATCHES "^dfu/DfuSeCommand.exe$")
    install(PROGRAMS ${CMAKE_BINARY_DIR}/${f} DESTINATION ${TD_SHARE}/${sub})
  else()
    install(FILES ${CMAKE_BINARY_DIR}/${f} DESTINATION ${TD_SHARE}/${sub})
  endif()
endforeach()

# --- desktop: menu entry, icon, AppStream metainfo
string(TIMESTAMP TD_RELEASE_DATE "%Y-%m-%d" UTC)
# AppStream wants a reverse-DNS identifier, and the menu entry's file is named after it.
set(TD_APP_ID org.torquedesk.TorqueDesk)
configure_file(${TD_PKG_DIR}/${TD_APP_ID}.metainfo.xml.in ${TD_PKG_OUT}/${TD_APP_ID}.metainfo.xml @ONLY)
install(FILES ${TD_PKG_DIR}/${TD_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TD_PKG_OUT}/${TD_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TD_GEN_DIR}/images/torquedesk.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# --- shell: manual pages from the programs' --help, completion
find_program(TD_HELP2MAN help2man)
set(TD_INSTALL_OUTPUTS)
if(TD_HELP2MAN)
  set(TD_MAN_SUMMARY_torquedesk "desktop companion of a digital torque wrench")
  set(TD_MAN_SUMMARY_torquedesk-cli "the TorqueDesk torque wrench companion without a window")
  set(TD_MAN_COMMANDS_torquedesk-cli "mirror;pull;history import;history export;history stats;publish;report")
  foreach(prog torquedesk torquedesk-cli)
    set(page ${TD_PKG_OUT}/${prog}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${prog}> -DNAME=${prog} -DOUT=${page}
              "-DSUMMARY=${TD_MAN_SUMMARY_${prog}}" "-DCOMMANDS=${TD_MAN_COMMANDS_${prog}}"
              -DHELP2MAN=${TD_HELP2MAN} -P ${CMAKE_SOURCE_DIR}/cmake/TdManPage.cmake
      DEPENDS ${prog} ${CMAKE_SOURCE_DIR}/cmake/TdManPage.cmake
      COMMENT "Manual page of ${prog}"
      VERBATIM)
    list(APPEND TD_INSTALL_OUTPUTS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(STATUS "help2man not found: no manual pages (scripts/bootstrap installs it)")
endif()
install(FILES ${TD_PKG_DIR}/torquedesk-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME torquedesk-cli)

# --- the nightly job, for the user's systemd; nothing enables it
install(FILES ${TD_PKG_DIR}/torquedesk-pull.service ${TD_PKG_DIR}/torquedesk-pull.timer
        DESTINATION lib/systemd/user)

# --- Debian's documentation files: the copyright and a changelog in Debian's format
set(TD_MAINTAINER "TorqueDesk developers <torquedesk@example.org>" CACHE STRING "The package's maintainer")
# The day alone (SOURCE_DATE_EPOCH when set): a new time every configure would rebuild the package.
string(TIMESTAMP TD_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
file(CONFIGURE OUTPUT ${TD_PKG_OUT}/changelog
     CONTENT "torquedesk (${PROJECT_VERSION}) stable; urgency=medium\n\n  * Release ${PROJECT_VERSION}.\n\n -- ${TD_MAINTAINER}  ${TD_CHANGELOG_DATE}\n" @ONLY)
add_custom_command(OUTPUT ${TD_PKG_OUT}/changelog.gz
  COMMAND gzip -9 -n -f -k ${TD_PKG_OUT}/changelog
  DEPENDS ${TD_PKG_OUT}/changelog)
list(APPEND TD_INSTALL_OUTPUTS ${TD_PKG_OUT}/changelog.gz)
install(FILES ${TD_PKG_DIR}/copyright ${TD_PKG_OUT}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/torquedesk)

# Everything the install rules take, without the tests and benchmarks "all" would build.
add_custom_target(td_install_files ALL DEPENDS ${TD_INSTALL_OUTPUTS})
add_dependencies(td_install_files torquedesk torquedesk-cli td_data_root)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# Debian's hardening for the shipped programs: the relocations read-only once loaded.
if(NOT TD_SANITIZE)
  target_link_options(torquedesk PRIVATE -Wl,-z,relro,-z,now)
  target_link_options(torquedesk-cli PRIVATE -Wl,-z,relro,-z,now)
endif()

# --- the Debian package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torquedesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TD_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of a digital torque wrench")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TorqueDesk connects to a digital torque wrench over USB or Wi-Fi, edits
its records, reads its tightenings back and judges them, makes CSV, Excel
and PDF reports, keeps a durable history in SQLite or PostgreSQL, publishes
results to an MQTT broker, calibrates the wrench and flashes its firmware.

torquedesk-cli does the same work without a window; a systemd user timer
(installed, not enabled) runs its nightly pull and publish.")
# The libraries come from the executables (dpkg-shlibdeps); the rest is what the programs load
# or run by name: Qt's own Russian texts, the SQL drivers of the report database and the
# history (SQLite, PostgreSQL), and dfu-util, which the DFU tool drives to flash a real key.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qttranslations5-l10n, libqt5sql5-sqlite, libqt5sql5-psql, dfu-util")
include(CPack)
