#!/usr/bin/env bash
# Installs what is needed, builds WinVELMAR and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=build bash scripts/build.sh
if [ -x build/app/WinVELMAR ]; then
  exec build/app/WinVELMAR "$@"
fi
exec build/tools/kvsolve --shock t2=-10 --format json
