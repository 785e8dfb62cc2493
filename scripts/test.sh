#!/usr/bin/env bash
# Installs what is missing, builds Nollex and its tests, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# What only the tests need: the package check (tests/install) and its tools.
bash scripts/deps.sh dpkg-dev desktop-file-utils appstream xdotool lintian
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j"$(nproc)")
