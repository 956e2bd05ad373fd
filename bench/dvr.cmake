# Benchmarks of the DVR sessions: stream receive throughput, frame fan-out, idle sessions, time to login;
# and of the WAN server client: time from the login check to a merged tree file.
foreach(name stream_receive frame_fanout idle_sessions login_time wan_refresh)
  vistal_bench(bench_dvr_${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/dvr/${name}.cpp DEPS vistal_dvr vistal_dvrsim vistal_wansim)
endforeach()
