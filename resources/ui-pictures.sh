#!/usr/bin/env bash
# Draws the skinned toolkit's pictures into resources/data/ui/ (committed; rerun after a
# change):
#   sprite.bin              729 x 20 caption-button sprite, a PNG stored without its 8-byte
#                           signature (see SysButtonSprite in ui/dui_sys_button.h for the layout)
#   msgbox_background.png   2 x 160 background strip of the message box (white, the design
#                           is in the alpha channel: soft top band, body, separator, button bar)
#   msgbox_icons.png        200 x 40: five 40 x 40 badges (hand, exclamation, question,
#                           asterisk, user)
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
out=data/ui
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# No time stamps or other metadata: the same script gives the same bytes.
png_opts=(-strip -define png:exclude-chunks=date,time)

# ---- caption-button sprite ----
# One cell a state: 0 normal (glyph only), 1 hover (light plate), 2 pressed (darker plate).
plate() {  # x w state [close]
  local x=$1 w=$2 state=$3 close=${4:-}
  local x2=$((x + w - 1))
  case "$state" in
    1) [ -n "$close" ] && echo "fill #E81123E0 rectangle $x,0 $x2,19" || echo "fill #FFFFFF50 rectangle $x,0 $x2,19" ;;
    2) [ -n "$close" ] && echo "fill #A80F1CF0 rectangle $x,0 $x2,19" || echo "fill #00000040 rectangle $x,0 $x2,19" ;;
  esac
}
glyph() {  # kind x w: white strokes centred in the cell
  local kind=$1 x=$2 w=$3
  local c=$((x + w / 2))
  case "$kind" in
    close)    echo "stroke #FFFFFFF0 stroke-width 1.6 line $((c-4)),6 $((c+4)),14 line $((c+4)),6 $((c-4)),14" ;;
    max)      echo "stroke #FFFFFFF0 stroke-width 1 fill none rectangle $((c-5)),5 $((c+4)),14 line $((c-5)),6 $((c+4)),6" ;;
    restore)  echo "stroke #FFFFFFF0 stroke-width 1 fill none rectangle $((c-5)),7 $((c+2)),14 polyline $((c-3)),7 $((c-3)),5 $((c+4)),5 $((c+4)),12 $((c+2)),12" ;;
    min)      echo "stroke #FFFFFFF0 stroke-width 2 line $((c-5)),13 $((c+4)),13" ;;
    menu)     echo "stroke none fill #FFFFFFF0 polygon $((c-5)),8 $((c+5)),8 $c,13" ;;
    skin)     echo "stroke #FFFFFFF0 stroke-width 1.2 fill none circle $c,10 $((c+5)),10 line $((c-5)),10 $((c+5)),10" ;;
    pin)      echo "stroke #FFFFFFF0 stroke-width 1.2 fill none polygon $c,4 $((c+5)),9 $c,14 $((c-5)),9 line $c,14 $c,17" ;;
    help)     echo "stroke #FFFFFFF0 stroke-width 1.4 fill none arc $((c-4)),4 $((c+4)),12 180,405 line $c,12 $c,13 point $c,16" ;;
  esac
}
draw=()
add() { while IFS= read -r line; do [ -n "$line" ] && draw+=(-draw "$line"); done; }
for s in 0 1 2; do
  x=$((s * 39))
  add < <(plate $x 39 $s close)
  add < <(glyph close $x 39)
done
base=117
for kind in max restore min menu skin pin help; do
  for s in 0 1 2; do
    x=$((base + s * 28))
    add < <(plate $x 28 $s)
    add < <(glyph $kind $x 28)
  done
  base=$((base + 84))
done
$IM -size 729x20 xc:none "${draw[@]}" "${png_opts[@]}" "PNG32:$tmp/sprite.png"
tail -c +9 "$tmp/sprite.png" > "$out/sprite.bin"

# ---- message box background strip ----
# The alpha profile, a row a value: a soft band rising from 58 at the top to 234, a body
# of 233..240, a bright row, a fine separator line (165) and the button bar (204).
awk 'function lerp(r, r0, a0, r1, a1) { return int(a0 + (a1 - a0) * (r - r0) / (r1 - r0) + 0.5) }
BEGIN {
  print "# ImageMagick pixel enumeration: 2,160,255,srgba"
  split("58 56 59 63 67", head, " ")
  for (r = 0; r < 160; r++) {
    if (r <= 4) a = head[r + 1]
    else if (r <= 40) a = lerp(r, 4, 67, 40, 211)
    else if (r <= 60) a = lerp(r, 40, 211, 60, 225)
    else if (r <= 96) a = (r >= 95) ? 234 : lerp(r, 60, 225, 95, 234)
    else if (r <= 128) a = 233 + (r * 5) % 8
    else if (r == 129) a = 250
    else if (r == 130) a = 165
    else a = 204
    g = (r % 3 == 0) ? 253 : 255; b = (r % 3 == 0) ? 254 : 255; red = (r % 3 == 0) ? 252 : 255
    for (x = 0; x < 2; x++) printf "%d,%d: (%d,%d,%d,%d)\n", x, r, red, g, b, a
  }
}' > "$tmp/strip.txt"
$IM "txt:$tmp/strip.txt" "${png_opts[@]}" "PNG32:$out/msgbox_background.png"

# ---- message box icons ----
badge() {  # column colour glyph-draw
  local x=$1 colour=$2
  echo "fill $colour stroke none circle $((x + 20)),20 $((x + 20)),2"
  echo "fill #FFFFFF30 stroke none ellipse $((x + 20)),12 13,7 0,360"
}
icons=()
addi() { while IFS= read -r line; do [ -n "$line" ] && icons+=(-draw "$line"); done; }
addi < <(badge 0 '#F0582F')
icons+=(-draw "stroke #FFFFFFF5 stroke-width 4 stroke-linecap round line 13,13 27,27 line 27,13 13,27")
addi < <(badge 40 '#F0582F')
icons+=(-draw "stroke #FFFFFFF5 stroke-width 4 stroke-linecap round line 60,9 60,23" -draw "fill #FFFFFFF5 stroke none circle 60,30 60,32")
addi < <(badge 80 '#4AA8E8')
icons+=(-fill '#FFFFFFF5' -stroke none -font "$FONT" -pointsize 26 -annotate +92+30 '?')
addi < <(badge 120 '#4AA8E8')
icons+=(-draw "fill #FFFFFFF5 stroke none circle 140,11 140,13.5" -draw "stroke #FFFFFFF5 stroke-width 4.5 stroke-linecap round line 140,19 140,30")
addi < <(badge 160 '#3DBE5A')
icons+=(-draw "fill #FFFFFFF5 stroke none circle 180,15 180,21" -draw "fill #FFFFFFF5 stroke none ellipse 180,32 10,7 180,360")
$IM -size 200x40 xc:none "${icons[@]}" "${png_opts[@]}" "PNG32:$out/msgbox_icons.png"
echo "wrote $out/sprite.bin $out/msgbox_background.png $out/msgbox_icons.png"
