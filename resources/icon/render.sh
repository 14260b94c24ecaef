#!/bin/sh
# Renders the icon drawings in src/*.svg to the PNGs beside this script
# (needs rsvg-convert from librsvg2-bin). Commit the PNGs together with the sources.
#
#   ./render.sh                 render every icon
#   ./render.sh --sheet OUT.png also write a contact sheet (needs ImageMagick): every
#                               icon at the size it is shown, on the background it
#                               sits on, on white and on the dark panel colour
set -eu
cd "$(dirname "$0")"

# name:size in pixels. Icons in style sheets and tool buttons are scaled down by Qt
# to fit their label, never up, so they are drawn at the shown size or twice it.
# Pixmaps of the multimeter panel are shown unscaled in a 61 x 41 label.
ICONS="
setting:52 view:52 help:52 record:52 recordStop:52 history:52
freeze:42 buzzer:42 altaPressione:42
dc:42 ac:42 Ω:42 hz:42 diode:42 f:42
v:40 a:40 w:40 settingTemp:40 realTemp:40 airgun:40
dc_white:40 resistance:40 diode_white:40 f_white:40 hz_white:40
v_yellow:62 A_blue:62 w_green:62 temp_yellow:62 settingTemp_blue:62 speed:62
app:128
"

for entry in $ICONS; do
    name=${entry%:*}
    size=${entry#*:}
    rsvg-convert -w "$size" -h "$size" -o "$name.png" "src/$name.svg"
done

[ "${1:-}" = "--sheet" ] || exit 0
out=$(realpath -m "${2:?output file}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# name:shown size:background where the program shows it
PLACES="
setting:23:white view:23:white help:23:white record:23:white recordStop:23:white history:23:white
freeze:21:#ddbbc1 diode:21:#ddbbc1 buzzer:21:#ddbbc1 altaPressione:21:#ddbbc1
dc:51:#ddbbc1 ac:51:#ddbbc1 Ω:51:#ddbbc1 hz:51:#ddbbc1 diode:51:#ddbbc1 f:51:#ddbbc1
v:41:#cfcad9 a:41:#cfcad9 w:41:#cfcad9
settingTemp:41:#bdd8d7 realTemp:41:#bdd8d7
settingTemp:41:#d3d9bc realTemp:41:#d3d9bc airgun:41:#d3d9bc
dc_white:41:#1e1e1e resistance:41:#1e1e1e diode_white:41:#1e1e1e f_white:41:#1e1e1e
hz_white:41:#1e1e1e
dc_white:24:#1e1e1e resistance:24:#1e1e1e diode_white:24:#1e1e1e f_white:24:#1e1e1e
hz_white:24:#1e1e1e
v_yellow:31:#1e1e1e A_blue:31:#1e1e1e w_green:31:#1e1e1e temp_yellow:31:#1e1e1e
settingTemp_blue:31:#1e1e1e speed:31:#1e1e1e
app:101:white
"
i=0
mkdir "$tmp/small" "$tmp/large"
for entry in $PLACES; do
    name=${entry%%:*}
    rest=${entry#*:}
    size=${rest%%:*}
    bg=${rest#*:}
    i=$((i + 1))
    tile=64
    dir=small
    if [ "$size" -gt 60 ]; then
        tile=$((size + 4))
        dir=large
    fi
    for pair in "1:$bg" "2:white" "3:#1e1e1e"; do
        # Shrink only, as Qt does; smaller icons are shown at their own size.
        convert -size "${tile}x${tile}" "xc:${pair#*:}" \( "$name.png" -resize "${size}x${size}>" \) \
            -gravity center -composite "$tmp/$dir/$(printf %03d "$i")_${pair%%:*}.png"
    done
done
# Each icon three times: where it is shown, on white, on the dark panel colour.
montage "$tmp"/small/*.png -tile 12x -geometry +2+2 -background '#808080' "$tmp/small.png"
montage "$tmp"/large/*.png -tile x1 -geometry +2+2 -background '#808080' "$tmp/large.png"
convert "$tmp/small.png" "$tmp/large.png" -background '#808080' -append "$out"
