find_package(GTest REQUIRED)
include(GoogleTest)

# zarnik_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest binary; its cases are listed to CTest when the tests run, so a sanitizer
# build does not run test binaries at build time.
function(zarnik_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main zarnik_warnings)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # One variable per property: a list would be split into property names on its way through
  # the test discovery, and ZARNIK_TEST_TMP would be lost (tests of two builds would then meet
  # in the same temporary folder).
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "ZARNIK_TEST_TMP=set:${CMAKE_BINARY_DIR}/testtmp")
endfunction()
