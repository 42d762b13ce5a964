#!/bin/sh
# Builds the Debian package with cpack and checks it: what it installs, that
# its dependencies came from the libraries the program links, and that
# lintian finds no errors (its warnings are printed for the record).
# Usage: check-package.sh BUILD_DIR WORK_DIR. Exits 77 (skipped) when a
# packaging tool is missing.
set -eu
build=$1
work=$2
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/zorvik-planner_*.deb)
[ -f "$deb" ] || fail "no package was made"

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's#^\./#/#' >"$work/contents.txt"
id=org.zorvik.Planner
for f in /usr/bin/zorvik-planner /usr/libexec/zorvik-planner/zorvik-planner-windows /usr/libexec/zorvik-planner/zorvik-planner-chart.so \
         /usr/libexec/zorvik-planner/zorvik-planner-print.so /usr/libexec/zorvik-planner/zorvik-planner-sound.so /usr/share/zorvik-planner/PLANNER.WAV /usr/share/doc/zorvik-planner/html/index.html \
         /usr/share/doc/zorvik-planner/copyright /usr/share/doc/zorvik-planner/changelog.Debian.gz \
         /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
         /usr/share/mime/packages/zorvik-planner.xml /usr/share/man/man1/zorvik-planner.1.gz \
         /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/icons/hicolor/256x256/apps/$id.png \
         /usr/share/icons/hicolor/16x16/apps/$id.png /usr/share/zorvik-planner/screenshots/main-window.png; do
    grep -qx "$f" "$work/contents.txt" || fail "$f is not in the package"
done
! grep -E '^/usr/(include|lib)/|gtest|benchmark|test_' "$work/contents.txt" || fail "build or test files in the package"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6widgets6 libportaudio2 libsndfile1 libc6; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib"
done

# The packaged program tells which build it is, not build 0.
dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/zorvik-planner" --version >"$work/version.txt"
head -n 1 "$work/version.txt" | grep -qE '^Zorvik Planner [0-9]+\.[0-9]+\.[0-9]+ \(build [1-9][0-9]*\)$' ||
    fail "the packaged program's version: $(head -n 1 "$work/version.txt")"
# Its manual page names where the package puts the program.
zcat "$work/root/usr/share/man/man1/zorvik-planner.1.gz" | grep -q '^\.I /usr/libexec/zorvik' ||
    fail "the packaged manual page does not name /usr/libexec"

# lintian refuses nothing as root but says it is not recommended.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
! grep -q '^E:' "$work/lintian.txt" || fail "lintian reports errors"
echo "package checks passed"
