# Posting a window message from worker threads to its delivery on the UI thread.
vistal_bench(bench_ui_post
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui/post_bench.cpp
  DEPS vistal_platform_ui Qt6::Widgets)

# The real main window with 64 channels from the simulated DVRs: the UI thread's stalls while paging and
# switching the screen count, and the process's CPU with the grid open and closed against bare decoding of
# the same pictures.
vistal_bench(bench_ui_main_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui/main_window_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/bare_decoders.cpp
  DEPS vistal_main_window vistal_dvrsim vistal_libyuv Qt6::Widgets)
if(TARGET bench_ui_main_window)
  target_compile_definitions(bench_ui_main_window PRIVATE DVRSIM_BINARY="$<TARGET_FILE:dvrsim>")
  add_dependencies(bench_ui_main_window dvrsim)
endif()
