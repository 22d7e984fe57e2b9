# The shipped level data agrees with its source, passes every check, and the
# help page publishes the solver's step counts.
# Arguments: -DTOOL= -DSOURCE= -DLEVELS= -DPAGE= -DWORK=
foreach(var TOOL SOURCE LEVELS PAGE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "level_data_test.cmake needs -D${var}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY "${WORK}")
set(compiled "${WORK}/compiled.ZHN")
file(REMOVE "${compiled}")

execute_process(COMMAND "${TOOL}" compile "${SOURCE}" "${compiled}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "qvl-levels compile failed (${rc})")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${compiled}" "${LEVELS}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${LEVELS} is not the compiled ${SOURCE}; run: qvl-levels compile ${SOURCE} ${LEVELS}")
endif()

execute_process(COMMAND "${TOOL}" check "${LEVELS}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "qvl-levels check found problems in ${LEVELS} (${rc})")
endif()

execute_process(COMMAND "${TOOL}" help-table --check "${LEVELS}" "${PAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the level table of ${PAGE} differs from ${LEVELS} (${rc})")
endif()
