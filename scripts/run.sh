#!/usr/bin/env bash
# Installs what is missing, builds the board and starts it. Extra arguments go to velmo
# (for example a .bmp picture to open).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target velmo
exec build/src/velmo "$@"
