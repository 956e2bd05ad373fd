#!/usr/bin/env bash
# The whole client as the operator runs it: Vistal under Xvfb (1920 x 1200 unless VISTAL_BENCH_SCREEN says
# otherwise), logged in to simulated DVRs on loopback, and the processor time of Vistal and of the X server
# over windows of time (median of the windows, in % of one core).
#   whole_process.sh BUILD_DIR idle              64 DVRs logged in, 16 empty screens: 6 windows of 10 s
#   whole_process.sh BUILD_DIR live CHANNELS     CHANNELS CIF channels at 25 pictures a second on screen:
#                                                7 windows of 2 s
# (VISTAL_BENCH_INTERVALS and VISTAL_BENCH_WINDOW set the count and the seconds.) A window's processor time
# is the sum over the process's threads of the nanoseconds the scheduler ran them (/proc/PID/task/*/
# schedstat), so an idle client's 0.05 % of a core shows (the clock-tick counters of /proc/PID/stat count
# in 10 ms steps: 0.5 % of a core in a window of 2 s). A thread that ends inside a window loses that
# window's time, and the run says so; the whole span's clock-tick total is printed too, as a check.
# Live runs also run the reference on the same pictures and cells (bench_media_live_window --reference-cpu:
# libavcodec, libyuv scale and convert into a canvas) and print the ratio. The reference runs over the same
# seconds as the measured windows, so that a change in the machine's load falls on both sides (run one
# after the other, the ratio of the same build moved between 1.29 and 1.49 from run to run; over the same
# seconds, between 1.36 and 1.48).
# Xvfb chooses a free display itself (-displayfd), the simulated DVRs take free ports and name them, and
# the client's other addresses are free loopback ports. Every process started here is stopped by its id
# at the end.
set -euo pipefail
build=$1
mode=$2
channels=${3:-0}
if [ "$mode" = idle ]; then
  intervals=${VISTAL_BENCH_INTERVALS:-6}
  window=${VISTAL_BENCH_WINDOW:-10}
else
  intervals=${VISTAL_BENCH_INTERVALS:-7}
  window=${VISTAL_BENCH_WINDOW:-2}
fi
screen=${VISTAL_BENCH_SCREEN:-1920x1200}
root=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT
. "$(dirname "$0")/../scripts/free_port.sh"

