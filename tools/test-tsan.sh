#!/usr/bin/env bash
# Builds the tests of the parts that use threads (serial port and its event thread, simulator,
# application runs, end-to-end runs, window, and the engine's stack-guard tests) with
# ThreadSanitizer (the tsan preset) and runs them. Exits non-zero on any failure or report.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset tsan
cmake --build --preset tsan -j "$(nproc)"
ctest --preset tsan -j "$(nproc)"
