#!/usr/bin/env bash
# The threaded tests (label "threads") under ThreadSanitizer.
set -euo pipefail
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNAK_SANITIZE=thread \
  -DVORNAK_WITH_QT=OFF  # Qt is not built for TSan; its tests are not in this stage
cmake --build build/tsan -j "$VORNAK_JOBS"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -L threads -j "$VORNAK_JOBS"
