#!/bin/bash
# One command to see the panel work: installs what is missing, builds the Windows preset, and opens the panel and
# the simulated ZEL-OT40's monitor window side by side under Wine. With a display it uses it and returns when the
# panel is closed; without one (or with --headless) it runs them under Xvfb, connects, sends a row, checks the
# monitor's picture and prints the path of a screenshot of both windows (build/demo/screenshot.png).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target \
    stampwright zel-ot40-sim sw_demo_driver sw_double_setupapi sw_double_hid
mode=()
[ "${1:-}" = --headless ] && mode=(--headless)
exec bash scripts/demo/demo.sh "${mode[@]}" build/windows/demo.conf build/demo
