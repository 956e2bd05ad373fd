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

# Start-up of the real Vistal to its first picture against a bare Qt window, on a private X server.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VISTAL_BENCH_X11 IMPORTED_TARGET x11 xtst xcb)
if(VISTAL_BENCH_X11_FOUND)
  add_executable(bare_qt_window ${CMAKE_CURRENT_LIST_DIR}/ui/bare_qt_window.cpp)
  vistal_apply_defaults(bare_qt_window)
  target_link_libraries(bare_qt_window PRIVATE Qt6::Widgets)
  set(VISTAL_E2E_DIR ${PROJECT_SOURCE_DIR}/tests/e2e)
  add_executable(bench_ui_startup ${CMAKE_CURRENT_LIST_DIR}/ui/startup_bench.cpp ${VISTAL_E2E_DIR}/x_session.cpp
    ${VISTAL_E2E_DIR}/x_program.cpp ${VISTAL_E2E_DIR}/x_screen_reading.cpp ${VISTAL_E2E_DIR}/vistal_launch.cpp)
  vistal_apply_defaults(bench_ui_startup)
  # The shared launch helpers check their menu steps with GoogleTest's assertions.
  target_link_libraries(bench_ui_startup PRIVATE vistal_homeprep vistal_dvrsim vistal_ui vistal_resources
    PkgConfig::VISTAL_BENCH_X11 GTest::gtest)
  target_compile_definitions(bench_ui_startup PRIVATE VISTAL_BINARY="$<TARGET_FILE:Vistal>"
    BARE_QT_WINDOW_BINARY="$<TARGET_FILE:bare_qt_window>"
    VISTAL_E2E_PICTURES_DIR="${CMAKE_BINARY_DIR}/pictures/e2e" VISTAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(bench_ui_startup Vistal bare_qt_window)
endif()

# The real main window loading 4,096 DVRs: the UI thread's longest stall while their sessions start and
# while a reload replaces them, against starting them on the UI thread.
vistal_bench(bench_ui_large_device_list
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui/large_device_list_bench.cpp
  DEPS vistal_main_window Qt6::Widgets)
