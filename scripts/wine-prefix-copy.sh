#!/usr/bin/env bash
# Prints the path of a copy of the private Wine prefix that differs in one setting, made once
# (and again when the private prefix is made anew):
#   bash scripts/wine-prefix-copy.sh 192dpi   # build/wine-prefix-192dpi: the screen has 192 dpi
#                                             # (Wine reads LogPixels when a process starts)
#   bash scripts/wine-prefix-copy.sh desktop  # build/wine-prefix-desktop: without Managed=N, so
#                                             # Wine hands windows to a window manager as on a
#                                             # Linux desktop
#   bash scripts/wine-prefix-copy.sh browser  # build/wine-prefix-browser: the shell opens http and
#                                             # https addresses with a stand-in browser that
#                                             # writes each one to C:\opened-address.txt
set -euo pipefail
kind="${1:?usage: wine-prefix-copy.sh <DPI>dpi | desktop | browser}"
if [[ $kind =~ ^([0-9]+)dpi$ ]]; then
  dpi="${BASH_REMATCH[1]}"
  (( dpi >= 48 && dpi <= 960 )) || { echo "wine-prefix-copy: bad DPI $dpi" >&2; exit 2; }
elif [[ $kind != desktop && $kind != browser ]]; then
  echo "wine-prefix-copy: unknown copy $kind" >&2
  exit 2
fi
unset KURUN_WINEPREFIX
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$KURUN_ROOT/scripts/wine-prefix.sh"
base="$WINEPREFIX"
copy="$base-$kind"
stamp="$copy/.kurun-copy"

change_settings() {
  if [[ $kind == browser ]]; then
    # Wine's shell reads the command for an address from HKCR\<scheme>\shell\open\command.
    printf '@echo %%~1> C:\\opened-address.txt\r\n' >"$copy/drive_c/open-address.bat"
    for scheme in http https; do
      wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /f \
        /d 'C:\windows\system32\cmd.exe /c C:\open-address.bat "%1"' >/dev/null 2>&1
    done
    wineserver -w
    grep -q 'open-address.bat' "$copy/system.reg" || { echo "wine-prefix-copy: no stand-in browser in $copy" >&2; exit 1; }
  elif [[ $kind == desktop ]]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
    wineserver -w
    ! grep -q '"Managed"="N"' "$copy/user.reg" || { echo "wine-prefix-copy: Managed=N stayed in $copy" >&2; exit 1; }
  else
    # Both places Wine reads the density from, as the display settings write them.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
      /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
  fi
}

if [[ ! -f $stamp || $(<"$stamp") != "$kind $(<"$base/.kurun-ready")" ]]; then
  exec 9>"$copy.lock"
  flock 9
  if [[ ! -f $stamp || $(<"$stamp") != "$kind $(<"$base/.kurun-ready")" ]]; then
    echo "wine-prefix-copy: making $copy (once)" >&2
    # A prefix in use may be writing its registry: the copy waits for it to go quiet.
    WINEPREFIX="$base" timeout 60 wineserver -w || true
    rm -rf "$copy"
    cp -a "$base" "$copy"
    export WINEPREFIX="$copy"
    unset DISPLAY
    change_settings
    echo "$kind $(<"$base/.kurun-ready")" >"$stamp"
  fi
fi
echo "$copy"
