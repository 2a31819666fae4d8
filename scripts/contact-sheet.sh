#!/bin/sh
# Contact sheet of every picture (4x, neutral background) and the settings window composite.
#   scripts/contact-sheet.sh [assets-dir] [output-dir]
# Writes <output-dir>/contact-sheet.png and <output-dir>/settings-composite.png
# (defaults: assets/ and build/artwork/ of this checkout).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
assets=${1:-$here/assets}
out=${2:-$here/build/artwork}
pics=$assets/pictures
convert=${CONVERT:-convert}
bg="rgb(118,124,128)"
key="rgb(222,171,195)"
magenta="rgb(255,0,255)"
font=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
[ -f "$font" ] || font=DejaVu-Sans

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Adds a caption strip above a picture: titled <in> <out> <text>
titled() {
    "$convert" "$1" -background "$bg" -gravity north -splice 0x30 -font "$font" -pointsize 20 \
        -fill white -annotate +0+4 "$3" -gravity center -bordercolor "$bg" -border 10 +repage "$2"
}

# Each character: rows up, down, left, right; the walk cycle left to right.
for unit in Pelton Melka Rugo Fenwa; do
    rows=""
    for first in 1 5 9 13; do
        row=$work/$unit-$first.png
        set --
        for i in 0 1 2 3; do set -- "$@" "$pics/sprites/$unit/Rgn$((first + i)).bmp"; done
        "$convert" "$@" -transparent "$key" -background none -bordercolor none -border 2 +append +repage "$row"
        rows="$rows $row"
    done
    # shellcheck disable=SC2086
    "$convert" $rows -background none -append +repage -scale 400% -background "$bg" -flatten "$work/grid-$unit.png"
    titled "$work/grid-$unit.png" "$work/char-$unit.png" "$unit"
done
"$convert" "$work"/char-Pelton.png "$work"/char-Melka.png "$work"/char-Rugo.png "$work"/char-Fenwa.png \
    -background "$bg" +append +repage "$work/characters.png"

# Portraits: colour above grey, then the icons.
set --
for n in 1 2 3 4; do
    "$convert" "$pics/portraits/portrait$n.bmp" "$pics/portraits/portrait${n}_grey.bmp" \
        -bordercolor "$bg" -border 3 -append +repage -scale 400% "$work/portrait$n.png"
    set -- "$@" "$work/portrait$n.png"
done
"$convert" "$@" -background "$bg" +append +repage "$work/portraits-row.png"
titled "$work/portraits-row.png" "$work/portraits.png" "portraits"
"$convert" "$pics/icons/tray.ico" -background "$bg" -flatten -scale 400% "$work/tray.png"
titled "$work/tray.png" "$work/tray-t.png" "tray.ico"
set --
for i in 0 1 2; do
    "$convert" "$pics/icons/kurun.ico[$i]" -background "$bg" -flatten -scale 400% "$work/icon$i.png"
    set -- "$@" "$work/icon$i.png"
done
"$convert" "$@" -bordercolor "$bg" -border 8 -background "$bg" -gravity south +append +repage "$work/icons-row.png"
titled "$work/icons-row.png" "$work/icons.png" "kurun.ico"

# Title-strip buttons.
set --
for b in info next prev close; do set -- "$@" "$pics/settings/$b.bmp"; done
"$convert" "$@" -bordercolor "$bg" -border 3 -background "$bg" +append +repage -scale 400% "$work/buttons-row.png"
titled "$work/buttons-row.png" "$work/buttons.png" "buttons"
"$convert" "$work/portraits.png" "$work/tray-t.png" "$work/icons.png" "$work/buttons.png" \
    -background "$bg" -gravity north +append +repage "$work/small.png"

# Check-box strip, one line per quarter so the sheet stays readable.
set --
for q in 0 1 2 3; do
    "$convert" "$pics/checkbox.bmp" -crop 252x18+$((q * 252))+0 +repage -transparent "$magenta" \
        -background none -bordercolor none -border 0x2 -scale 400% "$work/strip$q.png"
    set -- "$@" "$work/strip$q.png"
