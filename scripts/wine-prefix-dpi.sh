#!/usr/bin/env bash
# Prints the path of a copy of the private Wine prefix whose screen has DPI dots per inch
# (build/wine-prefix-<DPI>dpi), made once: Wine reads LogPixels when a process starts.
#   bash scripts/wine-prefix-dpi.sh 192
set -euo pipefail
dpi="${1:?usage: wine-prefix-dpi.sh DPI}"
[[ $dpi =~ ^[0-9]+$ ]] && (( dpi >= 48 && dpi <= 960 )) || { echo "wine-prefix-dpi: bad DPI $dpi" >&2; exit 2; }
unset KURUN_WINEPREFIX
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$KURUN_ROOT/scripts/wine-prefix.sh"
base="$WINEPREFIX"
copy="$base-${dpi}dpi"
stamp="$copy/.kurun-dpi"
if [[ ! -f $stamp || $(<"$stamp") != "$dpi $(<"$base/.kurun-ready")" ]]; then
  exec 9>"$copy.lock"
  flock 9
  if [[ ! -f $stamp || $(<"$stamp") != "$dpi $(<"$base/.kurun-ready")" ]]; then
    echo "wine-prefix-dpi: making $copy (once)" >&2
    # A prefix in use may be writing its registry: the copy waits for it to go quiet.
    WINEPREFIX="$base" timeout 60 wineserver -w || true
    rm -rf "$copy"
    cp -a "$base" "$copy"
    export WINEPREFIX="$copy"
    unset DISPLAY
    # Both places Wine reads the density from, as the display settings write them.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
      /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    echo "$dpi $(<"$base/.kurun-ready")" >"$stamp"
  fi
fi
echo "$copy"
