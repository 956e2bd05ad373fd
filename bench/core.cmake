vistal_bench(bench_core_language
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/language_lookup_bench.cpp
  DEPS vistal_core Qt6::Core)
