#!/usr/bin/env bash
# Configures and builds into build/ (or $QUELLIX_BUILD_DIR), passing any
# extra arguments to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${QUELLIX_BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
