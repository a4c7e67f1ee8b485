#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user gets it: CPack makes it from this build tree
# into a temporary folder, dpkg-deb unpacks it into a temporary root (no root
# rights needed), and the programs, examples, desktop entry, icons, metainfo
# and man pages are checked there. Exits 77 (skipped) when a packaging tool is
# missing; scripts/setup installs them.
#
# installed_package_test.sh BUILD_DIR SOURCE_DIR BUILT_CHUNG_BATCH VERSION PACKAGE_NAME
set -eu
build=$1 source=$2 built_batch=$3 version=$4 name=$5

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli man file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1 ||
  { cat cpack.log; fail "cpack"; }
set -- "$work"/package/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one package, found: $*"
deb=$1

# Control fields: the project's version, and dependencies found by dpkg-shlibdeps.
[ "$(dpkg-deb -f "$deb" Package)" = "$name" ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
case $(dpkg-deb -f "$deb" Depends) in
  *libc6*libqt6widgets6*) ;;
  *) fail "dependencies: $(dpkg-deb -f "$deb" Depends)" ;;
esac
lintian --fail-on error "$deb" >lintian.log 2>&1 || { cat lintian.log; fail "lintian reports errors"; }

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

# The installed batch tool on the installed example writes the build's report.
diff -r "$source/examples" "$share/$name/examples" || fail "installed examples differ"
"$root/usr/bin/chung-batch" "$share/$name/examples/default.txt" -o installed.txt >/dev/null ||
  fail "installed chung-batch"
"$built_batch" "$source/examples/default.txt" -o built.txt >/dev/null || fail "built chung-batch"
cmp installed.txt built.txt || fail "the installed program's report differs from the build's"

# Versions, without a display.
# The installed program finds the installed library, not the source tree's.
for key in LDPE PET PBT; do
  [ -f "$share/$name/materials/$key.json" ] || fail "material $key installed"
done
sed -i 's/"name": "LDPE[^"]*"/"name": "the installed LDPE"/' "$share/$name/materials/LDPE.json"
out=$(XDG_DATA_HOME=$work/data "$root/usr/bin/chung-batch" --show-material LDPE) &&
  [ "$out" = "$(cat "$share/$name/materials/LDPE.json")" ] && printf "%s" "$out" | grep -q "the installed LDPE" ||
  fail "installed chung-batch --show-material"
out=$("$root/usr/bin/chung-batch" --version) && [ "$out" = "chung-batch $version" ] ||
  fail "chung-batch --version"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/chung" --version) && [ "$out" = "chung $version" ] ||
  fail "chung --version"

# Desktop entry, its program and its icon.
desktop=$share/applications/$name.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx "Exec=chung" "$desktop" && [ -x "$root/usr/bin/chung" ] || fail "desktop entry's program"
grep -qx "Icon=$name" "$desktop" || fail "desktop entry's icon name"
icons=$share/icons/hicolor
for side in 48 256; do
  file "$icons/${side}x$side/apps/$name.png" | grep -q "PNG image data, $side x $side" ||
    fail "icon ${side}x$side"
done
file "$icons/scalable/apps/$name.svg" | grep -q "SVG" || fail "scalable icon"

# The project has no domain of its own for a reverse-DNS id: that warning is
# expected, anything else fails.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
  "$share/metainfo/$name.metainfo.xml" || fail "metainfo does not validate"

# Man pages render without a warning and name their program.
for page in chung-batch chung; do
  MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" >"$page.txt" 2>"$page.err" ||
    fail "man $page"
  [ ! -s "$page.err" ] || { cat "$page.err"; fail "man $page warns"; }
  grep -q "^ *$page - " "$page.txt" || fail "man $page has no NAME line"
done

echo "package $(basename "$deb") checked"
