#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all.
# Exits non-zero when anything fails to install, build or pass.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/check-format.sh
cmake --preset test
cmake --build --preset test -j "$(nproc)"
ctest --preset test -j "$(nproc)"
