vistal_bench(bench_core_language
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/language_lookup_bench.cpp
  DEPS vistal_core Qt6::Core)
vistal_bench(bench_core_settings_write
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_write_bench.cpp
  DEPS vistal_core Qt6::Core)
