#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages of a source tree twice, the second time from the source package in
# another path, time zone and umask; checks the .deb files identical, the build hardened (blhc),
# lintian clean, and, unpacked, what lintian lets pass. Usage: check-package.sh SOURCE_DIR
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

build() { # folder [option]: dpkg-buildpackage there, its output in folder.log
    (cd "$1" && dpkg-buildpackage -us -uc "${@:2}") >"$1.log" 2>&1 || fail "$(tail -20 "$1.log")"
}
export DEB_BUILD_OPTIONS="parallel=$(nproc)"
mkdir -p "$work/a/kelmora" "$work/b"
# What git would commit: the tree's files, tracked or new, less what .gitignore leaves out; a
# copy without git (as in a Debian root) has only those, and its build folders.
(cd "$1" && if [ -e .git ]; then git ls-files -zco --exclude-standard; else
    find . -path './build*' -prune -o ! -type d -print0; fi |
    tar -c --null -T - --ignore-failed-read) | tar -x -C "$work/a/kelmora"
build "$work/a/kelmora"
report=$(blhc "$work/a/kelmora.log" 2>&1) || fail "blhc: ${report:0:2000}"
dpkg-source -x "$work"/a/kelmora_*.dsc "$work/b/kelmora-again" >/dev/null 2>&1 ||
    fail "dpkg-source cannot unpack the source package"
(umask 002; TZ=Pacific/Kiritimati build "$work/b/kelmora-again" -b)
for deb in "$work"/a/*.deb; do
    cmp "$deb" "$work/b/${deb##*/}" || fail "${deb##*/} differs between two builds"
done
report=$(lintian -I --fail-on none "$work"/a/*.changes 2>&1) || fail "lintian: $report"
# Debian 12's policy version is older than Debian 13's, whose lintian says so, and fails the
# AppStream data wherever appstreamcli does, which is checked below; the program calls no C
# library function whose buffer size the compiler knows, so nothing is fortified, though blhc
# sees _FORTIFY_SOURCE in every compile (README).
report=$(grep -E '^[EWI]: ' <<<"$report" | grep -vE \
    ' (out-of-date-standards-version|appstream-metadata-validation-failed|hardening-no-fortify-functions)( |$)' ||
    true)
[ -z "$report" ] || fail "lintian: $report"
deb=$(echo "$work"/a/kelmora_*.deb)
for line in "Recommends: qt6-wayland" \
    "Depends: (.*, )?"{qt6-translations-l10n,fonts-liberation2,libqt6widgets6}"([ ,].*)?"; do
    grep -qxE "$line" <<<"$(dpkg-deb -f "$deb")" || fail "the control file lacks $line"
done

dpkg-deb -x "$deb" "$work"
cd "$work/usr"
# The program looks for its pictures in znaky/ beside itself; relative links keep the tree whole.
links=$(realpath -m --relative-to=. bin/kelmora lib/kelmora/znaky)
[ "$links" = $'lib/kelmora/kelmora\nshare/kelmora/znaky' ] || fail "the links lead to: $links"

# Every character in both lettering styles, at both sizes, none empty, and nothing else.
report=$(diff <(printf '%s\n' {m{01..27},v{01..24}}{,@2x}.{gif,jpg} | sort) \
    <(find share/kelmora/znaky -type f ! -empty -printf '%P\n' 2>&1 | sort)) ||
    fail "znaky/ differs from the 204 pictures: $report"

id=$(basename -s .desktop share/applications/*.desktop)  # the one entry; AppStream and icons too
# Errors, warnings and hints, such as a missing Type or a wrong boolean, which lintian passes.
report=$(desktop-file-validate "share/applications/$id.desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate is not clean on $id.desktop: $report"
grep -qx "Icon=$id" "share/applications/$id.desktop" || fail "$id.desktop does not name its icon"
# A list file's type, as file managers read it, is the entry's.
update-mime-database share/mime >/dev/null
type=$(sed -n 's/^MimeType=\(.*\);$/\1/p' "share/applications/$id.desktop")
grep -qx "$type:\*\.grlist" share/mime/globs || fail "*.grlist is not the entry's type '$type'"

metainfo="share/metainfo/$id.metainfo.xml"
# The id keeps the desktop file's capitals; Kelmora has no homepage yet (AppStream 1.0 wants one).
report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep -E '^[EWIP]:' |
    grep -vE ' (cid-contains-uppercase-letter|url-homepage-missing)( |$)' || true)
[ -z "$report" ] || fail "appstreamcli on $metainfo: $report"
for line in "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "<project_license>MIT</project_license>" \
    "<release version=\"$(dpkg-deb -f "$deb" Version)\""; do
    grep -qF "$line" "$metainfo" || fail "$metainfo lacks $line"
done

[ -s share/man/cs/man1/kelmora.1.gz ] || fail "no Czech manual page"
grep -qx "License: MIT" share/doc/kelmora/copyright || fail "the copyright file names no MIT"

# Answers on the command line without a display; still running when timeout stops it
# (status 124): the program started.
[ "$(bin/kelmora --version)" = "kelmora $(dpkg-deb -f "$deb" Version)" ] || fail "kelmora --version"
output=$(bin/kelmora --no-such-option 2>&1 || echo "status $?")
[[ $output == *"'no-such-option'"*"status 2" ]] || fail "a wrong option: $output"
output=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" timeout 2 bin/kelmora 2>&1
    echo "status $?")
[[ $output == *"status 124" ]] || fail "the unpacked program stopped by itself: $output"
echo "PASS: $(basename "$deb")"
