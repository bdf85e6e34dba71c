#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed game and viewer from an
# unrelated folder with relative file names; their pictures must equal the build folder's.
# Arguments: CMAKE BUILD_DIR.
set -euo pipefail
cmake=$1
build=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR=$tmp/root "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$tmp/root/usr
mkdir "$tmp/home" "$tmp/ref"
cd "$tmp/home"

printf '%s\n' "5 pos 300 200" "6 keydown '1'" "7 keydown '5'" "30 shot mid.ppm" \
    "60 keydown 27" >game.ev
sed "s|shot mid.ppm|shot $tmp/ref/mid.ppm|" game.ev >"$tmp/ref/game.ev"
(cd "$build/run" && GGI_DISPLAY=memory:-events=$tmp/ref/game.ev:-final=$tmp/ref/last.ppm \
    ./korvan >"$tmp/ref/out")
GGI_DISPLAY=memory:-events=game.ev:-final=last.ppm:-record=rec.ev "$usr/games/korvan" >out
cmp last.ppm "$tmp/ref/last.ppm"
cmp mid.ppm "$tmp/ref/mid.ppm"
diff <(tail -n 1 out) <(tail -n 1 "$tmp/ref/out")
grep -qx "7 keydown '5'" rec.ev

# A 2 x 2 PCX picture of the colours 1 to 4: red, green, blue, white.
{ printf '\012\005\001\010\0\0\0\0\001\0\001\0'; head -c 53 /dev/zero; printf '\001\002\0'
  head -c 60 /dev/zero; printf '\001\002\003\004\014\0\0\0\377\0\0\0\377\0\0\0\377\377\377\377'
  head -c 753 /dev/zero; } >pic.pcx
GGI_DISPLAY=memory:-final=shown.ppm "$usr/bin/lumora" pic.pcx >out
GGI_DISPLAY=memory:-final=$tmp/ref/shown.ppm "$build/run/lumora" "$tmp/home/pic.pcx" >/dev/null
printf 'Image is 2x2 sized.\nUsing 8bpp mode\n' | diff - out
cmp shown.ppm "$tmp/ref/shown.ppm"

# The manual pages without a groff warning, the menu entry valid.
for page in "$usr"/share/man/man*/*.gz; do
    warnings=$(zcat "$page" | groff -ww -man -Tutf8 -z 2>&1)
    [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done
desktop-file-validate "$usr/share/applications/korvan.desktop"
