#!/usr/bin/env bash
# Checks the format, builds every test with AddressSanitizer and UndefinedBehaviorSanitizer, runs
# clang-tidy over the program's sources (tools/tidy.sh) and runs every test; then builds the tests
# of the parts with threads with ThreadSanitizer and runs them (tools/test-tsan.sh).
# Exits non-zero when anything fails to install, build or pass.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/check-format.sh
cmake --preset test
cmake --build --preset test -j "$(nproc)"
tools/tidy.sh
ctest --preset test -j "$(nproc)"
tools/test-tsan.sh
