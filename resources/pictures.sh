#!/usr/bin/env bash
# Draws the program's own pictures into resources/data/pictures/ and the program icon
# resources/program.ico. The look: a soft blue title bar and buttons on white windows,
# silver page selectors, white captions in WenQuanYi Micro Hei. Run it after changing a
# picture and commit the outputs; the build only embeds the files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/data/pictures"
mkdir -p "$out"
im=/usr/bin/convert  # the real ImageMagick; a `convert` on PATH may be something else
font=WenQuanYi-Micro-Hei
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# PNGs keep their alpha; dates are left out so rerunning gives identical bytes.
save_png() { "$im" "$1" -strip -define png:exclude-chunks=date,time "PNG32:$2"; }

# Title bar: a vertical blue gradient with a soft highlight along the top. The picture is
# uniform from left to right, so it reads the same whether a box shows its top-left corner
# or stretches it over a wider bar.
"$im" -size 430x184 gradient:'#6fb1f2'-'#2c6cc4' \
  \( -size 430x60 gradient:'rgba(255,255,255,0.28)'-'rgba(255,255,255,0)' \) -geometry +0+0 -composite \
  -fill 'rgba(255,255,255,0.35)' -draw 'rectangle 0,0 429,0' \
  -strip -quality 92 -sampling-factor 4:4:4 "$out/title_bar.jpg"

# Host background: silver-blue with two faint rings.
"$im" -size 330x220 gradient:'#eef4fb'-'#c9dbef' \
  -fill none -stroke 'rgba(255,255,255,0.7)' -strokewidth 10 -draw 'circle 270,40 340,60' \
  -stroke 'rgba(90,150,220,0.18)' -strokewidth 6 -draw 'circle 60,190 130,230' \
  -strip -quality 90 "$out/host_background.jpg"

# Title-bar buttons, 30 x 30, drawn over the blue bar: a white glyph, a coloured square on hover.
glyph_close="stroke-linecap round line 10,10 20,20 line 20,10 10,20"
close_button() {  # $1 background, $2 file
  "$im" -size 30x30 xc:none -fill "$1" -stroke none -draw 'rectangle 0,0 29,29' \
    -fill none -stroke white -strokewidth 2 -draw "$glyph_close" "$tmp/b.png"
  save_png "$tmp/b.png" "$out/$2"
}
close_button none close_normal.png
close_button '#e5484d' close_hover.png
close_button '#b8323a' close_pressed.png
minimize_button() {
  "$im" -size 30x30 xc:none -fill "$1" -stroke none -draw 'rectangle 0,0 29,29' \
    -fill none -stroke white -strokewidth 2 -draw 'line 10,16 20,16' "$tmp/b.png"
  save_png "$tmp/b.png" "$out/$2"
}
minimize_button none minimize_normal.png
minimize_button 'rgba(255,255,255,0.28)' minimize_hover.png

# The program's mark: a white rounded square holding a blue five-pointed star. Drawn large
# once and scaled down, for the title-bar icon and every size of program.ico.
star_points() {  # $1 size: a star centred in the square, slightly below the middle
  awk -v s="$1" 'BEGIN { pi = atan2(0, -1); cx = s / 2; cy = s * 0.53; R = s * 0.36; r = R * 0.42;
    for (i = 0; i < 10; i++) { a = -pi / 2 + i * pi / 5; rad = (i % 2) ? r : R;
      printf "%.1f,%.1f ", cx + rad * cos(a), cy + rad * sin(a) } }'
}
"$im" -size 256x256 xc:none \
  -fill '#ffffff' -stroke '#9cc3ee' -strokewidth 6 -draw 'roundrectangle 8,8 247,247 52,52' \
  \( -size 256x256 gradient:'#5aa2ee'-'#2a63bb' \) \
  \( -size 256x256 xc:black -fill white -draw "polygon $(star_points 256)" \) \
  -compose over -composite "$tmp/mark.png"
"$im" "$tmp/mark.png" -resize 25x25 "$tmp/icon.png"
save_png "$tmp/icon.png" "$out/icon.png"
for s in 16 24 32 48 64 256; do "$im" "$tmp/mark.png" -resize ${s}x${s} "PNG32:$tmp/ico_$s.png"; done
"$im" "$tmp"/ico_{16,24,32,48,64,256}.png "$here/program.ico"

