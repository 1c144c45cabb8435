#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs to find, start
# and associate the program: launchers, the program folder with its data/, the desktop entry,
# the file type and the icons, the software-centre metadata and the manual pages.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --strip >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/zorim" ] || fail "no launcher bin/zorim"
[ -x "$prefix/lib/zorim/zorim" ] || fail "no program in lib/zorim"
for f in tab.ini skin.ini easy.ini data.ini; do
    [ -f "$prefix/lib/zorim/data/$f" ] || fail "data/$f not installed"
done
[ -f "$prefix/share/applications/zorim.desktop" ] || fail "no desktop entry"
grep -q '^Exec=zorim %f$' "$prefix/share/applications/zorim.desktop" || fail "desktop entry does not start zorim with a file"
grep -q 'application/x-zorim' "$prefix/share/applications/zorim.desktop" || fail "desktop entry lacks the .zrm type"
grep -q '^StartupNotify=true$' "$prefix/share/applications/zorim.desktop" || fail "desktop entry lacks StartupNotify"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/zorim.desktop" || fail "desktop entry does not validate"
fi
mime="$prefix/share/mime/packages/zorim.xml"
[ -f "$mime" ] || fail "no MIME type file"
grep -q '<sub-class-of type="application/rtf"/>' "$mime" || fail ".zrm is not a kind of RTF"
grep -q '<glob pattern="\*.zrm"/>' "$mime" || fail "no *.zrm glob"
grep -q '<icon name="application-x-zorim"/>' "$mime" || fail "the file type names no icon"
[ -s "$prefix/share/icons/hicolor/scalable/mimetypes/application-x-zorim.svg" ] || fail "no file type icon"

metainfo="$prefix/share/metainfo/sk.zorim.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metadata"
grep -q '<launchable type="desktop-id">zorim.desktop</launchable>' "$metainfo" || fail "metadata names another desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata does not validate"

for page in man/man1/zorim.1 man/man1/zorim-convert.1 man/sk/man1/zorim.1 man/sk/man1/zorim-convert.1; do
    [ -s "$prefix/share/$page" ] || fail "no manual page $page"
    if command -v groff >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 groff -K utf8 -T utf8 -man -ww -z "$prefix/share/$page" 2>&1)
        [ -z "$warnings" ] || fail "$page: $warnings"
    fi
done
grep -q 'Používateľské' "$prefix/share/man/sk/man1/zorim-convert.1" || fail "the Slovak manual page is not Slovak"

# --strip: the installed programs carry no symbol table.
if command -v readelf >/dev/null; then
    for program in zorim zorim-convert; do
        [ -f "$prefix/lib/zorim/$program" ] || continue
        sections=$(readelf -S "$prefix/lib/zorim/$program")
        case "$sections" in *.symtab*) fail "$program is not stripped" ;; esac
    done
fi
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
    # Several files: the workers are copies of the installed program, found through the link.
    printf 'Druhý\r\n' > "$prefix/in2.txt"
    "$prefix/convert-link" --to zrm -j 2 -o "$prefix/out" "$prefix/in.txt" "$prefix/in2.txt" 2>/dev/null \
        || fail "installed zorim-convert failed on two files"
    [ -s "$prefix/out/in.zrm" ] && [ -s "$prefix/out/in2.zrm" ] || fail "installed zorim-convert wrote not both files"
fi
echo "1 passed, 0 failed"
