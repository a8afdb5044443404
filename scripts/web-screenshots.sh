#!/bin/sh
# Runs the browser test of the web pages and keeps its screenshots (home,
# shoutbox, the operator's news editor; phone and desktop widths) in
# docs/screenshots/ for the README.
#
#   scripts/web-screenshots.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
/usr/bin/python3 tests/e2e/web_browser_test.py "$build/server/lumen-server" "$build/emu/runner/lumenhost" \
  server/data assets docs/screenshots
ls -l docs/screenshots/web-*.png
