#!/usr/bin/env bash
# Runs every test: the host tests natively, then the Windows preset's tests (unit tests under
# Wine, end-to-end tests driving kurun.exe) on a display. Fails when anything fails.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KURUN_ROOT"

log="$(mktemp)"
trap 'rm -f "$log"' EXIT

ctest --preset host 2>&1 | tee -a "$log"
host_rc=${PIPESTATUS[0]}

# One display for the whole Windows run; xvfb.sh stops it however ctest ends.
bash scripts/xvfb.sh ctest --preset windows 2>&1 | tee -a "$log"
windows_rc=${PIPESTATUS[0]}

# Each fuzz target for a short while: a reader that now crashes on some input fails the run.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}" 2>&1 | tee -a "$log"
fuzz_rc=${PIPESTATUS[0]}

# One closing line over all runs.
read -r passed failed < <(awk '
  /tests passed, [0-9]+ tests? failed out of [0-9]+/ {
    for (i = 1; i <= NF; i++) if ($i == "out" && $(i+1) == "of") total += $(i+2)
    for (i = 1; i <= NF; i++) if ($i ~ /^failed$/) bad += $(i-2)
  }
  END { print total - bad + 0, bad + 0 }' "$log")
echo
findings=$(awk '/^fuzz: [0-9]+ targets, [0-9]+ findings/ {print $4}' "$log")
echo "host: ctest exit $host_rc, windows: ctest exit $windows_rc, fuzz: exit $fuzz_rc"
echo "tests: $passed passed, $failed failed; fuzz findings: ${findings:-build failed}"
(( host_rc == 0 && windows_rc == 0 && fuzz_rc == 0 ))
