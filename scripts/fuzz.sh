#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for SECONDS (default 60), starting from the seed corpus in
# fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/<target>/, findings to
# build-fuzz/findings/<target>/. Exits non-zero on any finding: a crash, a sanitizer report, a
# leak, a hang (an input slower than 10 s) or an allocation over 1 GB.
# Extra arguments go to every fuzzer, for example -jobs=2. VELMO_FUZZ_TARGETS picks targets.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${VELMO_FUZZ_BUILD:-build-fuzz}
targets=(${VELMO_FUZZ_TARGETS:-fuzz_bitmap_file fuzz_clipboard_image fuzz_config_ini fuzz_board_events fuzz_remote_command})

# The compiler and the fuzzer runtime, only for fuzzing; the normal build does not need them.
bash scripts/setup.sh
mapfile -t packages < <(grep -v '^#' fuzz/packages.txt)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMO_FUZZ=ON >/dev/null
nice -n 19 cmake --build "$build" -j2 --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

failed=()
for target in "${targets[@]}"; do
  seeds="fuzz/corpus/${target#fuzz_}"
  corpus="$build/corpus/${target#fuzz_}"
  findings="$build/findings/${target#fuzz_}/"
  mkdir -p "$corpus" "$findings"
  log="$build/$target.log"
  max_len=8192
  if [ "$target" = fuzz_board_events ]; then max_len=2048; fi  # about a thousand events
  echo "=== $target, ${seconds}s (log: $log)"
  if nice -n 19 "$build/fuzz/$target" "$corpus" "$seeds" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2560 -malloc_limit_mb=1024 -max_len="$max_len" \
      -artifact_prefix="$findings" -print_final_stats=1 "$@" >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units" "$log" | sed "s/^/$target: /" || true
  else
    failed+=("$target")
    grep -E "ERROR|SUMMARY|Test unit written|==[0-9]+==" "$log" | head -20 || true
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no findings"
