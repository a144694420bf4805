#!/usr/bin/env bash
# Fails when a C++ source of the repository differs from what clang-format makes of it
# (the style is .clang-format at the root). tools/test.sh runs it before building.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror
