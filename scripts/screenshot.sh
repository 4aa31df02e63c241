#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the README's pictures offscreen: the dialog (a check, live hints) as
# docs/screenshot.png, the telemetry chart as docs/chart.png, and the dialog listening to a
# seeded recording as docs/listening.png.
# Usage: scripts/screenshot.sh [BUILD_DIR] [DIALOG.png] [CHART.png] [LISTENING.png]
# QT_SCALE_FACTOR=2 scripts/screenshot.sh build/dev /tmp/shot2.png /tmp/chart2.png shows the high-DPI look.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/dev}
out=${2:-docs/screenshot.png}
chart=${3:-docs/chart.png}
listening=${4:-docs/listening.png}

[ -f "$build/CMakeCache.txt" ] || cmake --preset dev -B "$build"
cmake --build "$build" --target dialog_screenshot listening_screenshot
mkdir -p "$(dirname "$out")" "$(dirname "$chart")" "$(dirname "$listening")"
QT_QPA_PLATFORM=offscreen "$build/bin/dialog_screenshot" "$out" "$chart"
QT_QPA_PLATFORM=offscreen "$build/bin/listening_screenshot" "$listening"
echo "screenshots: $out $chart $listening"
