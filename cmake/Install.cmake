# Where `cmake --install` puts Velumo, in the layout of a Linux desktop
# (GNUInstallDirs, so the prefix decides: /usr for the package, /usr/local or
# a user folder by hand), and the Debian package CPack builds from it.
include(GNUInstallDirs)

set(VELUMO_DATA_SOURCE ${PROJECT_SOURCE_DIR}/data)
# The manual and the examples belong to the program: "Handbuch" (F1) opens
# the manual and the manual works through an example, so they stay under
# share/velumo; Debian may leave /usr/share/doc out of an installation.
set(VELUMO_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/velumo)

install(TARGETS velumo-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A statically linked velumo-sim hands --optimise to velumo-optimise beside it.
if(TARGET velumo-optimise)
  install(TARGETS velumo-optimise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# velumo-sim --report looks for velumo-report beside itself.
if(TARGET velumo-report)
  install(TARGETS velumo-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET velumo)
  install(TARGETS velumo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VELUMO_DATA_SOURCE}/velumo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VELUMO_DATA_SOURCE}/velumo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${VELUMO_DATA_SOURCE}/icons/velumo.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${VELUMO_DATA_SOURCE}/icons/application-x-velumo-project.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION ${VELUMO_INSTALL_PKGDATADIR}/manual)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${VELUMO_INSTALL_PKGDATADIR}/examples
  FILES_MATCHING PATTERN "*.vlm")
# The layout of velumo-sim --json, for scripts that check what they read.
install(FILES ${PROJECT_SOURCE_DIR}/data/velumo-run.schema.json DESTINATION ${VELUMO_INSTALL_PKGDATADIR}/examples)

# cpack -G DEB in the build folder writes velumo_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velumo)
set(CPACK_PACKAGE_VENDOR "Velumo")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(VELUMO_PACKAGE_MAINTAINER "Velumo-Entwicklung <velumo@example.org>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${VELUMO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Entwurf und Simulation von Hornlautsprechern")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Velumo berechnet hornbelastete Lautsprechergehäuse: ein oder zwei Treibergruppen\n"
  "(Thiele-Small-Parameter), ein Horn mit sieben Konturen, Vor- und Rückkammer,\n"
  "Bassreflexkanal, Absorberkammer, Extratunnel und eine passive Frequenzweiche.\n"
  "Die Simulation zeigt Schalldruck, Impedanz, Auslenkung, Maximalpegel, Phase\n"
  "und akustische Last; vier Farben vergleichen aufeinanderfolgende Läufe.\n"
  "velumo-sim rechnet Projekte ohne Fenster, etwa in Skripten.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's German dialogs,
# and NLopt for velumo-sim --optimise.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libnlopt0")
# Manual, lists and reports open in the desktop's default applications.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
# No maintainer scripts: the triggers of desktop-file-utils, shared-mime-info
# and hicolor-icon-theme update their caches when files land in
# /usr/share/applications, /usr/share/mime/packages and /usr/share/icons/hicolor.
include(CPack)
