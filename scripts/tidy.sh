#!/usr/bin/env bash
# Static checks of src/ and tools/ with clang-tidy (.clang-tidy names the checks): every
# function fits a screen, and the bug-prone and performance checks stay clean.
# Configures a build folder of its own only for the compile commands; builds nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang-tidy
tidyBuild="${NOLLEX_TIDY_BUILD:-build-tidy}"
cmake -S . -B "$tidyBuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DNOLLEX_TESTS=OFF > /dev/null
top="$(pwd)"
run-clang-tidy -p "$tidyBuild" -j"$(nproc)" -quiet "^$top/(src|tools)/"
echo "clang-tidy: src/ and tools/ are clean"
