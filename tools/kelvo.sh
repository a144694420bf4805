#!/usr/bin/env bash
# Builds Kelvo (release) and starts it from run/, a folder that holds the executable, the help page
# and kelvo.xml. The sample library is copied there only when run/ has none, so the user's edits
# are never overwritten.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"

bin=build/release/bin
mkdir -p run
cp -f "$bin/kelvo" run/
for f in data/*.html; do [ -e "$f" ] && cp -f "$f" run/; done
[ -e run/kelvo.xml ] || cp data/kelvo.xml run/
exec run/kelvo "$@"
