#!/usr/bin/env bash
# Configures and builds WinVELMAR into build/ (or the folder given as $BUILD_DIR).
# Extra arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd .. && pwd)}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-$(nproc)}"
