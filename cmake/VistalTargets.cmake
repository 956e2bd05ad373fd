# Helpers that give every target of ours the same standard, warnings and include root.
include(GoogleTest)

set(VISTAL_WARNINGS -Wall -Wextra -Werror)
# GCC 12 at -O3 reports a false -Wrestrict inside libstdc++'s std::string concatenation (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VISTAL_WARNINGS -Wno-restrict)
endif()

# Environment of every test: offscreen Qt, and every network endpoint on loopback.
set(VISTAL_TEST_ENV
  QT_QPA_PLATFORM=offscreen
  VISTAL_DISCOVERY_ADDRESS=127.0.0.1:18999
  VISTAL_WAN_SERVER=127.0.0.1:19999
  VISTAL_DISCOVERY_REPLY_PORT=18998
  VISTAL_UPDATE_HOST=127.0.0.1:18080
  VISTAL_CODEPAGE=CP1252)

# Which suites a tree builds: VISTAL_SUITES_ONLY keeps only the suites carrying that label (for example
# "sanitize"), VISTAL_SUITES_SKIP leaves out the suites carrying one of its labels (for example "xvfb"). Both empty:
# every suite. The sanitizer trees use them so that they compile only the programs they run.
set(VISTAL_SUITES_ONLY "" CACHE STRING "Build only the test suites carrying this label")
set(VISTAL_SUITES_SKIP "" CACHE STRING "Leave out the test suites carrying one of these labels")

# vistal_suite_wanted(out labels...): TRUE in out when a suite with these labels belongs to this tree.
function(vistal_suite_wanted out)
  set(wanted TRUE)
  if(VISTAL_SUITES_ONLY AND NOT VISTAL_SUITES_ONLY IN_LIST ARGN)
    set(wanted FALSE)
  endif()
  foreach(label IN LISTS VISTAL_SUITES_SKIP)
    if(label IN_LIST ARGN)
      set(wanted FALSE)
    endif()
  endforeach()
  set(${out} ${wanted} PARENT_SCOPE)
endfunction()

# Every test program of the tree, so that a tree can build just its suites: cmake --build B --target
# vistal_suites.
if(NOT TARGET vistal_suites)
  add_custom_target(vistal_suites)
endif()

function(vistal_apply_defaults target)
  target_compile_options(${target} PRIVATE ${VISTAL_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# vistal_library(name SOURCES ... [DEPS ...])
function(vistal_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  vistal_apply_defaults(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# vistal_test(name SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s] [OWN_MAIN])
# Each GoogleTest case becomes one CTest test, listed when CTest runs (no test program runs at build time).
# OWN_MAIN: the sources bring their own main (for example one that builds a QApplication first).
function(vistal_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # A suite this tree leaves out is still declared (callers add definitions to it) but never built or run.
  vistal_suite_wanted(wanted ${ARG_LABELS})
  if(NOT wanted)
    add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  add_dependencies(vistal_suites ${name})
  vistal_apply_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  # The test environment goes in through the launcher: a list handed to gtest_discover_tests' PROPERTIES is
  # split into key/value pairs, so an ENVIRONMENT list there would lose its entries (and the labels after).
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${VISTAL_TEST_ENV})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

# vistal_bench(name SOURCES ... [DEPS ...]): a Google Benchmark program, built only when the library is there.
function(vistal_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  vistal_apply_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