done
"$convert" "$@" -background "$bg" -append +repage -flatten "$work/strip-rows.png"
titled "$work/strip-rows.png" "$work/strip.png" "checkbox.bmp (key shown as background)"

# The sample window's shaped buttons: a row each, its glyphs normal, pressed, disabled.
rows=""
for b in RgnBtn1 RgnBtn2 RgnBtn3 RgnBtn4; do
    "$convert" "$pics/buttons/$b".Glyph*.bmp -transparent "$magenta" -background none -bordercolor none \
        -border 2 +append +repage "$work/$b.png"
    rows="$rows $work/$b.png"
done
# shellcheck disable=SC2086
"$convert" $rows -background none -append +repage -scale 400% -background "$bg" -flatten "$work/shaped-rows.png"
titled "$work/shaped-rows.png" "$work/shaped.png" "shaped buttons (key shown as background)"

"$convert" "$pics/settings/skin.bmp" -scale 400% "$work/skin-big.png"
titled "$work/skin-big.png" "$work/skin.png" "skin.bmp"

"$convert" "$work/characters.png" "$work/small.png" "$work/strip.png" "$work/shaped.png" "$work/skin.png" \
    -background "$bg" -gravity northwest -append +repage -flatten "$out/contact-sheet.png"

# The settings window as it looks with row 1 selected: buttons, portraits, check boxes,
# edit boxes and sample labels (white with a dark shadow) where the window puts them.
comp=$work/composite.png
cp "$pics/settings/skin.bmp" "$work/skin.bmp"
"$convert" "$work/skin.bmp" "$comp"
# on <picture> <x> <y>: lays a picture onto the composite
on() { "$convert" "$comp" "$1" -geometry "+$2+$3" -composite "$comp"; }
# text <x> <y> <pointsize> <weight> <colour> <text>: white labels get their shadow first
text() {
    "$convert" "$comp" -gravity northwest -font "$font" -pointsize "$3" -weight "$4" -fill "$5" -annotate "+$1+$2" "$6" "$comp"
}
on "$pics/settings/info.bmp" 4 2
on "$pics/settings/next.bmp" 240 2
on "$pics/settings/prev.bmp" 270 2
on "$pics/settings/close.bmp" 306 2
"$convert" "$pics/checkbox.bmp" -crop 13x13+18+2 +repage -fill "rgb(240,240,240)" -opaque "$magenta" "$work/box.png"
r=0
for name in ﾐﾛｯﾄ ｸﾞﾗﾝﾃ ﾍﾟｲﾕ ﾄｩｰﾗ; do
    y0=$((34 + 72 * r))
    if [ $r -eq 0 ]; then p=portrait1.bmp; else p=portrait$((r + 1))_grey.bmp; fi
    boxy=$y0
    [ $r -ge 2 ] && boxy=$((y0 - 1))
    on "$pics/portraits/$p" 12 $((50 + 72 * r))
    on "$work/box.png" 12 $boxy
    "$convert" "$comp" -fill "rgb(40,40,40)" -draw "rectangle 107,$((y0 + 27)) 338,$((y0 + 44))" \
        -fill black -stroke "rgb(100,100,100)" -draw "rectangle 104,$((y0 + 24)) 335,$((y0 + 41))" "$comp"
    text 29 $((y0 + 1)) 12 bold "rgb(40,40,40)" "$name"
    text 28 $y0 12 bold white "$name"
    text 65 $((y0 + 28)) 12 normal "rgb(35,35,35)" "Launch!"
    text 64 $((y0 + 27)) 12 normal white "Launch!"
    [ $r -eq 0 ] && text 107 $((y0 + 27)) 11 normal white 'C:\\Users\\me\\Documents\\memo.txt'
    r=$((r + 1))
done
title="Launcher kurun! ～ルカタ編～"
footer="『キャラを選択して，立ち上げるファイルをドロップ♪』"
text 61 6 11 normal black "$title"
text 60 5 11 normal white "$title"
text 73 332 11 bold "rgb(40,40,40)" "$footer"
text 72 331 11 bold white "$footer"
cp "$comp" "$out/settings-composite.png"

echo "$out/contact-sheet.png"
echo "$out/settings-composite.png"
