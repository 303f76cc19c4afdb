#!/usr/bin/env bash
# Sets up and builds the project, then runs every test.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ROOT/scripts/setup.sh"
cd "$ROOT/build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
