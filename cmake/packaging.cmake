# What a Linux install holds, and the Debian package of it (cpack -G DEB). The Windows zip
# and MSI are made by scripts/package from the cross build.
include(GNUInstallDirs)

set(m2v_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/mirta2vesk)
set(m2v_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(m2v_generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS mirta2vesk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(m2v_manual_pages mirta2vesk-cli.1)
if(TARGET mirta2vesk)
  install(TARGETS mirta2vesk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${m2v_packaging}/linux/mirta2vesk.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${m2v_packaging}/mirta2vesk.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  list(APPEND m2v_manual_pages mirta2vesk.1)
endif()

# Debian keeps manual pages and the changelog compressed, without a time stamp in the gzip
# header so that the same sources give the same package. The changelog's date honours
# SOURCE_DATE_EPOCH.
string(TIMESTAMP m2v_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${m2v_packaging}/linux/changelog.in ${m2v_generated}/changelog @ONLY)
set(m2v_compressed ${m2v_generated}/changelog.gz)
add_custom_command(OUTPUT ${m2v_generated}/changelog.gz
                   COMMAND gzip -9nf changelog
                   DEPENDS ${m2v_packaging}/linux/changelog.in
                   WORKING_DIRECTORY ${m2v_generated} VERBATIM)
foreach(page ${m2v_manual_pages})
  add_custom_command(OUTPUT ${m2v_generated}/${page}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${m2v_packaging}/linux/${page} ${page}
                     COMMAND gzip -9nf ${page}
                     DEPENDS ${m2v_packaging}/linux/${page}
                     WORKING_DIRECTORY ${m2v_generated} VERBATIM)
  install(FILES ${m2v_generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND m2v_compressed ${m2v_generated}/${page}.gz)
endforeach()
add_custom_target(m2v_packaging_files ALL DEPENDS ${m2v_compressed})

install(FILES ${m2v_generated}/changelog.gz ${m2v_packaging}/linux/copyright
              ${PROJECT_SOURCE_DIR}/docs/guide-ja.md
        DESTINATION ${m2v_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirta2vesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "mirta2vesk developers <mirta2vesk@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter of borehole survey files for borehole logs")
set(CPACK_PACKAGE_DESCRIPTION
    "Converts the survey of one borehole, kept in a .ddf file (Shift-JIS text in
sections), into the plain text files that another edition of a borehole-log
package reads, and codes every soil name through the soil tables of a pattern
folder, which learn the names they did not know.
.
The package holds the window (mirta2vesk), the command line (mirta2vesk-cli)
with its check and batch commands, and a guide for users in Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Japanese text renders as boxes without a Japanese font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
