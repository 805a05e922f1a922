#!/usr/bin/env bash
# Measures start-up under a virtual X server: time from process start to
# the first painted main window, and resident memory one second later.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${QUELLIX_BUILD_DIR:-build}
exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/bench/startup/bench_startup" "$@"
