#!/bin/sh
# The tool and the wrapper as a Linux shell runs them: UTF-8 names by Linux
# path straight from the shell, and a folder with a space through ./pellform.
#   check-wrapper.sh RUNNER TOOL PICTURE.gif
runner="$1" tool="$2"
work=$(mktemp -d "/tmp/pellform wrapper.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
for name in "résumé" "图片" 'say "hi" *' "my logo"; do
    cp "$3" "$work/$name.gif"
    said=$("$runner" "$tool" build "$work/$name.gif" "$work/$name.rgn" --mask 0000FF)
    [ "$said" = "$work/$name.rgn: 1 rectangle, bounding box (0, 10, 40, 31)" ] || fail "build said: $said"
    (cd "$work" && "$runner" "$tool" info "$name.rgn") | grep -qx "Number of regions: 1" || fail "info of $name.rgn"
    "$runner" "$tool" export "$work/$name.rgn" --as c -o "$work/$name.h" &&
        head -n 1 "$work/$name.h" | grep -qF "/* $name.rgn: region data" || fail "export of $name.rgn"
done
# A file planted where a fixed temporary name would be is not written through.
echo kept >"$work/planted" && ln -s "$work/planted" "$work/x.h.pftmp"
"$runner" "$tool" export "$work/$name.rgn" --as c -o "$work/x.h" && [ "$(cat "$work/planted")" = kept ] ||
    fail "export wrote through x.h.pftmp"
"$(dirname "$0")/../../pellform" editor --picture "$work/my logo.gif" --screenshot "$work/a shot.png" >/dev/null &&
    [ -s "$work/a shot.png" ] || fail "the editor did not open the picture"
# The wrapper ended this prefix's server; the tests after this one get it back.
"$runner" --prefix start >/dev/null
exit $failed
