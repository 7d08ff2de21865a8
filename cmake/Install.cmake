# Installation layout and the Debian package.
include(GNUInstallDirs)

if(TARGET vertoko-convert)
  install(TARGETS vertoko-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/vertoko-convert.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET vertoko)
  install(TARGETS vertoko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/data/vertoko.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/vertoko.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/vertoko.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vertoko)
set(CPACK_PACKAGE_VENDOR "Vertoko")
set(CPACK_PACKAGE_CONTACT "Vertoko developers <vertoko@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DXF 3D surface mesh converter for ray tracers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads the 3DFACE entities and POLYLINE meshes of ASCII DXF drawings and saves\n them as EASTRAY polygon files, POV-Ray scenes or Wavefront OBJ, with a lit 3D\n preview and a command-line converter, vertoko-convert.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debug sections stay in the build tree; the package carries stripped programs.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Shared libraries linked at build time are found by dpkg-shlibdeps; OpenGL,
# GLU and Qt's X11 platform plugin are loaded at run time and named here,
# as is Qt's translation of its standard dialogs (qtbase_ja.qm), which
# Debian packs apart from the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libgl1, libglu1-mesa, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
