#!/bin/sh
# Regenerates the stub's icon (the window's pictures are drawn at run time
# in the same palette). The outputs are committed, so the
# build never runs this; rerun it by hand after changing the artwork.
# Needs ImageMagick 6 (`convert`) and the DejaVu fonts.
set -eu

cd "$(dirname "$0")"
FONTS=${FONTS:-/usr/share/fonts/truetype/dejavu}
SERIF_BOLD="$FONTS/DejaVuSerif-Bold.ttf"

# One palette for everything, so the window and the icon read as one product.
NAVY='#16355c'
TEAL='#2a8aa8'

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

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
    -channel A -threshold 50% +channel -dither None -colors 64 sorvela.ico

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
# Each image keeps only the palette entries it uses.
./trim_icon.py sorvela.ico
