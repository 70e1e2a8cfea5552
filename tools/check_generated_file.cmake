# Regenerates a committed picture with its generator and compares the bytes.
# Called with -DGENERATOR=<program> -DOUTPUT=<scratch file> -DEXPECTED=<committed file>.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} differs from what the generator draws; rebuild it with: ${GENERATOR} ${EXPECTED}")
endif()
