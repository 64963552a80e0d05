#!/usr/bin/env bash
# Configures and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ZARN_CMAKE_ARGS:-} >/dev/null
cmake --build build -j"$(nproc)"
