#!/usr/bin/env bash
# Library load/save speed and memory, side by side with Python's ElementTree (its C parser) on the
# same file. Run from the repository root after `cmake --preset bench && cmake --build --preset bench`.
set -euo pipefail
bin=${1:-build/bench/bin}
file=$(mktemp -d)/library.xml
"$bin/xml_bench" generate "$file"
ours=$("$bin/xml_bench" load "$file")
echo "$ours"
python3 - "$file" "$ours" <<'PY'
import sys, time, resource, xml.etree.ElementTree as ET
path, ours = sys.argv[1], dict(l.split() for l in sys.argv[2].splitlines())
best = min((lambda t: (ET.parse(path), time.perf_counter() - t)[1])(time.perf_counter()) for _ in range(3))
print(f"python_etree_parse_s {best:.3f}")
print(f"load_speed_ratio_ours_vs_etree {best / float(ours['load_s']):.2f}  (>1: ours faster)")
print(f"save_vs_load_ratio {float(ours['load_s']) / float(ours['save_s']):.2f}  (>1: save faster)")
print(f"peak_memory_vs_file {float(ours['peak_loaded_mb']) / float(ours['file_mb']):.2f}  (goal < 4)")
PY
rm -rf "$(dirname "$file")"
