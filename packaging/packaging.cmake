# `make package`: a Debian package with both programs, the stand-ins of the sibling programs
# and the sample work files in /opt/letterkerf, launchers in /usr/bin, a desktop entry and
# an icon. Each user runs the programs from a copy of that folder (see letterkerf-launch).
set(_lk_opt /opt/letterkerf)
install(TARGETS letterkerf letterkerf-cli letterkerf-cut RUNTIME DESTINATION ${_lk_opt})
# STV3.EXE is the cut stage under the name the shapes stage starts
foreach(_lk_name STV1.EXE STV1b.EXE STV3.EXE zodu.exe)
  install(PROGRAMS ${LK_PROGRAM_DIR}/${_lk_name} DESTINATION ${_lk_opt})
endforeach()
install(FILES ${LK_PROGRAM_DIR}/workfiles/tground.dat DESTINATION ${_lk_opt}/workfiles)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sample/workfiles/ DESTINATION ${_lk_opt}/workfiles)
# changes with every build of the package: tells the launcher to refresh the user's copy
string(TIMESTAMP _lk_stamp "%Y-%m-%dT%H:%M:%S" UTC)
file(WRITE ${CMAKE_BINARY_DIR}/installed-stamp "${PROJECT_VERSION} ${_lk_stamp}\n")
install(FILES ${CMAKE_BINARY_DIR}/installed-stamp DESTINATION ${_lk_opt} RENAME .installed)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/letterkerf-launch DESTINATION bin RENAME letterkerf)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/letterkerf-launch DESTINATION bin RENAME letterkerf-cli)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/letterkerf-launch DESTINATION bin RENAME letterkerf-cut)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/letterkerf.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/letterkerf.svg DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME letterkerf)
set(CPACK_PACKAGE_VENDOR "LETTERKERF")
set(CPACK_PACKAGE_CONTACT "LETTERKERF developers <letterkerf@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stencil lettering: bend letters into shapes, join them, cut them (DXF, SVG)")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
