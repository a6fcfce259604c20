#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command of this checkout inside a minimal Debian root of the given release, as root.
# Usage: scripts/on-debian.sh RELEASE [COMMAND ARG...]    (RELEASE: 12, 13, bookworm or trixie)
# Default command: scripts/test.sh. The root is made with debootstrap (variant minbase) from the
# Debian mirror this machine's apt uses, kept in KELMORA_DEBIAN_CACHE (default
# /var/cache/kelmora/debian-RELEASE) and brought up to date when it is there. The checkout's
# files (tracked and untracked, not ignored) are copied to /kelmora in the root; the build
# folders there stay between runs. Needs root (or sudo), debootstrap and unshare.
set -euo pipefail
{ # read whole before it runs: editing this file during a run must not change what runs
self=$(realpath "$0")
cd "$(dirname "$self")/.."

[ $# -ge 1 ] || {
  echo "usage: $0 RELEASE [COMMAND ARG...]" >&2
  exit 2
}
case $1 in
  12 | bookworm) number=12 codename=bookworm ;;
  13 | trixie) number=13 codename=trixie ;;
  *)
    echo "$0: unknown Debian release '$1' (12, 13, bookworm or trixie)" >&2
    exit 2
    ;;
esac
shift
[ $# -gt 0 ] || set -- scripts/test.sh

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=CI,KELMORA_DEBIAN_CACHE,KELMORA_DEBIAN_MIRROR,KELMORA_WALK_STEPS \
    "$self" "$number" "$@"
fi
root=$(realpath -m "${KELMORA_DEBIAN_CACHE:-/var/cache/kelmora/debian-$number}")
# Everything below writes into the root as root: never this machine's own.
[ "$root" != / ] || {
  echo "$0: KELMORA_DEBIAN_CACHE must not be /" >&2
  exit 2
}

# The first Debian archive among apt's sources whose suite is this machine's release.
host_mirror() {
  local host
  host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v s="$host" '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                                      if ($(i + 1) == s) print $i }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk -v s="$host" 'BEGIN { RS = ""; FS = "\n" }
        { uri = ""; ok = 0; deb = 0; off = 0
          for (i = 1; i <= NF; i++) {
            n = split($i, w, /[ \t]+/)
            if (w[1] == "URIs:") uri = w[2]
            if (w[1] == "Types:") for (j = 2; j <= n; j++) if (w[j] == "deb") deb = 1
            if (w[1] == "Suites:") for (j = 2; j <= n; j++) if (w[j] == s) ok = 1
            if (w[1] == "Enabled:" && w[2] == "no") off = 1
          }
          if (ok && deb && !off && uri != "") print uri }'
  } | head -n 1
}

export DEBIAN_FRONTEND=noninteractive
if [ ! -x "$root/usr/bin/apt-get" ]; then
  mirror=${KELMORA_DEBIAN_MIRROR:-$(host_mirror)}
  [ -n "$mirror" ] || {
    echo "$0: no Debian mirror found in /etc/apt/sources.list*; set KELMORA_DEBIAN_MIRROR" >&2
    exit 1
  }
  command -v debootstrap >/dev/null || { apt-get update && apt-get install -y debootstrap; }
  # Made beside its place and moved there whole, so that an interrupted run leaves no half root.
  rm -rf --one-file-system "$root.new"
  mkdir -p "$(dirname "$root")"
  echo "on-debian: making a Debian $number root in $root from $mirror"
  debootstrap --variant=minbase "$codename" "$root.new" "$mirror"
  mv "$root.new" "$root"
fi
# Services of installed packages must not start inside the root. A root that a crash may lose
# and is made anew needs no fsync after every file, nor a manual page index.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/kelmora-unsafe-io"
echo "man-db man-db/auto-update boolean false" | chroot "$root" debconf-set-selections

# The checkout's files (tracked and untracked, not ignored) in /kelmora. Only what changed is
# written there, at the time of now: the build folders there stay incremental and miss nothing.
copy=$root/kelmora.copy
rm -rf "$copy"
mkdir -p "$copy" "$root/kelmora"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ ! -e "$f" ] || printf '%s\0' "$f"; done |
  tar -c --null -T - | tar -x -C "$copy"
(cd "$root/kelmora" && find . -path './build*' -prune -o ! -type d -print0) |
  while IFS= read -r -d '' f; do [ -e "$copy/$f" ] || rm -f "$root/kelmora/$f"; done
(cd "$copy" && find . ! -type d -print0) |
  while IFS= read -r -d '' f; do
    cmp -s "$copy/$f" "$root/kelmora/$f" ||
      { mkdir -p "$(dirname "$root/kelmora/$f")" && cp --preserve=mode "$copy/$f" "$root/kelmora/$f"; }
  done
rm -rf "$copy"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# The mounts live in a mount namespace of their own: they vanish with it, however the run ends.
# The root shares /tmp with this machine, so that X servers started inside and outside pick
# different display numbers (their abstract sockets share one name space).
status=0
unshare --mount --propagation private -- /bin/sh -eu -c '
  root=$1; shift
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --bind /tmp "$root/tmp"
  exec chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root TERM="${TERM:-dumb}" CI="${CI:-}" DEBIAN_FRONTEND=noninteractive \
    ${KELMORA_WALK_STEPS:+KELMORA_WALK_STEPS=$KELMORA_WALK_STEPS} /bin/sh -euc "
      apt-get update -q && apt-get upgrade -y -q
      cd /kelmora && exec \"\$@\"" sh "$@"
' sh "$root" "$@" || status=$?

# Whatever the run left behind inside the root (a session bus, say) ends with it.
for p in /proc/[0-9]*; do
  [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill "${p#/proc/}" 2>/dev/null || true
done
exit $status
}
