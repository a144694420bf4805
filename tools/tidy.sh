#!/usr/bin/env bash
# tools/tidy.sh [--all]: runs clang-tidy with the checks of .clang-tidy and fails on any finding.
# By default over the sources of the program and its tools (src/, tools/) and the headers they
# include; --all adds the tests and the benchmarks. Uses the test preset's compile database
# (configuring it when missing) and two jobs unless JOBS says otherwise. tools/test.sh runs the
# default set: a whole run costs about twice as much, most of it in parsing gtest and Qt headers.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/test
folders='src|tools'
[ "${1:-}" = "--all" ] && folders='src|tools|tests|bench'
[ -f "$build/compile_commands.json" ] || cmake --preset test >/dev/null
# Files are chosen by a pattern on their path: our folders only, so that the sources Qt's tools
# generate in the build tree (moc, rcc) are left out.
if ! run-clang-tidy -quiet -p "$build" -j "${JOBS:-2}" "^$PWD/($folders)/" >"$build/clang-tidy.log" 2>&1; then
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E 'error:|warning:' | sort -u | head -100
  echo "clang-tidy found problems (all of them in $build/clang-tidy.log)" >&2
  exit 1
fi
