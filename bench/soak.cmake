# The soak of the real Vistal with 64 simulated DVRs restarted at a period (a program, not a Google
# Benchmark: it runs for minutes and prints resident memory, threads and descriptors).
add_executable(bench_vistal_soak ${CMAKE_CURRENT_LIST_DIR}/soak/vistal_soak.cpp
  ${PROJECT_SOURCE_DIR}/tests/app/vistal_fleet.cpp)
vistal_apply_defaults(bench_vistal_soak)
target_link_libraries(bench_vistal_soak PRIVATE vistal_core vistal_dvrsim vistal_homeprep vistal_updater Qt6::Core)
target_compile_definitions(bench_vistal_soak PRIVATE VISTAL_BINARY="$<TARGET_FILE:Vistal>")
add_dependencies(bench_vistal_soak Vistal)
