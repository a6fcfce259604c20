#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from a finished build and checks it with lintian: no error, no
# warning, which also means a copyright file, a changelog, the English manual page and a desktop
# entry that starts a program in the package. Unpacks it into a temporary root (nothing is
# installed here), checks what it holds and starts the unpacked program for two seconds.
# Usage: check-package.sh BUILD_FOLDER
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The one file a pattern matches (set -e stops the script when it fails in $(...)).
one() {
    [ $# -eq 1 ] && [ -f "$1" ] || fail "not one file: $*"
    echo "$1"
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
deb=$(one "$work"/out/kelmora_*.deb)
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

field() { dpkg-deb -f "$deb" "$1"; }
fields="$(field Package) $(field Section) $(field Recommends)"
[ "$fields" = "kelmora education qt6-wayland" ] || fail "package, section, recommends: $fields"
depends=$(field Depends)
for needed in qt6-translations-l10n fonts-liberation2 libqt6widgets6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"

# Relative links, so the unpacked tree works wherever it lies: the program on the PATH, and
# znaky/ beside the program, where it looks for its pictures.
pictures="$usr/share/kelmora/znaky"
[ "$(realpath "$usr/bin/kelmora")" = "$usr/lib/kelmora/kelmora" ] ||
    fail "usr/bin/kelmora resolves to $(realpath "$usr/bin/kelmora")"
[ "$(realpath "$usr/lib/kelmora/znaky")" = "$pictures" ] ||
    fail "usr/lib/kelmora/znaky resolves to $(realpath "$usr/lib/kelmora/znaky")"

# Every character in both lettering styles, at both sizes, none empty, and nothing else.
expected=$(printf '%s\n' {m{01..27},v{01..24}}{,@2x}.{gif,jpg} | sort)
found=$(find "$pictures" -type f ! -empty -printf '%P\n' | sort)
[ "$found" = "$expected" ] ||
    fail "znaky/ differs from the 204 pictures in: $(comm -3 <(echo "$expected") <(echo "$found"))"

desktop=$(one "$usr"/share/applications/*.desktop)
id=$(basename "$desktop" .desktop)
# Clean means no hint either: a hint names, for one, a missing main category.
report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate is not clean on $id.desktop: $report"
grep -qx "Icon=$id" "$desktop" || fail "$id.desktop does not name the icon $id"

# Nothing but the capital letters of the id, which the desktop entry's name fixes.
metainfo="$usr/share/metainfo/$id.metainfo.xml"
report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep -E '^[EWIP]:' |
    grep -v ' cid-contains-uppercase-letter ' || true)
[ -z "$report" ] || fail "appstreamcli on $id.metainfo.xml: $report"
for line in "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "<project_license>MIT</project_license>" "<release version=\"$(field Version)\" date="; do
    grep -qF "$line" "$metainfo" || fail "$id.metainfo.xml lacks $line"
done

[ -s "$usr/share/man/cs/man1/kelmora.1.gz" ] || fail "no Czech manual page"
grep -qx "License: MIT" "$usr/share/doc/kelmora/copyright" || fail "the copyright file names no MIT"
# lintian lets an icon's size differ from its folder's by two pixels.
for size in 16 22 24 32 48 64 128 256; do
    icon="icons/hicolor/${size}x$size/apps/$id.png"
    [ "$(identify -format '%m %wx%h' "$usr/share/$icon" 2>&1)" = "PNG ${size}x$size" ] ||
        fail "$icon is not a ${size}x$size PNG"
done

# Still running when timeout stops it (status 124): the program started.
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" timeout 2 "$usr/bin/kelmora") \
    >"$work/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the unpacked program exited with $status: $(cat "$work/run.log")"

echo "PASS: $(basename "$deb") ($id)"
