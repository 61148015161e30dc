#!/usr/bin/env bash
# Builds Talvoria and takes screenshots of its window (listed, downloading, finished, preview),
# menu, dialogs (the file tool after a check among them) and login browser under a virtual X
# server. Usage: scripts/screenshots.sh [FOLDER]  (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
bash scripts/install-deps.sh
bash scripts/build.sh
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
xvfb-run -a -s "-screen 0 1280x900x24" build/tests/talvoria_screenshots "$out"
ls -1 "$out"/*.png
