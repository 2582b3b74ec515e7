#!/usr/bin/env bash
# The whole suite in a debug build.
set -euo pipefail
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build/debug -j "$VORNAK_JOBS"
ctest --test-dir build/debug --output-on-failure -j "$VORNAK_JOBS"
