#!/usr/bin/env bash
# Builds Kelvo (release) and starts it from run/, a folder that holds the executable, the help page
# and kelvo.xml. The sample library is copied there only when run/ has none, so the user's edits
# are never overwritten. A modem simulator is started on a pseudo-terminal and offered in Kelvo's
# port list (as run/modem), so every sample script can be run at once without hardware; it stops
# when Kelvo closes. Set KELVO_NO_SIMULATOR=1 to start Kelvo alone.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"

bin=build/release/bin
mkdir -p run
cp -f "$bin/kelvo" "$bin/kelvo-run" "$bin/kelvo-script" "$bin/modemsim" run/
for f in data/*.html data/*.rules "$bin/kelvo-functions.html"; do [ -e "$f" ] && cp -f "$f" run/; done
[ -e run/kelvo.xml ] || cp data/kelvo.xml run/

if [ "${KELVO_NO_SIMULATOR:-0}" = 1 ]; then
  exec run/kelvo "$@"
fi
sim_out=$(mktemp)
run/modemsim --link "$PWD/run/modem" >"$sim_out" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -f "$sim_out"' EXIT
for _ in $(seq 50); do [ -e run/modem ] && break; sleep 0.1; done
echo "Modem simulator on $(head -n 1 "$sim_out"), offered as $PWD/run/modem"
KELVO_PORTS="$PWD/run/modem${KELVO_PORTS:+:$KELVO_PORTS}" run/kelvo "$@"
