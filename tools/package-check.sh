#!/usr/bin/env bash
# Proves the Debian package on fresh minimal Debian roots made with debootstrap: in one, the checkout
# builds its package with nothing but tools/package.sh (which installs the one package list first);
# into another, that package is installed the way a user does (apt install ./orvek_….deb), and what
# the user then meets is checked (the programs, the menu entry, the icon, the ".cdd" file type and
# its program, the manual pages); the package is removed again, and the roots are deleted. When
# build/package holds a package built on this machine, it must carry the same files and
# dependencies. Nothing on this machine changes but the package cache. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then exec sudo bash "$0" "$@"; fi
bash tools/install-deps.sh package

# The roots are the release this machine runs, from the Debian mirror its apt already uses.
. /etc/os-release
MIRROR=$(apt-get indextargets --format '$(REPO_URI) $(CODENAME)' 'Identifier: Packages' 'Origin: Debian' |
  awk -v c="$VERSION_CODENAME" '$2 == c { print $1; exit }')
if [ -z "$MIRROR" ]; then
  echo "package-check: no Debian $VERSION_CODENAME source in this machine's apt configuration" >&2
  exit 1
fi

WORK=$(mktemp -d /var/tmp/orvek-package-check.XXXXXX)
BUILD_ROOT=$WORK/build
ROOT=$WORK/install
LOG=$WORK.log
CACHE=/var/cache/apt/archives
cleanup() {
  for r in "$BUILD_ROOT" "$ROOT"; do
    for m in "$r/proc" "$r$CACHE"; do
      if mountpoint -q "$m"; then umount "$m" || umount -l "$m" || true; fi
    done
  done
  # Never delete through a mount that is still there (the package cache is bound into the roots).
  if grep -q " $WORK/" /proc/mounts; then
    echo "package-check: $WORK is still mounted somewhere; left in place" >&2
  else
    rm -rf "$WORK"
  fi
  rm -f "$LOG"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

echo "package-check: making a minimal Debian $VERSION_CODENAME root"
# Long outputs go to a log that is shown only when the step fails.
quiet() { "$@" >"$LOG" 2>&1 || { tail -n 30 "$LOG" >&2; return 1; }; }
quiet debootstrap --variant=minbase --cache-dir="$CACHE" "$VERSION_CODENAME" "$BUILD_ROOT" "$MIRROR"
cp -a "$BUILD_ROOT" "$ROOT"
for r in "$BUILD_ROOT" "$ROOT"; do
  chmod 755 "$r"  # a root directory others can enter: apt and man drop to their own users
  mount -t proc proc "$r/proc"
  # Packages already downloaded on this machine are taken from its cache instead of the network.
  mount --bind "$CACHE" "$r$CACHE"
done

in_root_of() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
in_root() { in_root_of "$ROOT" "$@"; }

# The checkout as git sees it (tracked and new files, no build folders), or all of it but build/.
mkdir "$BUILD_ROOT/root/orvek"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | tar --null -T - --ignore-failed-read -c -f - |
    tar -x -f - -C "$BUILD_ROOT/root/orvek"
else
  tar --exclude=./build -c -f - . | tar -x -f - -C "$BUILD_ROOT/root/orvek"
fi
echo "package-check: building the package in the fresh root (tools/package.sh)"
start=$SECONDS
quiet in_root_of "$BUILD_ROOT" sh -c 'cd /root/orvek && bash tools/package.sh'
echo "package-check: the build in the fresh root took $((SECONDS - start)) s"
DEB=$(ls "$BUILD_ROOT"/root/orvek/build/package/orvek_*_amd64.deb)

APT=(apt-get -y -q -o Dpkg::Use-Pty=0)
quiet in_root "${APT[@]}" update
# What a desktop has before Orvek comes: its file-type and menu tools, man, and a Chinese face (the
# smaller of the two the package accepts, which keeps the check quick).
quiet in_root "${APT[@]}" install --no-install-recommends desktop-file-utils xdg-utils libfile-mimeinfo-perl \
  man-db fonts-wqy-zenhei
cp "$DEB" "$ROOT/tmp/"
echo "package-check: installing $(basename "$DEB")"
dpkg-deb --field "$DEB" Depends
# Recommends left out: what Depends names must be enough.
quiet in_root "${APT[@]}" install --no-install-recommends "/tmp/$(basename "$DEB")"

failures=0
check() {
  local what=$1
  shift
  if in_root "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
HERE=$(ls -t build/package/orvek_*_amd64.deb 2>/dev/null | head -n 1 || true)
if [ -n "$HERE" ]; then
  contents() { dpkg-deb --field "$1" Depends; dpkg-deb --contents "$1" | awk '{ print $NF }' | sort; }
  what="$(basename "$HERE") built on this machine has the same files and dependencies"
  if diff <(contents "$HERE") <(contents "$DEB") >&2; then echo "ok: $what"; else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
fi
SAMPLE=/usr/share/orvek/samples/P04-45m.cdd
check "orvek and orvek-cli find every library" sh -c '! ldd /usr/bin/orvek /usr/bin/orvek-cli | grep "not found"'
check "orvek-cli info reads an installed sample" sh -c "orvek-cli info $SAMPLE | grep -q '\"count\"'"
check "orvek-cli prints a report page set in a CJK face" \
  sh -c "orvek-cli print $SAMPLE -o /tmp/report.pdf --wave >/dev/null && grep -aqE '/BaseFont ?/[A-Za-z+]*(CJK|ZenHei)' /tmp/report.pdf"
# Files the user opens are the user's own copies (opening one writes its folder's configuration).
in_root sh -c "cp $SAMPLE /tmp/pile.cdd && cp $SAMPLE /tmp/PILE2.CDD"
# The desktop program keeps running on its file until closed: still running after a while is right.
check "orvek starts on a measurement file" sh -c "QT_QPA_PLATFORM=offscreen timeout 10 orvek /tmp/pile.cdd 2>/dev/null; test \$? -eq 124"
check "the desktop entry validates" desktop-file-validate /usr/share/applications/orvek.desktop
check "the application icon is in the hicolor theme" test -f /usr/share/icons/hicolor/scalable/apps/orvek.svg
check "both manual pages are found" sh -c 'man -w orvek >/dev/null && man -w orvek-cli >/dev/null'
for f in /tmp/pile.cdd /tmp/PILE2.CDD; do
  check "xdg-mime gives $(basename "$f") the measurement-file type" \
    sh -c "test \"\$(xdg-mime query filetype $f)\" = application/x-orvek-cdd"
done
check "a double click opens measurement files in orvek" \
  sh -c 'test "$(xdg-mime query default application/x-orvek-cdd)" = orvek.desktop'

echo "package-check: removing the package"
quiet in_root "${APT[@]}" purge orvek
check "removal leaves no program behind" sh -c '! test -e /usr/bin/orvek && ! test -e /usr/bin/orvek-cli'
check "removal takes the file type away" sh -c 'test "$(xdg-mime query filetype /tmp/pile.cdd)" != application/x-orvek-cdd'

if [ "$failures" -ne 0 ]; then
  echo "package-check: $failures check(s) failed" >&2
  exit 1
fi
echo "package-check: all checks passed"
