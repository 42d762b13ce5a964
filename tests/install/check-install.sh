#!/bin/sh
# Installs the planner into a DESTDIR and checks what a desktop reads from
# it: the menu entry, the AppStream description, the plan file type, the
# manual page, the icons; then runs the installed program from there and
# checks it finds its user guide and start-up sound.
# Usage: check-install.sh BUILD_DIR WORK_DIR. Exits 77 (skipped) when a
# checking tool is missing.
set -eu
build=$1
work=$2
for tool in desktop-file-validate appstreamcli xmllint man update-mime-database file cmp timeout; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
root=$work/root
# Not the default prefix, so that a file naming /usr/local is caught.
prefix=/opt/zorvik-check
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log"
top=$root$prefix
share=$top/share
id=org.zorvik.Planner

for f in bin/zorvik-planner libexec/zorvik-planner/zorvik-planner-windows libexec/zorvik-planner/zorvik-planner-chart.so \
         libexec/zorvik-planner/zorvik-planner-print.so libexec/zorvik-planner/zorvik-planner-sound.so share/zorvik-planner/PLANNER.WAV share/doc/zorvik-planner/html/index.html \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/zorvik-planner.xml \
         share/man/man1/zorvik-planner.1.gz share/icons/hicolor/scalable/apps/$id.svg; do
    [ -f "$top/$f" ] || fail "$f was not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    file "$png" | grep -q "PNG image data, $size x $size" || fail "no $size x $size icon"
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=zorvik-planner %f' "$share/applications/$id.desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-zorvik-plan;' "$share/applications/$id.desktop" || fail "MimeType line"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
xmllint --noout "$share/mime/packages/zorvik-planner.xml" || fail "xmllint on the MIME type"
# The AppStream file's home page and screenshot, and the screenshot itself
# installed beside the program: a picture of the main window, not too big.
grep -q '<url type="homepage">https://zorvik.org/planner</url>' "$share/metainfo/$id.metainfo.xml" || fail "no homepage URL"
grep -q '<image type="source" width="1280" height="800">https://[^<]*/main-window.png</image>' \
    "$share/metainfo/$id.metainfo.xml" || fail "no screenshot in the AppStream file"
shot=$share/zorvik-planner/screenshots/main-window.png
file "$shot" | grep -q "PNG image data, 1280 x 800" || fail "screenshot: $(file "$shot")"
[ "$(wc -c <"$shot")" -lt 204800 ] || fail "the screenshot is 200 kB or more"

# The file type as the desktop's database compiles it: the glob and the
# magic of a plan's first line.
cp -r "$share/mime" "$work/mime"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1
grep -q 'application/x-zorvik-plan:\*\.pln' "$work/mime/globs2" || fail "*.pln glob"
grep -aq 'Zorvik Planner' "$work/mime/magic" || fail "first-line magic"

# Another type claims *.pln too; in the database a desktop compiles from the
# system's types and ours, a plan is ours by its name alone (what a file
# manager shows before reading a file) and by its content. xdg-mime asks GIO
# as it does on a GNOME desktop; without a desktop it asks `file`, which
# knows no desktop types.
if command -v gio >/dev/null && command -v xdg-mime >/dev/null && [ -d /usr/share/mime/packages ]; then
    desk=$work/desktop
    mkdir -p "$desk/mime/packages" "$desk/home"
    cp /usr/share/mime/packages/*.xml "$share/mime/packages/zorvik-planner.xml" "$desk/mime/packages/"
    update-mime-database "$desk/mime" >>"$work/mime.log" 2>&1
    printf 'Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n' >"$work/work.pln"
    printf 'a new plan, not written by the planner yet\n' >"$work/new.pln"
    desktop() { env HOME="$desk/home" XDG_DATA_HOME="$desk/home" XDG_DATA_DIRS="$desk" XDG_CURRENT_DESKTOP=GNOME "$@"; }
    for plan in "$work/work.pln" "$work/new.pln"; do
        type=$(desktop xdg-mime query filetype "$plan") || fail "xdg-mime query filetype"
        [ "$type" = application/x-zorvik-plan ] || fail "xdg-mime says $plan is $type"
        desktop gio info -a standard::content-type,standard::fast-content-type "$plan" >"$work/gio.txt" || fail "gio info"
        for attribute in content-type fast-content-type; do
            grep -qx "  standard::$attribute: application/x-zorvik-plan" "$work/gio.txt" ||
                fail "GIO's $attribute of $plan: $(cat "$work/gio.txt")"
        done
    done
else
    echo "skipped the file type as a desktop sees it: gio, xdg-mime or the system's MIME types are missing"
fi

# man-db's sandbox does not work in every container; warnings go to stderr.
MAN_DISABLE_SECCOMP=1 LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/zorvik-planner.1.gz" \
    >"$work/man.txt" 2>"$work/man-warnings.txt" || fail "man"
[ ! -s "$work/man-warnings.txt" ] || { cat "$work/man-warnings.txt" >&2; fail "manual page warnings"; }
# FILES and SEE ALSO name the folders the program was installed to.
for folder in "$prefix/libexec/zorvik-planner/" "$prefix/share/zorvik-planner/PLANNER.WAV" \
              "$prefix/share/doc/zorvik-planner/html/"; do
    grep -qF "$folder" "$work/man.txt" || fail "the manual page does not name $folder"
done
! grep -q '/usr/local' "$work/man.txt" || fail "the manual page names /usr/local, not the prefix"
# Every verb --help names has its entry in the manual page.
"$top/bin/zorvik-planner" --help | grep -o -- '--[a-z][a-z-]*' | sort -u | while read -r option; do
    grep -qE -- "^ +(-[a-z], )?$option( |$)" "$work/man.txt" || fail "the manual page does not explain $option"
done

# Run from the install prefix, the program finds the guide and the chime
# installed beside it ...
"$top/bin/zorvik-planner" --version >"$work/version.txt"
grep -qx "User guide: $share/doc/zorvik-planner/html/index.html" "$work/version.txt" || fail "user guide not found: $(cat "$work/version.txt")"
grep -qx "Start-up sound: $share/zorvik-planner/PLANNER.WAV" "$work/version.txt" || fail "start-up sound not found"
# The full program, run from libexec, tells the command's folder as its own.
"$top/libexec/zorvik-planner/zorvik-planner-windows" --version | cmp -s - "$work/version.txt" || fail "the full program's --version differs"
printf 'Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n' >"$work/empty.pln"
for program in bin/zorvik-planner libexec/zorvik-planner/zorvik-planner-windows; do
    "$top/$program" --info "$work/empty.pln" | grep -qx "Application Path: $top/bin" || fail "$program --info names another folder"
done
# ... and on its first start gives the user the installed chime (marked so
# it cannot be mistaken for the copy compiled in).
printf 'installed' >>"$share/zorvik-planner/PLANNER.WAV"
home=$work/home
mkdir -p "$home"
chmod 700 "$home"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen \
    timeout 20 "$top/bin/zorvik-planner" >"$work/gui.log" 2>&1 &
pid=$!
i=0
while [ ! -s "$home/data/zorvik-planner/PLANNER.WAV" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
sleep 0.2
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
cmp "$share/zorvik-planner/PLANNER.WAV" "$home/data/zorvik-planner/PLANNER.WAV" || fail "installed start-up sound not used"
echo "install checks passed"
