# cmake -DPROGRAM=... -DOUT=... -P ManualPage.cmake: the program's own manual page,
# and a copy compressed as Debian keeps manual pages (no name or time in the header).
execute_process(COMMAND ${PROGRAM} --manual-page OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --manual-page failed: ${result}")
endif()
execute_process(COMMAND gzip -n -9 -c ${OUT} OUTPUT_FILE ${OUT}.gz RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${OUT} failed: ${result}")
endif()
