#!/usr/bin/env bash
# Runs the chosen tests N times on the existing build and counts the runs in which each test
# failed, to bring out tests that fail only now and then:
#
#   bash scripts/repeat-tests.sh 20 -L e2e
#   bash scripts/repeat-tests.sh 50 -R window_modes
#
# Arguments after N go to ctest. The build directory is build/ (VELMO_BUILD_DIR changes it); build
# it first (scripts/test.sh does). The output of every failed test is kept under
# <build>/repeat-logs/. Exits non-zero when any run failed.
set -uo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "usage: $0 N [ctest arguments]" >&2
  exit 2
fi
runs=$1
shift
build=${VELMO_BUILD_DIR:-build}
logs=$build/repeat-logs
rm -rf "$logs"
mkdir -p "$logs"

declare -A failed_runs=()  # ctest test name -> runs in which it failed
declare -A failed_cases=() # "ctest test: test case" -> runs in which it failed
bad_runs=0
start=$(date +%s)

for run in $(seq 1 "$runs"); do
  out=$logs/run$run.log
  ctest --test-dir "$build" --output-on-failure "$@" >"$out" 2>&1
  rc=$?
  # ctest lists each failed test as "  12 - e2e_test_toolbar (Failed)" after its summary.
  mapfile -t names < <(sed -n '/The following tests FAILED:/,$p' "$out" |
    sed -n 's/^[[:space:]]*[0-9]\+ - \([^ ]*\) (.*$/\1/p')
  if [ "$rc" -ne 0 ] || [ "${#names[@]}" -gt 0 ]; then
    bad_runs=$((bad_runs + 1))
    [ "${#names[@]}" -gt 0 ] || names=("(ctest itself, exit $rc)")
    for name in "${names[@]}"; do
      failed_runs[$name]=$((${failed_runs[$name]:-0} + 1))
    done
    # Python's unittest names each failing case as "FAIL: test_x (module.Class)" or "ERROR: ...";
    # GoogleTest as "[  FAILED  ] Suite.Case (12 ms)".
    while IFS= read -r case; do
      failed_cases[$case]=$((${failed_cases[$case]:-0} + 1))
    done < <(grep -oE '^(FAIL|ERROR): test[^ ]* \([^)]*\)|^\[  FAILED  \] [A-Za-z0-9_/.]+' "$out" |
      sed -E 's/^\[  FAILED  \] /FAIL: /' | sort -u)
    echo "run $run of $runs: FAILED ${names[*]} (log: $out)"
  else
    rm -f "$out"
    echo "run $run of $runs: passed"
  fi
done

echo
echo "$runs runs in $(($(date +%s) - start)) s; $bad_runs with failures."
if [ "$bad_runs" -gt 0 ]; then
  echo "Failed runs by test:"
  for name in "${!failed_runs[@]}"; do
    printf '  %3d of %d  %s\n' "${failed_runs[$name]}" "$runs" "$name"
  done | sort -k4
  if [ "${#failed_cases[@]}" -gt 0 ]; then
    echo "Failed runs by test case:"
    for case in "${!failed_cases[@]}"; do
      printf '  %3d  %s\n' "${failed_cases[$case]}" "$case"
    done | sort -k2
  fi
  exit 1
fi
