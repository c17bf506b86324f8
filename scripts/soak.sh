#!/usr/bin/env bash
# The soak: a seeded random walk of EVENTS key, cursor, command and dialog-answer events over the
# board's units, built with AddressSanitizer and UndefinedBehaviorSanitizer, with the invariants
# checked after every event. The same SEED (default 1) gives the same walk.
# VELMO_SOAK_KEEP_TOOL_WHILE_SHAPE=1 chooses no tool while a shape is under way (see
# docs/reliability.md). Exits non-zero at the first broken invariant or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
  echo "usage: $0 EVENTS [SEED]" >&2
  exit 2
fi
build=${VELMO_ASAN_BUILD:-build-asan}

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMO_SANITIZE=ON >/dev/null
cmake --build "$build" -j2 --target soak_board
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen "$build/tests/soak_board" "$1" "${2:-1}"
