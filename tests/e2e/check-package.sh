#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from a finished build, unpacks it into a temporary root (nothing is
# installed on this machine) and checks what it holds: the program and its pictures, the link
# on the PATH, the desktop entry, the AppStream data and the icon. Then starts the unpacked
# program for two seconds.
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
[ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages"
[ -f "${debs[0]}" ] || fail "cpack made no kelmora_*.deb"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kelmora ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = education ] || fail "section is '$(field Section)'"
depends=$(field Depends)
for needed in qt6-translations-l10n fonts-liberation2 libqt6widgets6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"

# bin/kelmora is a relative link, so the unpacked tree works wherever it lies.
[ -L "$usr/bin/kelmora" ] || fail "usr/bin/kelmora is not a symbolic link"
[[ "$(readlink "$usr/bin/kelmora")" != /* ]] || fail "usr/bin/kelmora points to an absolute path"
[ "$(realpath "$usr/bin/kelmora")" = "$usr/lib/kelmora/kelmora" ] ||
    fail "usr/bin/kelmora resolves to $(realpath "$usr/bin/kelmora")"
[ -x "$usr/lib/kelmora/kelmora" ] || fail "usr/lib/kelmora/kelmora is not executable"

# Every character in both lettering styles, at both sizes, and nothing else.
pictures="$usr/lib/kelmora/znaky"
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
[ ${#desktops[@]} -eq 1 ] || fail "${#desktops[@]} desktop entries"
[ -f "${desktops[0]}" ] || fail "no desktop entry"
desktop=${desktops[0]}
id=$(basename "$desktop" .desktop)
# Clean means no hint either: a hint names, for one, a missing main category.
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate is not clean on $id.desktop: $report"
grep -qx "Icon=$id" "$desktop" || fail "$id.desktop does not name the icon $id"
grep -qx "Exec=kelmora" "$desktop" || fail "$id.desktop does not start kelmora"

metainfo="$usr/share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream file $id.metainfo.xml"
# Errors and warnings fail; info and pedantic notes (no screenshots, no URL) are fine.
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $id.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "$id.metainfo.xml does not launch $id.desktop"

icon="$usr/share/icons/hicolor/256x256/apps/$id.png"
[ -f "$icon" ] || fail "icon $id.png is missing"
[ "$(identify -format '%m %wx%h' "$icon")" = "PNG 256x256" ] ||
    fail "icon is $(identify -format '%m %wx%h' "$icon"), not a 256x256 PNG"

# Still running when timeout stops it (status 124): the program started.
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" timeout 2 "$usr/bin/kelmora") \
    >"$work/run.log" 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
    cat "$work/run.log" >&2
    fail "the unpacked program exited with $status"
fi

echo "PASS: $(basename "$deb") ($id)"
