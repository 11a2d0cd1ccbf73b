#!/usr/bin/env bash
# Runs the whole test suite of a build (default: build/) under the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" -j2 --output-on-failure
