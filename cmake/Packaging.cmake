# Install rules and the Debian package (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(VELTARO_APP_ID net.tavrin.Veltaro)
set(VELTARO_LANG_DIR ${CMAKE_INSTALL_DATADIR}/veltaro/lang)

# The program looks for its language files relative to its own folder, so an unpacked tree
# (dpkg -x) finds them as well as an installed one.
file(RELATIVE_PATH veltaro_lang_reldir ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/veltaro/lang)
target_compile_definitions(veltaro_platform PRIVATE VELTARO_LANG_RELDIR="${veltaro_lang_reldir}")

install(TARGETS veltaro veltaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELTARO_LANG_FILES} DESTINATION ${VELTARO_LANG_DIR})

set(pkg ${CMAKE_SOURCE_DIR}/packaging)
install(FILES ${pkg}/${VELTARO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/${VELTARO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 64 128 256)
  install(FILES ${pkg}/icons/hicolor/${size}x${size}/apps/${VELTARO_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${pkg}/icons/${VELTARO_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog ship compressed; -n keeps the archives byte-identical between builds.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
file(GLOB veltaro_manpages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/man/*.1)
set(veltaro_compressed)
foreach(page IN LISTS veltaro_manpages)
  get_filename_component(page_name ${page} NAME)
  set(out ${CMAKE_BINARY_DIR}/man/${page_name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_EXECUTABLE} -9nc ${page} > ${out}
    DEPENDS ${page} VERBATIM)
  list(APPEND veltaro_compressed ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(changelog_gz ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
  COMMAND ${GZIP_EXECUTABLE} -9nc ${pkg}/changelog > ${changelog_gz}
  DEPENDS ${pkg}/changelog VERBATIM)
add_custom_target(veltaro_packaging_files ALL DEPENDS ${veltaro_compressed} ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltaro)
set(CPACK_PACKAGE_VENDOR Tavrin)
set(CPACK_PACKAGE_CONTACT "Tavrin <veltaro@tavrin.net>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk speed tester for drives and folders")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://veltaro.tavrin.net/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Veltaro writes test files to a drive or folder, reads them back and shows
the times and the throughput in MB/s. The single test times every file on
its own; the multiple test writes and reads one block of every file in turn.
The system cache and write-through can be switched for the test files, and a
run's log can be saved or appended to a result log on the tested drive.
.
The package holds the window (veltaro) and a runner for scripts without a
window (veltaro-cli), with German and English language files.]=])
include(CPack)