# Image push buttons: a rounded blue pill with a white caption; hover is lighter and glows.
push_button() {  # $1 width, $2 height, $3 caption, $4 point size, $5 top, $6 bottom, $7 file
  local w=$1 h=$2 r=$(( $2 / 2 < 8 ? $2 / 2 : 8 ))
  "$im" -size ${w}x${h} xc:none \
    \( -size ${w}x${h} gradient:"$5"-"$6" \) \
    \( -size ${w}x${h} xc:black -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
    -compose over -composite -compose over \
    -fill none -stroke 'rgba(255,255,255,0.45)' -strokewidth 1 \
    -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) $((r - 1)),$((r - 1))" \
    -stroke none -fill white -font "$font" -pointsize "$4" -gravity center -annotate +0+0 "$3" \
    "$tmp/b.png"
  save_png "$tmp/b.png" "$out/$7"
}
push_button 98 40 "搜上次路径" 14 '#64a8f0' '#2f6fc6' button_search_last.png
push_button 98 40 "搜上次路径" 14 '#86bdf6' '#3f82da' button_search_last_hover.png
push_button 98 40 "选择目录" 14 '#5cb8e6' '#2b7fb8' button_choose_dir.png
push_button 98 40 "选择目录" 14 '#80cbef' '#3a93cc' button_choose_dir_hover.png
push_button 54 26 "修改" 12 '#64a8f0' '#2f6fc6' button_small.png
push_button 54 26 "修改" 12 '#86bdf6' '#3f82da' button_small_hover.png
push_button 86 41 "保存" 16 '#3fbf8f' '#1f8a64' button_save.png
push_button 86 41 "保存" 16 '#5fd6a8' '#27a277' button_save_hover.png

# Page selectors: 130 x 60 pictures shown in 120 x 50 boxes, so the tab itself lies in the
# top-left 120 x 50 and the rest is transparent: it looks whole whether the box shows the
# picture at natural size or scales it down.
page_tab() {  # $1 caption, $2 file, $3 caption width in pixels
  "$im" -size 130x48 xc:none \
    \( -size 130x48 gradient:'#ffffff'-'#d5e3f3' \) \
    \( -size 130x48 xc:black -fill white -draw 'roundrectangle 2,4 117,70 10,10' \) \
    -compose over -composite \
    -fill none -stroke '#8fb4de' -strokewidth 1 -draw 'roundrectangle 2,4 117,70 10,10' \
    -fill '#4a8ad8' -stroke none -draw 'rectangle 3,45 116,47' \
    -fill '#1f4f8f' -font "$font" -pointsize 17 -gravity northwest -annotate +$((60 - $3 / 2))+13 "$1" \
    -background none -extent 130x60 "$tmp/b.png"
  save_png "$tmp/b.png" "$out/$2"
}
tab() { page_tab "$1" "$3" $(( $2 * 17 )); }  # $2: characters in the caption
tab "服饰" 2 tab_costume.png
tab "个人信息" 4 tab_profile.png
tab "插件" 2 tab_plugins.png
tab "舞团家族" 4 tab_guild.png

# Slot markers, 16 x 16 GIFs on the white page: grey ring at design time, a green disc with
# a check when the person wears something in the slot, an orange disc with a cross when not.
slot() {  # $1 fill, $2 glyph draw, $3 file
  "$im" -size 64x64 xc:white -fill "$1" -stroke none -draw 'circle 32,32 32,3' \
    -fill none -stroke white -strokewidth 7 -draw "stroke-linecap round stroke-linejoin round $2" \
    -resize 16x16 -colors 32 "$out/$3"
}
"$im" -size 64x64 xc:white -fill none -stroke '#a9b7c6' -strokewidth 6 -draw 'circle 32,32 32,6' \
  -fill '#a9b7c6' -stroke none -draw 'circle 32,32 32,24' -resize 16x16 -colors 32 "$out/slot_design.gif"
slot '#2fa35a' 'polyline 18,33 28,43 46,22' slot_present.gif
slot '#ef7d22' 'line 21,21 43,43 line 43,21 21,43' slot_absent.gif

echo "pictures written to $out"
