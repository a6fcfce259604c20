#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from a finished build and checks it with lintian (no error, no
# warning). Unpacks it into a temporary root (nothing is installed on this machine) and checks
# what it holds: the program, the links that find it and its pictures, the desktop entry, the
# AppStream data, the icons, the copyright, changelog and manual pages. Then starts the
# unpacked program for two seconds.
# Usage: check-package.sh BUILD_FOLDER
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
debs=("$work"/out/kelmora_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single kelmora_*.deb"
deb=${debs[0]}
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
[ "$(realpath "$usr/bin/kelmora")" = "$usr/lib/kelmora/kelmora" ] ||
    fail "usr/bin/kelmora resolves to $(realpath "$usr/bin/kelmora")"
pictures="$usr/share/kelmora/znaky"
[ "$(realpath "$usr/lib/kelmora/znaky")" = "$pictures" ] ||
    fail "usr/lib/kelmora/znaky resolves to $(realpath "$usr/lib/kelmora/znaky")"

# Every character in both lettering styles, at both sizes, and nothing else.
expected=()
for number in $(seq -w 1 27); do expected+=("m$number" "m$number@2x"); done
for number in $(seq -w 1 24); do expected+=("v$number" "v$number@2x"); done
for name in "${expected[@]}"; do
    for extension in gif jpg; do
        [ -s "$pictures/$name.$extension" ] || fail "picture $name.$extension is missing or empty"
    done
done
count=$(find "$pictures" -type f | wc -l)
[ "$count" -eq 204 ] || fail "znaky/ holds $count files, not 204"

desktops=("$usr"/share/applications/*.desktop)
[ ${#desktops[@]} -eq 1 ] && [ -f "${desktops[0]}" ] || fail "no single desktop entry"
desktop=${desktops[0]}
id=$(basename "$desktop" .desktop)
# Clean means no hint either: a hint names, for one, a missing main category.
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate is not clean on $id.desktop: $report"
grep -qx "Icon=$id" "$desktop" || fail "$id.desktop does not name the icon $id"
grep -qx "Exec=kelmora" "$desktop" || fail "$id.desktop does not start kelmora"

# Nothing but the capital letters of the id, which the desktop entry's name fixes.
metainfo="$usr/share/metainfo/$id.metainfo.xml"
report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep -E '^[EWIP]:' |
    grep -v ' cid-contains-uppercase-letter ' || true)
[ -z "$report" ] || fail "appstreamcli on $id.metainfo.xml: $report"
for line in "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "<project_license>MIT</project_license>" "<release version=\"$(field Version)\" date="; do
    grep -qF "$line" "$metainfo" || fail "$id.metainfo.xml lacks $line"
done

for file in doc/kelmora/copyright doc/kelmora/changelog.gz man/man1/kelmora.1.gz \
    man/cs/man1/kelmora.1.gz; do
    [ -s "$usr/share/$file" ] || fail "usr/share/$file is missing or empty"
done
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
if [ "$status" -ne 124 ]; then
    cat "$work/run.log" >&2
    fail "the unpacked program exited with $status"
fi

echo "PASS: $(basename "$deb") ($id)"
