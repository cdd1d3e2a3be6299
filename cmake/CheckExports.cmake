# Fails unless the library's defined dynamic symbols are exactly EXPECTED.
# cmake -DNM=<nm> -DLIBRARY=<file> "-DEXPECTED=<name;name;...>" -P CheckExports.cmake
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
set(expected ${EXPECTED})
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
