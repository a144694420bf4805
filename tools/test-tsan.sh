#!/usr/bin/env bash
# Builds the tests of the parts that use threads (serial port and its event thread, simulator,
# application runs, end-to-end runs, window, and the engine's stack-guard tests) with
# ThreadSanitizer (the tsan preset) and runs them. Exits non-zero on any failure or report.
# tools/test.sh runs it after the other tests. The build preset makes only the test programs and
# what they start (the target kelvo_tests), not the window program or the help pages.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset tsan
cmake --build --preset tsan -j "$(nproc)"
ctest --preset tsan -j "$(nproc)"
