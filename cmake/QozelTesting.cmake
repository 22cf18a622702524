# Seconds a test may take; the sanitizers make the heaviest tests several times slower.
if(QOZEL_SANITIZE OR QOZEL_LIBFUZZER)
  set(QOZEL_TEST_TIMEOUT 600)
else()
  set(QOZEL_TEST_TIMEOUT 120)
endif()

# qozel_add_test(<name> LABEL <area> SOURCES <files...> [LIBS <targets...>])
# Builds one GoogleTest executable and registers each of its tests with CTest
# under the given area label, so that `ctest -L <area>` runs one area alone.
function(qozel_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "qozel_add_test(${name}): LABEL is required")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  # Shared test helpers live in tests/support.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${QOZEL_TEST_TIMEOUT}
    DISCOVERY_TIMEOUT 60)
endfunction()
