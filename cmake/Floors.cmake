# The code is built as floors, one static library each. A floor uses only the floors it names,
# all of them below it; the build checks every include of its sources against that list before
# it compiles them, so an include that runs up or sideways fails the build.
#
#   lk_floor(<name> [QT] USES <floors...> [LIBS <other libraries...>])
#
# builds lk<name> from src/<name>/*.cpp with the headers of src/<name>/. A QT floor is a face:
# its sources may use Qt (moc runs on them), and its *main.cpp files are the programs' mains,
# left out of the library (and checked all the same).
set(LK_FLOOR_LIBRARIES "" CACHE INTERNAL "")

function(lk_floor name)
  cmake_parse_arguments(F "QT" "" "USES;LIBS" ${ARGN})
  set(dir ${PROJECT_SOURCE_DIR}/src/${name})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  set(checked ${sources} ${headers})
  if(F_QT)
    list(FILTER sources EXCLUDE REGEX ".*main\\.cpp$")
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/floor_${name}.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFLOOR=${name} "-DUSES=${F_USES}" "-DSOURCES=${checked}"
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/check_floor.cmake
    DEPENDS ${checked} ${PROJECT_SOURCE_DIR}/cmake/check_floor.cmake
    COMMENT "Checking the includes of floor ${name}"
    VERBATIM)
  add_custom_target(lk${name}_floor DEPENDS ${stamp})
  add_library(lk${name} STATIC ${sources} ${headers})
  add_dependencies(lk${name} lk${name}_floor)
  target_include_directories(lk${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(F_QT)
    set_target_properties(lk${name} PROPERTIES AUTOMOC ON)
  endif()
  set(links)
  foreach(floor IN LISTS F_USES)
    list(APPEND links lk${floor})
  endforeach()
  target_link_libraries(lk${name} PUBLIC ${links} ${F_LIBS})
  set(LK_FLOOR_LIBRARIES ${LK_FLOOR_LIBRARIES} lk${name} CACHE INTERNAL "")
endfunction()

# A program of the suite: its main from src/<face>/<source>, linked to its face, put into the
# program folder.
function(lk_program name face source)
  add_executable(${name} ${PROJECT_SOURCE_DIR}/src/${face}/${source})
  target_link_libraries(${name} PRIVATE lk${face})
  add_dependencies(${name} lk${face}_floor)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LK_PROGRAM_DIR} AUTOMOC ON)
endfunction()
