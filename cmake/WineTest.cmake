# Test executables run under Wine in a prefix of their own inside the build tree.
set(WINE_TEST_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_TEST_ENVIRONMENT
    "WINEPREFIX=${WINE_TEST_PREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml=")

# add_wine_test(<name> SOURCES <files...> [LIBRARIES <targets...>])
# Builds one test executable (GoogleTest) and registers it with CTest.
function(add_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE gtest_main test_support ${ARG_LIBRARIES})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${WINE_TEST_ENVIRONMENT}"
    FIXTURES_REQUIRED wine_prefix
    TIMEOUT 600)
endfunction()
