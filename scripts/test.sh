#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests: the unit tests and the
# end-to-end tests of the real window under Xvfb. Exits non-zero when anything fails.
# Extra arguments go to ctest (for example `-L unit` or `-R freehand`).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure "$@"
