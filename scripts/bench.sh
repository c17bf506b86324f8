#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs the frame-tick benchmark on a private Xvfb
# (1920x1280x24, no window manager, no compositor; VELMO_BENCH_COMPOSITOR=1 adds xcompmgr).
# VELMO_BENCH_TARGET names another benchmark to run the same way, e.g. bench_filters.
# VELMO_BENCH_SCREEN gives the X screen another size (bench_startup's two-4K desktop needs
# 7680x2160x24, which it gets by default).
# Extra arguments go to the benchmark binary, for example --benchmark_filter=idle.
# Results: the console table on stdout, and JSON in <build>/<benchmark>.json.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BENCH_BUILD:-$root/build-release}
target=${VELMO_BENCH_TARGET:-bench_tick}
screen=1920x1280x24
if [ "$target" = bench_startup ]; then screen=7680x2160x24; fi
screen=${VELMO_BENCH_SCREEN:-$screen}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMO_BENCH=ON >/dev/null
ninja -C "$build" "$target"

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$display_file" \
  2>"$build/bench_xvfb.log" &
xvfb_pid=$!
compositor_pid=""
cleanup() {
  if [ -n "$compositor_pid" ]; then kill "$compositor_pid" 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT

# Xvfb writes its display number, then a newline, once it accepts clients.
for _ in $(seq 1 200); do
  if [ "$(wc -l <"$display_file")" -ge 1 ]; then break; fi
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "Xvfb failed to start; see $build/bench_xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
display=$(head -n1 "$display_file")
if [ -z "$display" ]; then
  echo "Xvfb did not report a display" >&2
  exit 1
fi

echo "Xvfb :$display $screen (pid $xvfb_pid), $(nproc) cores"
if [ "${VELMO_BENCH_COMPOSITOR:-0}" = 1 ]; then
  DISPLAY=":$display" xcompmgr >/dev/null 2>&1 &
  compositor_pid=$!
  # The board chooses its path at start-up by whether the compositing selection has an owner.
  for _ in $(seq 1 200); do
    DISPLAY=":$display" xwininfo -root -children 2>/dev/null | grep -q '"xcompmgr"' && break
    sleep 0.05
  done
  echo "with xcompmgr (pid $compositor_pid)"
fi
DISPLAY=":$display" QT_QPA_PLATFORM=xcb VELMO_XSERVER_PID="$xvfb_pid" \
  "$build/bench/$target" \
  --benchmark_out="$build/$target.json" --benchmark_out_format=json "$@"
