#!/usr/bin/env bash
# Builds both presets: host (tools, host tests) and Windows (kurun.exe, tests run under Wine).
# With "host" only the host preset.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KURUN_ROOT"

cmake --preset host >/dev/null
cmake --build --preset host
[[ ${1:-} == host ]] && exit 0
cmake --preset windows >/dev/null
cmake --build --preset windows
