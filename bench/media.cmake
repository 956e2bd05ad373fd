# Media pipeline benchmarks: the pixel routines against libyuv, the live path against bare decoding, and
# the idle client with 64 DVR sessions.
vistal_bench(bench_media_pixels
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_pixels_bench.cpp
  DEPS vistal_media vistal_libyuv)
vistal_bench(bench_media_live
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_live_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/live_frame_feed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/live_grid.cpp ${CMAKE_CURRENT_LIST_DIR}/bare_decoders.cpp
  DEPS vistal_media vistal_test_streams vistal_libyuv)
# The live path at the real window's geometry, drawn into a real video window, against a reference that
# decodes, scales and converts into a canvas (libavcodec and libyuv).
vistal_bench(bench_media_live_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_live_window_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/live_frame_feed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/live_grid.cpp ${CMAKE_CURRENT_LIST_DIR}/bare_decoders.cpp
  DEPS vistal_media vistal_test_streams vistal_dvrsim vistal_ui vistal_ui_controls vistal_libyuv Qt6::Widgets)
vistal_bench(bench_media_idle
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_idle_bench.cpp
  DEPS vistal_media vistal_dvrsim GTest::gtest)  # the shared session fixture checks with gtest
vistal_bench(bench_media_record
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_record_bench.cpp
  DEPS vistal_media vistal_test_streams JPEG::JPEG vistal_libyuv)
