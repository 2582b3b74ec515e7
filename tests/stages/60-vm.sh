#!/usr/bin/env bash
# The simulated controller on a real Linux HID stack, in a small VM (qemu, TCG).
set -euo pipefail
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build/debug -j "$VORNAK_JOBS" --target vornak-sim vornak-flash vornak-hotplug-probe
tests/vm/run build/debug
