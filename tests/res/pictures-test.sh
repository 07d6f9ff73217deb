#!/bin/sh
# Renders every picture anew from the SVG drawings into the build tree and compares the result
# byte for byte with the bitmaps and the icon committed in res/: a drawing changed without
# rendering, or a bitmap edited by hand, fails here. A picture res/ holds that nothing renders
# any more fails too. Bytes can be compared because none of the tools writes a date or other
# run-dependent metadata (rsvg-convert's PNGs have no time chunk, ImageMagick writes BMP3 with
# -strip, icotool only packs).
#
#   pictures-test.sh SOURCE_DIR BUILD_DIR
set -eu

source=$1
out=$2/pictures
rm -rf "$out"
"$source/scripts/make-pictures" "$out"

status=0
for rendered in "$out"/*; do
    name=$(basename "$rendered")
    if ! cmp -s "$rendered" "$source/res/$name"; then
        echo "res/$name differs from its rendering ($rendered): run scripts/make-pictures" >&2
        status=1
    fi
done
for committed in "$source"/res/*.bmp "$source"/res/*.ico; do
    name=$(basename "$committed")
    [ -f "$out/$name" ] || { echo "res/$name is rendered by nothing" >&2; status=1; }
done
# Every picture the resource script names is one of the rendered ones.
for name in $(sed -n 's/^[A-Z_0-9]* *\(BITMAP\|ICON\) *"\(.*\)"$/\2/p' "$source/res/umbrix.rc"); do
    [ -f "$out/$name" ] || { echo "res/umbrix.rc names $name, which is not rendered" >&2; status=1; }
done
[ $status = 0 ] && echo "$(ls "$out" | wc -l) pictures match their drawings"
exit $status
