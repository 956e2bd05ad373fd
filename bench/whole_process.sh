#!/usr/bin/env bash
# The whole client as the operator runs it: Vistal under Xvfb (1920 x 1200 unless VISTAL_BENCH_SCREEN says
# otherwise), logged in to simulated DVRs on loopback, and the processor time of Vistal and of the X server
# over intervals of two seconds (median of the intervals, in % of one core).
#   whole_process.sh BUILD_DIR idle              64 DVRs logged in, 16 empty screens
#   whole_process.sh BUILD_DIR live CHANNELS     CHANNELS CIF channels at 25 pictures a second on screen
# Live runs also run the reference on the same pictures and cells (bench_media_live_window --reference-cpu:
# libavcodec, libyuv scale and convert into a canvas) and print the ratio. The reference runs over the same
# seconds as the measured intervals, so that a change in the machine's load falls on both sides (run one
# after the other, the ratio of the same build moved between 1.29 and 1.49 from run to run; over the same
# seconds, between 1.36 and 1.48).
# Every process started here is stopped by its id at the end.
set -euo pipefail
build=$1
mode=$2
channels=${3:-0}
intervals=${VISTAL_BENCH_INTERVALS:-7}
screen=${VISTAL_BENCH_SCREEN:-1920x1200}
root=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids+=("$xvfb")

base=$((20000 + RANDOM % 20000))
args=()
if [ "$mode" = idle ]; then
  dvrs=64
  screens=16
else
  dvrs=$(((channels + 3) / 4))
  screens=$channels
fi
for ((d = 0; d < dvrs; d++)); do
  "$build/tools/dvrsim/dvrsim" --port $((base + d)) --user admin:admin --channels 4 --fps 25 >/dev/null 2>&1 &
  pids+=("$!")
  args+=(--dvr "D$d,127.0.0.1,$((base + d)),admin:admin")
done
if [ "$mode" = live ]; then
  for ((c = 0; c < channels; c++)); do args+=(--view "$c=$((c / 4)):$((c % 4))"); done
fi
mkdir -p "$root/home" "$root/c" "$root/run"
chmod 700 "$root/run"
"$build/tools/homeprep/homeprep" --home "$root/home" --login admin: --screens "$screens" "${args[@]}" >/dev/null

export VISTAL_HOME=$root/home VISTAL_DRIVE_C=$root/c XDG_RUNTIME_DIR=$root/run DISPLAY=$display
export VISTAL_DISCOVERY_ADDRESS=127.0.0.1:$((base - 1)) VISTAL_DISCOVERY_REPLY_PORT=$((base - 2))
export VISTAL_WAN_SERVER=127.0.0.1:$((base - 3)) VISTAL_UPDATE_HOST=127.0.0.1:$((base - 4))
unset QT_QPA_PLATFORM
sleep 1
"$build/app/Vistal" >/dev/null 2>&1 &
vistal=$!
pids+=("$vistal")
sleep "${VISTAL_BENCH_SETTLE:-8}"  # log-in, streams opened, decoders warm

# VISTAL_BENCH_SHOT: a program that saves the screen to the PNG file named by its argument.
if [ -n "${VISTAL_BENCH_SHOT:-}" ]; then
  "$VISTAL_BENCH_SHOT" "$root/shot.png" && cp "$root/shot.png" "${VISTAL_BENCH_SHOT_TO:-/tmp/vistal-bench-$mode-$channels.png}"
fi
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
reference=
if [ "$mode" = live ] && [ -x "$build/bench/bench_media_live_window" ]; then
  "$build/bench/bench_media_live_window" --reference-cpu "$channels" >"$root/reference.txt" 2>/dev/null &
  reference=$!
  pids+=("$reference")
fi
hz=$(getconf CLK_TCK)
vs=() xs=()
for ((i = 0; i < intervals; i++)); do
  v0=$(ticks "$vistal"); x0=$(ticks "$xvfb"); t0=$(date +%s.%N)
  sleep 2
  v1=$(ticks "$vistal"); x1=$(ticks "$xvfb"); t1=$(date +%s.%N)
  vs+=("$(echo "($v1 - $v0) * 100 / $hz / ($t1 - $t0)" | bc -l)")
  xs+=("$(echo "($x1 - $x0) * 100 / $hz / ($t1 - $t0)" | bc -l)")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
printf '%s %s: Vistal %.2f %% of a core, Xvfb %.2f %% (medians of %d intervals of 2 s)\n' "$mode" "$channels" \
  "$(median "${vs[@]}")" "$(median "${xs[@]}")" "$intervals"
echo "  Vistal: ${vs[*]}" | sed 's/\([0-9]*\.[0-9][0-9]\)[0-9]*/\1/g'
echo "  Xvfb:   ${xs[*]}" | sed 's/\([0-9]*\.[0-9][0-9]\)[0-9]*/\1/g'
if [ -n "$reference" ]; then
  wait "$reference" 2>/dev/null || true
  left=()
  for p in "${pids[@]}"; do [ "$p" = "$reference" ] || left+=("$p"); done
  pids=("${left[@]}")  # ended and waited for: its id is not signalled again
  ref=$(cat "$root/reference.txt")
  echo "  $ref"
  r=$(echo "$ref" | awk '{print $4}')
  printf '  ratio (Vistal + Xvfb) / reference: %.2f\n' \
    "$(echo "($(median "${vs[@]}") + $(median "${xs[@]}")) / $r" | bc -l)"
fi
