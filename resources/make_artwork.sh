#!/bin/sh
# Regenerates the stub's pictures and icon. The outputs are committed, so the
# build never runs this; rerun it by hand after changing the artwork.
# Needs ImageMagick 6 (`convert`) and the DejaVu fonts.
set -eu

cd "$(dirname "$0")"
FONTS=${FONTS:-/usr/share/fonts/truetype/dejavu}
SERIF="$FONTS/DejaVuSerif.ttf"
SERIF_BOLD="$FONTS/DejaVuSerif-Bold.ttf"
SANS="$FONTS/DejaVuSans.ttf"

# One palette for everything, so the window and the icon read as one product.
NAVY='#16355c'
TEAL='#2a8aa8'
ACCENT='#2a6f9e'
INK='#1f4a72'

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Small, plain JPEGs: baseline, no metadata, 4:2:0 chroma (the pictures are
# drawn into the window by the system's JPEG decoder, which must not be asked
# for progressive scans).
jpeg() {
    convert "$1" -strip -interlace none -sampling-factor 2x2 -quality "$quality" "$2"
}

# Each picture at its size in the window at 96 dots per inch (scale 1) and
# at twice that size (scale 2, "@2x"), which the window shows above 96 dots
# per inch. S is the scale; sfx the file name's suffix. The larger pictures
# are shown reduced below 192 dots per inch, which hides what a lower JPEG
# quality and fewer colours lose, and keeps the stub small.
scale() {
    S=$1
    if [ "$S" = 1 ]; then sfx= quality=85 colors=64; else sfx="@${S}x" quality=40 colors=16; fi
}
# The centre line of pixel row $1 at scale S, so that a 1-pixel rule stays on
# its row and grows to S rows.
mid() { awk -v r="$1" -v s="$S" 'BEGIN { print s * (r + 0.5) }'; }

# Side panel, 132 x 250: a calm diagonal gradient, a large faint letter cut
# off at the bottom, and a type specimen "Aa" sitting on its guide lines
# (cap height, x-height, baseline).
side() {
    w=$((132 * S)) h=$((250 * S))
    convert -size ${w}x${h} xc: -sparse-color Barycentric "0,0 $NAVY $((w - 1)),$((h - 1)) $TEAL" \
        -font "$SERIF_BOLD" -pointsize $((230 * S)) -fill 'rgba(255,255,255,0.09)' \
        -annotate "+$((-6 * S))+$((272 * S))" 'A' \
        -stroke 'rgba(255,255,255,0.18)' -strokewidth "$S" \
        -draw "line $((12 * S)),$(mid 59) $((121 * S - 1)),$(mid 59)" \
        -draw "line $((12 * S)),$(mid 70) $((121 * S - 1)),$(mid 70)" \
        -stroke 'rgba(255,255,255,0.35)' \
        -draw "line $((12 * S)),$(mid 96) $((121 * S - 1)),$(mid 96)" \
        -stroke none -font "$SERIF" -pointsize $((50 * S)) -fill white \
        -annotate "+$((16 * S))+$((96 * S))" 'Aa' \
        -fill 'rgba(255,255,255,0.12)' -draw "rectangle $((131 * S)),0 $((w - 1)),$((h - 1))" \
        "$TMP/side.png"
    jpeg "$TMP/side.png" "side$sfx.jpg"
}

# Banner, 309 x 38: nearly white so it sits quietly above the white pages,
# with an accent rule at the bottom and faint specimen letters on the right.
banner() {
    w=$((309 * S)) h=$((38 * S))
    convert -size ${w}x${h} xc: \
        -sparse-color Barycentric "0,0 #ffffff $((w - 1)),0 #e6eef6 $((w - 1)),$((h - 1)) #dde8f2" \
        -fill "$ACCENT" -draw "rectangle 0,$((36 * S)) $((w - 1)),$((h - 1))" \
        -font "$SERIF" -pointsize $((34 * S)) -fill 'rgba(42,111,158,0.10)' \
        -annotate "+$((196 * S))+$((34 * S))" 'Aa Bb' \
        -font "$SANS" -pointsize $((14 * S)) -fill "$INK" \
        -annotate "+$((12 * S))+$((24 * S))" 'Font installation' \
        "$TMP/banner.png"
    jpeg "$TMP/banner.png" "banner$sfx.jpg"
}

# Step marks, 32 x 32 on white (the pages are white; GIF transparency would
# leave jagged edges). Drawn at 128 x 128 and reduced for smooth edges.
marks() {
    convert -size 128x128 xc:white \
        -fill '#2f9e55' -stroke '#26864a' -strokewidth 3 -draw 'circle 64,64 64,12' \
        -stroke white -strokewidth 13 -fill none \
        -draw 'stroke-linecap round stroke-linejoin round polyline 39,66 57,84 90,47' \
        -resize $((32 * S))x$((32 * S)) "$TMP/pass.png"
    convert -size 128x128 xc:white \
        -fill '#d9443c' -stroke '#bb3730' -strokewidth 3 -draw 'circle 64,64 64,12' \
        -stroke white -strokewidth 13 -fill none \
        -draw 'stroke-linecap round line 46,46 82,82' -draw 'stroke-linecap round line 82,46 46,82' \
        -resize $((32 * S))x$((32 * S)) "$TMP/fail.png"
    for m in pass fail; do
        convert "$TMP/$m.png" -strip -dither None -colors "$colors" "$m$sfx.gif"
    done
}

for s in 1 2; do
    scale "$s"
    side
    banner
    marks
done

# Icon tile: rounded square in the panel's gradient with white lettering.
# Rendered at 8x and reduced; the icon's mask is 1-bit, so alpha is cut at
# half afterwards.
tile() { # size text font pointsize-at-8x radius-at-8x yshift-at-8x
    big=$(($1 * 8))
    convert -size "${big}x${big}" xc: \
        -sparse-color Barycentric "0,0 $NAVY $((big - 1)),$((big - 1)) $TEAL" \
        \( -size "${big}x${big}" xc:black -fill white \
           -draw "roundrectangle 0,0 $((big - 1)),$((big - 1)) $5,$5" \) \
        -alpha off -compose CopyOpacity -composite -compose Over \
        -font "$3" -pointsize "$4" -fill white -gravity center -annotate "+0+$6" "$2" \
        -filter box -resize "$1x$1" "$TMP/icon$1.png"
}
tile 48 Aa "$SERIF_BOLD" 215 64 4
tile 32 Aa "$SERIF_BOLD" 148 44 4

# At 16 pixels a rendered glyph turns to mush, so the "A" is drawn pixel by
# pixel, with half-tone pixels on the diagonal steps.
HALF='rgba(255,255,255,0.45)'
convert -size 128x128 xc: -sparse-color Barycentric "0,0 $NAVY 127,127 $TEAL" \
    -filter box -resize 16x16 \
    -fill white \
    -draw 'rectangle 6,3 9,4' -draw 'rectangle 5,5 6,6' -draw 'rectangle 9,5 10,6' \
    -draw 'rectangle 4,7 5,7' -draw 'rectangle 10,7 11,7' -draw 'rectangle 4,8 11,8' \
    -draw 'rectangle 4,9 5,9' -draw 'rectangle 10,9 11,9' \
    -draw 'rectangle 3,10 4,12' -draw 'rectangle 11,10 12,12' \
    -fill "$HALF" \
    -draw 'point 5,4' -draw 'point 10,4' -draw 'point 4,6' -draw 'point 11,6' \
    -draw 'point 3,9' -draw 'point 12,9' -draw 'point 7,5' -draw 'point 8,5' \
    -draw 'point 6,7' -draw 'point 9,7' -draw 'point 5,10' -draw 'point 10,10' \
    -alpha set -fill none -draw 'color 0,0 point' -draw 'color 15,0 point' \
    -draw 'color 0,15 point' -draw 'color 15,15 point' \
    "$TMP/icon16.png"

# Three 256-colour images (8-bit palette BMPs inside the ICO, as older
# shells expect), largest first. Quantised in the same command that writes
# the ICO: read back from a file, the pictures would be written as 32-bit.
convert \( "$TMP/icon48.png" "$TMP/icon32.png" "$TMP/icon16.png" \) \
    -channel A -threshold 50% +channel -dither None -colors 255 sorvela.ico

# The writer falls back to 4 or 32 bits on its own; refuse anything but
# three 8-bit images of the expected sizes.
python3 - sorvela.ico <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
count = struct.unpack_from('<H', data, 4)[0]
sizes = []
for i in range(count):
    w, h, _, _, _, _, _, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
    bits = struct.unpack_from('<H', data, off + 14)[0]
    if bits != 8:
        sys.exit('icon image %dx%d has %d bits per pixel' % (w, h, bits))
    sizes.append(w)
if sizes != [48, 32, 16]:
    sys.exit('icon sizes %s' % sizes)
EOF
