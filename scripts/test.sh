#!/usr/bin/env bash
# Sets everything up, builds, and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd "${QUELLIX_BUILD_DIR:-build}"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ctest --output-on-failure -j"$(nproc)" --timeout 300
