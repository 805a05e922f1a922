#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60), starting from the corpus in tests/fuzz/corpus/<name>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang-14 CXX=clang++-14 QUELLIX_BUILD_DIR=build-fuzz scripts/build.sh \
    -DQUELLIX_FUZZ=ON -DQUELLIX_WITH_QT=OFF -DQUELLIX_TESTS=OFF -DQUELLIX_BENCH=OFF
for bin in build-fuzz/tests/fuzz/*_fuzz; do
    [[ -x $bin ]] || continue
    name=$(basename "$bin")
    corpus=tests/fuzz/corpus/$name
    work=$(mktemp -d)
    [[ -d $corpus ]] && cp -r "$corpus"/. "$work"/
    echo "fuzz: $name for ${seconds}s"
    "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 "$work" 2>&1 | tail -n 3
    rm -rf "$work"
done
