#!/usr/bin/env bash
# The Debian package as a user gets it: lintian checks it, apt-get installs it system-wide, the
# installed albumora-batch makes the installed example album in a scratch folder, the installed
# side program writes its table of contents, and the package is removed again, whatever
# happened. Before that, an install into a scratch prefix shows that the layout can be moved.
# Needs root (or sudo) for apt-get. Called from scripts/test.
#   tests/package/package_test.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$PWD/${1:-build}
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

fail() {
  echo "package test: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' albumora 2>/dev/null | grep -q 'install ok installed'; then
  fail "albumora is installed on this machine already; not touching that install"
fi

scratch=$(mktemp -d)
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove --purge -y -q albumora >/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A gallery of the example album as copied from `data` (an installed share/albumora), made by
# `batch` from a different folder than the album's.
make_example_gallery() {
  local batch=$1 data=$2 album=$3
  cp -r "$data/example" "$album"
  mkdir -p "$scratch/anderswo"
  (cd "$scratch/anderswo" && "$batch" --quiet "$album") || fail "$batch failed on $album"
  for page in fotos_1.htm fotos_2.htm bild_1.htm bild_8.htm download.php; do
    [ -f "$album/site/fotos/urlaub/$page" ] || fail "$album/site/fotos/urlaub/$page is missing"
  done
  [ -z "$(ls -A "$scratch/anderswo")" ] || fail "$batch wrote into the folder it was started in"
}

echo "-- install into a scratch prefix, moved after installing"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
mv "$scratch/prefix" "$scratch/moved"
make_example_gallery "$scratch/moved/bin/albumora-batch" "$scratch/moved/share/albumora" \
  "$scratch/album-moved"

echo "-- package"
(cd "$build" && rm -f albumora_*.deb && cpack -G DEB >/dev/null 2>&1)
deb=$(echo "$build"/albumora_*_*.deb)
[ -f "$deb" ] || fail "cpack made no package"
lint_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 || lint_status=$?
grep -v 'root privileges' "$scratch/lintian.log" || true  # warnings and notes are shown
[ "$lint_status" -eq 0 ] || fail "lintian reports errors"

echo "-- apt-get install ./$(basename "$deb")"
installed=yes
(cd "$build" && DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q \
  --no-install-recommends "./$(basename "$deb")" >/dev/null)
for file in /usr/bin/albumora /usr/bin/albumora-batch /usr/lib/albumora/Index; do
  [ -x "$file" ] || fail "$file is not installed"
done
[ -z "$(command -v Index)" ] || fail "the side program is in the search path"
for file in /usr/share/albumora/hilfe.pdf /usr/share/albumora/vorlagen/standard._vl \
  /usr/share/man/man1/albumora.1.gz /usr/share/man/man1/albumora-batch.1.gz \
  /usr/share/applications/org.albumora.Albumora.desktop \
  /usr/share/icons/hicolor/48x48/apps/albumora.png /usr/share/doc/albumora/copyright; do
  [ -f "$file" ] || fail "$file is not installed"
done

echo "-- installed albumora-batch and Index on the installed example album"
make_example_gallery albumora-batch /usr/share/albumora "$scratch/album"
albumora-batch --quiet "$scratch/album/Einstellung.alb" || fail "albumora-batch on a settings file failed"
(cd "$scratch/album" && /usr/lib/albumora/Index >/dev/null) || fail "the installed Index failed"
[ -f "$scratch/album/site/Index.htm" ] || fail "Index wrote no table of contents"

echo "-- apt-get remove"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove --purge -y -q albumora >/dev/null
installed=no
[ ! -e /usr/bin/albumora-batch ] && [ ! -e /usr/share/albumora ] || fail "the package left files"
echo "package test: passed"
