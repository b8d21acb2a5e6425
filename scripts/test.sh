#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test:
# the whole suite in build/, then the model tests again under ASan and UBSan in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
BUILD_DIR=build bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
BUILD_DIR=build-asan bash scripts/build.sh -DWINVELMAR_GUI=OFF -DWINVELMAR_BENCH=OFF -DWINVELMAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 600
