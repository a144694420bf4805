#!/usr/bin/env bash
# Runs each program of programs/ in Kelvo (kelvo-script, JScript), Python 3 and Lua 5.4, several
# times, and prints each language's median wall time and Kelvo's and Lua's ratio to Python.
# Usage: bench/script/compare.sh [RUNS]   (build first: cmake --preset bench &&
#        cmake --build --preset bench --target kelvo-script)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
runs="${1:-5}"
kelvo="${KELVO_SCRIPT:-$root/build/bench/bin/kelvo-script}"
[ -x "$kelvo" ] || { echo "kelvo-script not found at $kelvo: build the bench preset first" >&2; exit 1; }
lua="$(command -v lua5.4 || true)"

# Median wall time in seconds of running "$@" $runs times; the output must match the first run's.
median() {
  local times=() expected="" out t0 t1
  for _ in $(seq "$runs"); do
    t0=$(date +%s.%N)
    out="$("$@")"
    t1=$(date +%s.%N)
    if [ -z "$expected" ]; then expected="$out"; elif [ "$out" != "$expected" ]; then
      echo "output changed between runs of $*" >&2; exit 1
    fi
    times+=("$(echo "$t1 - $t0" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

printf '%-14s %10s %10s %10s %8s %8s\n' program kelvo python lua kelvo/py lua/py
for js in "$here"/programs/*.js; do
  name="$(basename "$js" .js)"
  k=$(median "$kelvo" "$js")
  p=$(median python3 "$here/programs/$name.py")
  if [ -n "$lua" ]; then l=$(median "$lua" "$here/programs/$name.lua"); else l=nan; fi
  if [ "$(python3 "$here/programs/$name.py")" != "$("$kelvo" "$js")" ]; then
    echo "$name: Kelvo and Python print different results" >&2
    exit 1
  fi
  printf '%-14s %10.3f %10.3f %10.3f %8.2f %8s\n' "$name" "$k" "$p" "$( [ "$l" = nan ] && echo 0 || echo "$l")" "$(echo "$k / $p" | bc -l)" \
    "$( [ "$l" = nan ] && echo - || printf '%.2f' "$(echo "$l / $p" | bc -l)")"
done
