#!/usr/bin/env bash
# Makes the private Wine prefix once: boot, then our registry settings, verified. Safe to call in
# parallel. Changing the settings below bumps `settings`, which re-applies them to an existing
# prefix without booting it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

settings=5
stamp="$WINEPREFIX/.kurun-ready"
[[ -f $stamp && $(<"$stamp") == "$settings" ]] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
# Parallel ctest runs all call wine-run.sh: only one may build the prefix.
exec 9>"$WINEPREFIX.lock"
flock 9
[[ -f $stamp && $(<"$stamp") == "$settings" ]] && exit 0

# No window is needed here; an unreachable display would only slow Wine down.
unset DISPLAY
booted="$WINEPREFIX/.kurun-booted"
if [[ ! -f $booted ]]; then
  echo "wine-prefix: preparing $WINEPREFIX (once)" >&2
  # A half-made prefix from an interrupted run is not trusted.
  rm -rf "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  [[ -f $WINEPREFIX/system.reg ]] || { echo "wine-prefix: wineboot made no prefix" >&2; exit 1; }
  touch "$booted"
fi

# - The layouts ask for the MS Gothic faces; IPA Gothic has the metrics and the Japanese glyphs.
# - The system's menus, tooltips, message boxes and window captions are drawn in IPA P Gothic:
#   Wine's own fonts for them have no Japanese glyphs. (A font link would not last: Wine rewrites its links whenever a program runs
#   in another code page, as the settings file tests do.)
# - Windows are left unmanaged: with no window manager on the display, hiding or closing a
#   managed window waits two seconds for one to answer.
# The .reg file is UTF-16LE so the face names survive whatever the locale is.
reg="$WINEPREFIX/kurun.reg"
# A LOGFONTW: height -11, weight 400, variable pitch, Swiss, face "IPAPGothic".
face="$(printf IPAPGothic | iconv -f ASCII -t UTF-16LE | od -An -tx1 | tr -d ' \n')"
menu_font="$(printf 'F5FFFFFF000000000000000000000000900100000000000000000022%s%0*d' "$face" $((128 - ${#face})) 0)"
printf '%s\r\n' \
  'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
  '"ＭＳ Ｐゴシック"="IPAPGothic"' \
  '"ＭＳ ゴシック"="IPAGothic"' \
  '"MS PGothic"="IPAPGothic"' \
  '"MS Gothic"="IPAGothic"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
  '"Managed"="N"' '' |
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
wine regedit /S "$reg" >/dev/null 2>&1 || true
metrics='HKCU\Control Panel\Desktop\WindowMetrics'
for font in MenuFont StatusFont MessageFont CaptionFont; do
  wine reg add "$metrics" /v "$font" /t REG_BINARY /d "$menu_font" /f >/dev/null 2>&1 || true
done
wineserver -w

# Check the values through Wine, and the exact face names in the saved hive, where Wine writes
# non-ASCII characters as \x escapes.
query="$(wine reg query 'HKCU\Software\Wine\Fonts\Replacements' 2>/dev/null | tr -d '\r')" || true
fonts="$(wine reg query "$metrics" 2>/dev/null | tr -d '\r')" || true
managed="$(wine reg query 'HKCU\Software\Wine\X11 Driver' /v Managed 2>/dev/null | tr -d '\r')" || true
wineserver -w
ok=1
grep -q 'IPAPGothic' <<<"$query" || ok=0
grep -q 'IPAGothic' <<<"$query" || ok=0
grep -qE 'Managed +REG_SZ +N$' <<<"$managed" || ok=0
for font in MenuFont StatusFont MessageFont CaptionFont; do
  grep -qiE "^ +$font +REG_BINARY +$menu_font\$" <<<"$fonts" || ok=0
done
# "ＭＳ Ｐゴシック" and "ＭＳ ゴシック" as Wine stores them.
grep -qF '"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af"="IPAPGothic"' "$WINEPREFIX/user.reg" || ok=0
grep -qF '"\xff2d\xff33 \x30b4\x30b7\x30c3\x30af"="IPAGothic"' "$WINEPREFIX/user.reg" || ok=0
if (( ! ok )); then
  echo "wine-prefix: the settings did not reach the registry of $WINEPREFIX" >&2
  exit 1
fi
echo "$settings" >"$stamp"
echo "wine-prefix: ready" >&2
