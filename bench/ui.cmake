# Posting a window message from worker threads to its delivery on the UI thread.
vistal_bench(bench_ui_post
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui/post_bench.cpp
  DEPS vistal_platform_ui Qt6::Widgets)
