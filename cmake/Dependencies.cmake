# Finds the whole stack once; targets link the imported names below.
find_package(Threads REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(PkgConfig REQUIRED)
pkg_check_modules(AV REQUIRED IMPORTED_TARGET libavcodec libavutil libavformat)
# libav for our libraries: its headers and its libraries, except in a program whose target property
# VISTAL_LIBAV_ON_DEMAND is set: that program links vistal_libav_on_demand in place of the libraries, which
# loads them when they are first used (platform/libav).
add_library(vistal_av INTERFACE)
target_include_directories(vistal_av INTERFACE $<TARGET_PROPERTY:PkgConfig::AV,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(vistal_av INTERFACE
  "$<IF:$<BOOL:$<TARGET_PROPERTY:VISTAL_LIBAV_ON_DEMAND>>,vistal_libav_on_demand,PkgConfig::AV>")
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
find_package(JPEG REQUIRED)

# libyuv ships no CMake or pkg-config file on Debian.
find_path(LIBYUV_INCLUDE_DIR libyuv.h REQUIRED)
find_library(LIBYUV_LIBRARY yuv REQUIRED)
add_library(vistal_libyuv INTERFACE)
target_include_directories(vistal_libyuv INTERFACE ${LIBYUV_INCLUDE_DIR})
target_link_libraries(vistal_libyuv INTERFACE ${LIBYUV_LIBRARY})
