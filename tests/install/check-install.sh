#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs to find, start
# and associate the program: launchers, the program folder with its data/, the desktop entry,
# the file type and the icons.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/zorim" ] || fail "no launcher bin/zorim"
[ -x "$prefix/lib/zorim/zorim" ] || fail "no program in lib/zorim"
for f in tab.ini skin.ini easy.ini data.ini; do
    [ -f "$prefix/lib/zorim/data/$f" ] || fail "data/$f not installed"
done
[ -f "$prefix/share/applications/zorim.desktop" ] || fail "no desktop entry"
grep -q '^Exec=zorim %f$' "$prefix/share/applications/zorim.desktop" || fail "desktop entry does not start zorim with a file"
grep -q 'application/x-zorim' "$prefix/share/applications/zorim.desktop" || fail "desktop entry lacks the .zrm type"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/zorim.desktop" || fail "desktop entry does not validate"
fi
mime="$prefix/share/mime/packages/zorim.xml"
[ -f "$mime" ] || fail "no MIME type file"
grep -q '<sub-class-of type="application/rtf"/>' "$mime" || fail ".zrm is not a kind of RTF"
grep -q '<glob pattern="\*.zrm"/>' "$mime" || fail "no *.zrm glob"
for size in 16 22 24 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/zorim.png" ] || fail "no ${size}px icon"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/zorim.svg" ] || fail "no scalable icon"

# The launchers find the program folder also when started through a link, as from a
# desktop's own bin folder.
if [ -x "$prefix/bin/zorim-convert" ]; then
    ln -s "$prefix/bin/zorim-convert" "$prefix/convert-link"
    printf 'Ahoj svet\r\n' > "$prefix/in.txt"
    "$prefix/convert-link" "$prefix/in.txt" "$prefix/out.rtf" || fail "installed zorim-convert failed"
    grep -q 'Ahoj svet' "$prefix/out.rtf" || fail "installed zorim-convert wrote no text"
fi
echo "1 passed, 0 failed"
