# Fails unless the library's defined dynamic symbols are exactly the twelve exports.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" lines "${listing}")
set(found "")
foreach(line ${lines})
  string(STRIP "${line}" name)
  list(APPEND found ${name})
endforeach()
list(SORT found)
set(expected VopP2Close VopP2ECPNegotiation VopP2ECPTermination VopP2GetDebugLevel
  VopP2GetMessage VopP2GetParamPtr VopP2GetVersion VopP2InitLPTPort VopP2Open VopP2Read
  VopP2SetDebugLevel VopP2Write)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
