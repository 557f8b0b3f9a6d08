# Runs the generator into a scratch folder and fails unless both tables equal the committed ones.
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${TOOL} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "valvefit failed (${status})")
endif()
foreach(table ValveCoefficients.inc ValveScales.inc)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${table} ${COMMITTED}/${table}
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${COMMITTED}/${table} is not what valvefit generates; run valvefit and commit its output")
  endif()
endforeach()
