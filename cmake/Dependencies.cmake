# Finds the whole stack once; targets link the imported names below.
find_package(Threads REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(PkgConfig REQUIRED)
pkg_check_modules(AV REQUIRED IMPORTED_TARGET libavcodec libavutil libavformat)
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
