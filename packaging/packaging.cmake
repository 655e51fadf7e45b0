# `make package`: a Debian package of the suite: its programs under their own names and under
# the names the suite starts them by, the help documents and the sample work files in
# /opt/letterkerf, launchers in /usr/bin, a desktop entry for the start window and an icon.
# Each user runs the programs from a copy of that folder (see letterkerf-launch).
set(_lk_opt /opt/letterkerf)
set(LK_PACKAGE_PROGRAMS letterkerf letterkerf-cli letterkerf-start letterkerf-start-cli
    letterkerf-text letterkerf-text-cli letterkerf-cut)
install(TARGETS ${LK_PACKAGE_PROGRAMS} RUNTIME DESTINATION ${_lk_opt})
# the siblings under the names the suite starts them by
foreach(_lk_name STV1.EXE STV1b.EXE STV3.EXE zodu.exe)
  install(PROGRAMS ${LK_PROGRAM_DIR}/${_lk_name} DESTINATION ${_lk_opt})
endforeach()
foreach(_lk_doc ${LK_HELP_DOCUMENTS})
  install(FILES ${LK_PROGRAM_DIR}/${_lk_doc}.pdf DESTINATION ${_lk_opt})
endforeach()
install(FILES ${LK_PROGRAM_DIR}/workfiles/tground.dat DESTINATION ${_lk_opt}/workfiles)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sample/workfiles/ DESTINATION ${_lk_opt}/workfiles)
# changes with every build of the package: tells the launcher to refresh the user's copy
string(TIMESTAMP _lk_stamp "%Y-%m-%dT%H:%M:%S" UTC)
file(WRITE ${CMAKE_BINARY_DIR}/installed-stamp "${PROJECT_VERSION} ${_lk_stamp}\n")
install(FILES ${CMAKE_BINARY_DIR}/installed-stamp DESTINATION ${_lk_opt} RENAME .installed)
# a launcher under each program's name
foreach(_lk_program ${LK_PACKAGE_PROGRAMS})
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/letterkerf-launch DESTINATION bin RENAME ${_lk_program})
endforeach()
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
# the help documents are PDF files: without a program that shows them, Help can only name them
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | okular | mupdf | qpdfview | xdg-utils")
include(CPack)
