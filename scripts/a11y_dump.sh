#!/usr/bin/env bash
# Prints the main window as a screen reader sees it: each shown control's
# role, name, value, states and, in brackets, its name in the layout.  Runs
# the program with simulated devices under a virtual X server.
#
#   scripts/a11y_dump.sh [TAB...]     e.g. scripts/a11y_dump.sh ms_tab
set -euo pipefail
cd "$(dirname "$0")/.."
exec tests/a11y/run.sh --dump "$@"