# Waits up to 20 s until the file has a line matching the pattern; 1 when it has none by then.
wait_for_line() {
  for _ in $(seq 200); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$root/display" >/dev/null 2>&1 &
xvfb=$!
pids+=("$xvfb")
wait_for_line "$root/display" '^[0-9]' || { echo "whole_process: Xvfb did not start" >&2; exit 1; }
display=:$(head -n 1 "$root/display")

args=()
if [ "$mode" = idle ]; then
  dvrs=64
  screens=16
else
  dvrs=$(((channels + 3) / 4))
  screens=$channels
fi
for ((d = 0; d < dvrs; d++)); do
  "$build/tools/dvrsim/dvrsim" --port 0 --user admin:admin --channels 4 --fps 25 >"$root/dvrsim-$d.log" 2>&1 &
  pids+=("$!")
done
for ((d = 0; d < dvrs; d++)); do
  wait_for_line "$root/dvrsim-$d.log" 'listening on' || { echo "whole_process: dvrsim $d did not start" >&2; exit 1; }
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$root/dvrsim-$d.log")
  args+=(--dvr "D$d,127.0.0.1,$port,admin:admin")
done
if [ "$mode" = live ]; then
  for ((c = 0; c < channels; c++)); do args+=(--view "$c=$((c / 4)):$((c % 4))"); done
fi
mkdir -p "$root/home" "$root/c" "$root/run"
chmod 700 "$root/run"
"$build/tools/homeprep/homeprep" --home "$root/home" --login admin: --screens "$screens" "${args[@]}" >/dev/null

free_port discovery_port
free_port reply_port
free_port wan_port
free_port update_port
export VISTAL_HOME=$root/home VISTAL_DRIVE_C=$root/c XDG_RUNTIME_DIR=$root/run DISPLAY=$display
export VISTAL_DISCOVERY_ADDRESS=127.0.0.1:$discovery_port VISTAL_DISCOVERY_REPLY_PORT=$reply_port
export VISTAL_WAN_SERVER=127.0.0.1:$wan_port VISTAL_UPDATE_HOST=127.0.0.1:$update_port
unset QT_QPA_PLATFORM
"$build/app/Vistal" >/dev/null 2>&1 &
vistal=$!
pids+=("$vistal")
sleep "${VISTAL_BENCH_SETTLE:-8}"  # log-in, streams opened, decoders warm

# VISTAL_BENCH_SHOT: a program that saves the screen to the PNG file named by its argument.
if [ -n "${VISTAL_BENCH_SHOT:-}" ]; then
  "$VISTAL_BENCH_SHOT" "$root/shot.png" && cp "$root/shot.png" "${VISTAL_BENCH_SHOT_TO:-/tmp/vistal-bench-$mode-$channels.png}"
fi
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# "TID NANOSECONDS" for each thread of the process: the time the scheduler has run it.
thread_ns() { grep -H '' /proc/"$1"/task/*/schedstat 2>/dev/null | sed 's|^/proc/[0-9]*/task/\([0-9]*\)/schedstat:\([0-9]*\) .*|\1 \2|'; }
# The nanoseconds the threads ran between two thread_ns files (a thread that started in between counts
# whole), then the number of threads that ended in between.
window_ns() {
  awk 'NR == FNR { start[$1] = $2; next } { total += ($1 in start) ? $2 - start[$1] : $2; seen[$1] = 1 }
       END { for (t in start) if (!(t in seen)) ended++; print total + 0, ended + 0 }' "$1" "$2"
}
reference=
if [ "$mode" = live ] && [ -x "$build/bench/bench_media_live_window" ]; then
  "$build/bench/bench_media_live_window" --reference-cpu "$channels" >"$root/reference.txt" 2>/dev/null &
  reference=$!
  pids+=("$reference")
fi
hz=$(getconf CLK_TCK)
vs=() xs=()
ended=0
vt0=$(ticks "$vistal") xt0=$(ticks "$xvfb") span0=$(date +%s.%N)
for ((i = 0; i < intervals; i++)); do
  thread_ns "$vistal" >"$root/v0"
  thread_ns "$xvfb" >"$root/x0"
  t0=$(date +%s.%N)
  sleep "$window"
  thread_ns "$vistal" >"$root/v1"
  thread_ns "$xvfb" >"$root/x1"
  t1=$(date +%s.%N)
  read -r v vended < <(window_ns "$root/v0" "$root/v1")
  read -r x xended < <(window_ns "$root/x0" "$root/x1")
  ended=$((ended + vended + xended))
  vs+=("$(echo "$v / 10000000 / ($t1 - $t0)" | bc -l)")
  xs+=("$(echo "$x / 10000000 / ($t1 - $t0)" | bc -l)")
done
vt1=$(ticks "$vistal") xt1=$(ticks "$xvfb") span1=$(date +%s.%N)
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
printf '%s %s: Vistal %.3f %% of a core, Xvfb %.3f %% (medians of %d windows of %s s)\n' "$mode" "$channels" \
  "$(median "${vs[@]}")" "$(median "${xs[@]}")" "$intervals" "$window"
echo "  Vistal: ${vs[*]}" | sed 's/\([0-9]*\.[0-9][0-9][0-9]\)[0-9]*/\1/g'
echo "  Xvfb:   ${xs[*]}" | sed 's/\([0-9]*\.[0-9][0-9][0-9]\)[0-9]*/\1/g'
span=$(echo "$span1 - $span0" | bc -l)
printf '  whole span of %.0f s by clock ticks (a tick is %.3f %% of it): Vistal %.3f %%, Xvfb %.3f %%\n' "$span" \
  "$(echo "100 / $hz / $span" | bc -l)" "$(echo "($vt1 - $vt0) * 100 / $hz / $span" | bc -l)" \
  "$(echo "($xt1 - $xt0) * 100 / $hz / $span" | bc -l)"
[ "$ended" -eq 0 ] || echo "  $ended threads ended inside a window: their time there is not counted"
if [ -n "$reference" ]; then
  wait "$reference" 2>/dev/null || true
  left=()
  for p in "${pids[@]}"; do [ "$p" = "$reference" ] || left+=("$p"); done
  pids=("${left[@]}")  # ended and waited for: its id is not signalled again
  ref=$(cat "$root/reference.txt")
  echo "  $ref"
  r=$(echo "$ref" | awk '{print $4}')
  # The spread: each window's Vistal + Xvfb over the reference's median.
  sums=()
  for ((i = 0; i < intervals; i++)); do sums+=("$(echo "(${vs[i]} + ${xs[i]}) / $r" | bc -l)"); done
  printf '  ratio (Vistal + Xvfb) / reference, median over median: %.2f (windows %.2f - %.2f)\n' \
    "$(echo "($(median "${vs[@]}") + $(median "${xs[@]}")) / $r" | bc -l)" \
    "$(printf '%s\n' "${sums[@]}" | sort -g | head -n 1)" "$(printf '%s\n' "${sums[@]}" | sort -g | tail -n 1)"
fi
