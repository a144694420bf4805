#!/usr/bin/env bash
# Instructions executed (valgrind's callgrind) by each program of programs/ in Kelvo and in Lua 5.4,
# scaled down about a hundred times, and their ratio. Unlike CPU time this does not move with the
# machine's load, so it shows what a change to the engine did even on a busy machine; it does not
# replace compare.sh, since an instruction of one interpreter is not worth one of the other.
# Usage: bench/script/instructions.sh   (build first: cmake --preset bench &&
#        cmake --build --preset bench --target kelvo-script)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kelvo="${KELVO_SCRIPT:-${KELVO_BENCH_BIN:-$root/build/bench/bin}/kelvo-script}"
[ -x "$kelvo" ] || { echo "$kelvo not found: build the bench preset first" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind not found (apt-get install valgrind)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The loop bounds of each program, a hundredth (fib: 24 instead of 34; modem_parse: one round of
# 10 000 lines instead of eight of 100 000).
scale() {
  sed -E -e 's/\b40000000\b/400000/; s/\b39999999\b/399999/; s/\b15000000\b/150000/' \
    -e 's/\b6000000\b/60000/; s/\b5999999\b/59999/; s/\b3000000\b/30000/g; s/\b2999999\b/29999/g' \
    -e 's/\b2000000\b/20000/; s/\b4000000\b/40000/g; s/fib\(34\)/fib(24)/' \
    -e 's/rounds = 8/rounds = 1/; s/\b100000\b/10000/; s/\b99999\b/9999/' "$1"
}
count() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | sed -n 's/.*refs: *//p' | tr -d ,; }

printf '%-14s %14s %14s %9s\n' program kelvo lua kelvo/lua
for js in "$here"/programs/*.js; do
  name="$(basename "$js" .js)"
  scale "$js" >"$work/$name.js"
  scale "$here/programs/$name.lua" >"$work/$name.lua"
  [ "$("$kelvo" "$work/$name.js")" = "$(lua5.4 "$work/$name.lua")" ] ||
    { echo "$name: Kelvo and Lua print different results" >&2; exit 1; }
  k=$(count "$kelvo" "$work/$name.js")
  l=$(count lua5.4 "$work/$name.lua")
  printf '%-14s %14d %14d %9s\n' "$name" "$k" "$l" "$(awk -v a="$k" -v b="$l" 'BEGIN { printf "%.2f", a / b }')"
done
