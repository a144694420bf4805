#!/usr/bin/env bash
# Runs each program of programs/ in Kelvo (kelvo-script, JScript), CPython 3 and Lua 5.4, RUNS times
# each, and prints per program the median CPU time (user + system) of each language and the ratios
# Kelvo/Lua and Kelvo/Python; then the peak memory of the array program and the start-up of a
# one-line script beside `lua5.4 -e ''`. Every run's output must equal the first, and Kelvo's
# output must equal Python's and Lua's, so no program is faster by being wrong.
# Usage: bench/script/compare.sh [RUNS]   (default 5; build first:
#        cmake --preset bench && cmake --build --preset bench --target kelvo-script script_run_usage)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
runs="${1:-5}"
bin="${KELVO_BENCH_BIN:-$root/build/bench/bin}"
kelvo="${KELVO_SCRIPT:-$bin/kelvo-script}"
launcher="$bin/script_run_usage"
for tool in "$kelvo" "$launcher"; do
  [ -x "$tool" ] || { echo "$tool not found: build the bench preset first" >&2; exit 1; }
done
lua="$(command -v lua5.4)" || { echo "lua5.4 not found (apt-get install lua5.4)" >&2; exit 1; }
python="$(command -v python3)"

# "cpu wall peak_kib" of a command: medians of $runs runs (peak: the largest).
measure() { python3 "$here/measure.py" "$runs" "$launcher" "$@"; }
field() { echo "$1" | cut -d' ' -f"$2"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

echo "CPU time, median of $runs runs, seconds ($("$python" --version 2>&1), $("$lua" -v 2>&1 | cut -d' ' -f1-2))"
printf '%-14s %8s %8s %8s %9s %9s\n' program kelvo python lua kelvo/lua kelvo/py
for js in "$here"/programs/*.js; do
  name="$(basename "$js" .js)"
  expected="$("$python" "$here/programs/$name.py")"
  for other in "$("$kelvo" "$js")" "$("$lua" "$here/programs/$name.lua")"; do
    [ "$other" = "$expected" ] || { echo "$name: the three languages print different results" >&2; exit 1; }
  done
  k=$(measure "$kelvo" "$js")
  p=$(measure "$python" "$here/programs/$name.py")
  l=$(measure "$lua" "$here/programs/$name.lua")
  printf '%-14s %8.3f %8.3f %8.3f %9s %9s\n' "$name" "$(field "$k" 1)" "$(field "$p" 1)" "$(field "$l" 1)" \
    "$(ratio "$(field "$k" 1)" "$(field "$l" 1)")" "$(ratio "$(field "$k" 1)" "$(field "$p" 1)")"
  if [ "$name" = array_sum ]; then
    peak="array_sum peak memory, KiB: kelvo $(field "$k" 3), python $(field "$p" 3), lua $(field "$l" 3);"
    peak="$peak kelvo/lua $(ratio "$(field "$k" 3)" "$(field "$l" 3)")"
  fi
done
echo
echo "${peak:-array_sum not found}"

# Start-up: a one-line script against an empty Lua chunk, more runs since each is short.
startup_runs=$((runs * 5))
one_line="$(mktemp --suffix=.js)"
trap 'rm -f "$one_line"' EXIT
echo 'var x = 1;' >"$one_line"
ks=$(runs=$startup_runs measure "$kelvo" "$one_line")
ls=$(runs=$startup_runs measure "$lua" -e '')
printf 'start-up, median of %d runs, ms: kelvo-script one line %.1f CPU (%.1f wall), lua5.4 -e %s %.1f CPU (%.1f wall); kelvo/lua %s\n' \
  "$startup_runs" "$(awk -v v="$(field "$ks" 1)" 'BEGIN { print v * 1000 }')" \
  "$(awk -v v="$(field "$ks" 2)" 'BEGIN { print v * 1000 }')" "''" \
  "$(awk -v v="$(field "$ls" 1)" 'BEGIN { print v * 1000 }')" \
  "$(awk -v v="$(field "$ls" 2)" 'BEGIN { print v * 1000 }')" "$(ratio "$(field "$ks" 1)" "$(field "$ls" 1)")"
