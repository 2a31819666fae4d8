#!/usr/bin/env bash
# Starts a Windows program under Wine in the private prefix; CTest's emulator for the Windows build.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/env.sh"
[[ -f $WINEPREFIX/.kurun-ready ]] || bash "$here/wine-prefix.sh"
exec wine "$@"
