# Fails when a command line starts the toolkit for an output that draws nothing. The whole
# chain runs in a fresh program folder with a display platform that does not exist, so that
# any start of the toolkit ends the program; the same platform must end a run that asks for a
# picture, or the check proves nothing.
#   cmake -DPROGRAM_DIR=<sample folder> -DWORK=<empty folder to use> -P check_no_toolkit.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/workfiles")
foreach(program letterkerf letterkerf-cli letterkerf-cut STV3.EXE STV1.EXE STV1b.EXE letterkerf-text
                letterkerf-text-cli letterkerf-start letterkerf-start-cli zodu.exe)
  file(COPY "${PROGRAM_DIR}/${program}" DESTINATION "${WORK}")
endforeach()

# run(<expected status or ANY_BUT_0> <program> <arguments...>)
function(run expected program)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=nonexistent "${WORK}/${program}" ${ARGN}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expected STREQUAL "ANY_BUT_0")
    if(status EQUAL 0)
      message(FATAL_ERROR "${program} ${ARGN} drew without a display platform: the check cannot see a start")
    endif()
  elseif(NOT status STREQUAL expected OR out STREQUAL "")
    message(FATAL_ERROR "${program} ${ARGN}: status ${status}, wanted ${expected} and a report\n${err}")
  endif()
endfunction()

run(0 letterkerf-text-cli --folder "${WORK}" --text "Stencil 26" --report)
run(0 letterkerf-cli --folder "${WORK}" --shape 1 --connection --report --dump "${WORK}/model.json"
      --svg "${WORK}/letters.svg" --convert --close)
run(0 letterkerf-cut --folder "${WORK}" --kind stencil --tabs --dxf "${WORK}/cut.dxf" --svg "${WORK}/cut.svg"
      --report)
run(0 letterkerf-start-cli --folder "${WORK}" --report)
foreach(output model.json letters.svg cut.dxf cut.svg)
  if(NOT EXISTS "${WORK}/${output}")
    message(FATAL_ERROR "${output} was not written")
  endif()
endforeach()
# a picture needs the toolkit, and here it cannot start
run(ANY_BUT_0 letterkerf-cli --folder "${WORK}" --report --png "${WORK}/preview.png")
run(ANY_BUT_0 letterkerf-start-cli --folder "${WORK}" --png "${WORK}/start.png")
message(STATUS "The command lines ran without the toolkit")
