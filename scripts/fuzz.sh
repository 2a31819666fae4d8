#!/usr/bin/env bash
# Builds the fuzz targets and runs each for the given seconds (FUZZ_SECONDS, 60 by default),
# printing per target the inputs run, the coverage reached and the findings. Fails on a finding.
# New inputs that reach further are kept in build/fuzz/corpus/<target>; a finding is saved in
# build/fuzz/findings/<target>/ (copy it to tests/fuzz/regressions/<target>/ once mended, and
# the host tests replay it).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KURUN_ROOT"
seconds="${1:-${FUZZ_SECONDS:-60}}"

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null || { echo "fuzz: build failed"; exit 1; }

# Seeds from the real files: pictures, layouts, the packed layouts, and the outlines and
# image lists stored in the layouts.
seeds=build/fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{rgndata,imagelist,zip}
cp build/fuzz/layouts.zip "$seeds/zip/"
python3 - "$seeds" assets/layouts/*.layout <<'PY'
import re, sys
out, layouts = sys.argv[1], sys.argv[2:]
for path in layouts:
    text = open(path, encoding="utf-8").read()
    for i, (name, hexdigits) in enumerate(re.findall(r"(\w[\w.]*) = \{([0-9A-Fa-f\s]*)\}", text)):
        data = bytes.fromhex("".join(hexdigits.split()))
        kind = "rgndata" if name == "RgnData" else "imagelist" if data[:2] == b"IL" else None
        if kind:
            open(f"{out}/{kind}/{path.split('/')[-1]}-{i}.bin", "wb").write(data)
PY

declare -A from_assets=([bitmap]=assets/pictures [layout]=assets/layouts)
targets=(bitmap rgndata layout zip imagelist number settings_text)
findings_total=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t findings=build/fuzz/findings/$t
  mkdir -p "$corpus" "$findings"
  dirs=("$corpus" tests/fuzz/seeds/$t)
  [[ -d $seeds/$t ]] && dirs+=("$seeds/$t")
  [[ -n ${from_assets[$t]:-} ]] && dirs+=("${from_assets[$t]}")
  [[ -d tests/fuzz/regressions/$t ]] && dirs+=(tests/fuzz/regressions/$t)
  before=$(ls "$findings" | wc -l)
  log=build/fuzz/$t.log
  # Inputs up to 1 MB; an input taking over 5 s or 512 MB is a finding.
  build/fuzz/fuzz_$t -max_total_time="$seconds" -max_len=1048576 -timeout=5 -rss_limit_mb=512 \
    -malloc_limit_mb=512 -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" >"$log" 2>&1
  rc=$?
  found=$(( $(ls "$findings" | wc -l) - before ))
  (( rc != 0 && found == 0 )) && found=1
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 | awk '{print $2 " edges, " $4 " features"}')
  slowest=$(awk '/stat::slowest_unit_time_sec/ {print $2}' "$log")
  rss=$(awk '/stat::peak_rss_mb/ {print $2}' "$log")
  printf 'fuzz %-14s %9s inputs in %ss, coverage %s, slowest input %ss, peak %s MB, findings %d\n' \
    "$t" "${runs:-?}" "$seconds" "${cov:-?}" "${slowest:-?}" "${rss:-?}" "$found"
  (( found )) && { echo "fuzz $t: see $log and $findings/"; grep -m5 -E 'ERROR|FuzzCheckFailed|what\(\)' "$log"; }
  findings_total=$(( findings_total + found ))
done
echo "fuzz: ${#targets[@]} targets, $findings_total findings"
(( findings_total == 0 ))
