#!/usr/bin/env bash
# Renders the dialog offscreen after one check of the frame 89D0A76820472FBCA7A01F and saves
# it as docs/screenshot.png. Usage: scripts/screenshot.sh [BUILD_DIR] [OUT.png]
# QT_SCALE_FACTOR=2 scripts/screenshot.sh build/dev /tmp/shot2.png shows the high-DPI look.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/dev}
out=${2:-docs/screenshot.png}

[ -f "$build/CMakeCache.txt" ] || cmake --preset dev -B "$build"
cmake --build "$build" --target dialog_screenshot
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=offscreen "$build/bin/dialog_screenshot" "$out"
echo "screenshot: $out"
