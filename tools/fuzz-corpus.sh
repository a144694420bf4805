#!/usr/bin/env bash
# tools/fuzz-corpus.sh DIR: seed corpora for the script fuzz targets, one folder per target under
# DIR. Besides the sample scripts, each gets long and deep shapes just under 64 KB (a chain of
# thirty thousand operators, nesting tens of thousands deep) that a fuzzer rarely builds by itself
# and that once exhausted the stack. Run the targets with -max_len=65536 (see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: tools/fuzz-corpus.sh DIR}

# repeat TEXT COUNT: TEXT written COUNT times (no TEXT holds a line end).
repeat() { { yes -- "$1" || true; } | head -n "$2" | tr -d '\n'; }

# Script texts, written to each folder named after it.
scripts() {
  local dir=$1
  mkdir -p "$dir"
  cp tests/script/data/js/*.js tests/script/data/syslib/*.js "$dir"/
  { printf 'var x = 0'; repeat '+1' 30000; printf ';\n'; } >"$dir/long_sum.js"
  { printf 'var x = '; repeat '-(' 15000; printf '1'; repeat ')' 15000; printf ';\n'; } >"$dir/deep_negation.js"
  { printf 'var x = '; repeat '[' 60000; printf ';\n'; } >"$dir/deep_sets.js"
  { printf 'function f(a) { return a; }\nvar x = '; repeat 'f(' 15000; printf '1'; repeat ')' 15000; printf ';\n'; } >"$dir/deep_calls.js"
  { printf 'var x = '; repeat '!' 60000; printf 'x;\n'; } >"$dir/deep_not.js"
  { repeat '(' 30000; printf '1'; repeat ')' 30000; printf ';\n'; } >"$dir/deep_parentheses.js"
  { repeat 'if (1) ' 8000; printf 'x = 1;\n'; } >"$dir/deep_ifs.js"
  { repeat '{' 30000; repeat '}' 30000; printf '\n'; } >"$dir/deep_blocks.js"
  { repeat 'x=1;' 15000; printf '\n'; } >"$dir/long_line_of_statements.js"
  { printf 'var a; a'; repeat '.b' 30000; printf ' = 1;\n'; } >"$dir/long_member_chain.js"
  { printf 'var a; a'; repeat '[1]' 20000; printf ' = 1;\n'; } >"$dir/long_index_chain.js"
  { printf 'var s = ""'; repeat '+"ab"' 12000; printf ';\n'; } >"$dir/long_concatenation.js"
  { printf 'var s = "'; repeat 'a' 60000; printf '";\n'; } >"$dir/long_string.js"
  { printf '#language C++Script\n{ int x = 0'; repeat '+1' 30000; printf '; }\n'; } >"$dir/long_sum_cpp.js"
}

# Intermediate trees and plain engine XML, for the XML reader and the builder.
trees() {
  local dir=$1
  mkdir -p "$dir"
  local head='<?xml version="1.0"?>'
  { printf '%s<program>' "$head"; repeat '<compoundstmt>' 2000; repeat '</compoundstmt>' 2000;
    printf '</program>\n'; } >"$dir/deep_blocks.xml"
  { printf '%s<program><assignstmt><dsgn><node text="x"/></dsgn>' "$head"; repeat '<expr>' 4000;
    printf '<number text="1"/>'; repeat '</expr>' 4000; printf '</assignstmt></program>\n'; } >"$dir/deep_expression.xml"
  { printf '%s<program><assignstmt><dsgn><node text="x"/></dsgn><expr>' "$head";
    repeat '<number text="1"/><op text="+"/>' 1700; printf '<number text="1"/></expr></assignstmt></program>\n'; } \
    >"$dir/long_sum.xml"
  { printf '%s' "$head"; repeat '<a>' 9000; repeat '</a>' 9000; printf '\n'; } >"$dir/deep_elements.xml"
  { printf '%s' "$head"; repeat '<a>' 20000; printf '\n'; } >"$dir/unclosed_deep_elements.xml"
}

for target in script_run il_parser parser; do scripts "$out/$target"; done
for target in il_builder xml_tree; do trees "$out/$target"; done
echo "seed corpora in $out: $(find "$out" -type f | wc -l) files"
