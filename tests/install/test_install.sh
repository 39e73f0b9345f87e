#!/bin/sh
# Installs the build into a temporary root the way the package does and starts both programs from there as
# a player would: the programs come from bin, their pages and manual from share/quintar-7x35, their data go
# to the XDG data folder (never into the program's folder), and the menu entry and the AppStream file pass
# their validators.
# Usage: test_install.sh BUILD_FOLDER
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root/usr" >/dev/null
prefix=$root/usr
id=org.example.quintar.quintar7x35
for f in bin/Quintar_7x35 bin/quintar-cli \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
    share/icons/hicolor/128x128/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
    share/quintar-7x35/help/Zembra_RUS.html share/quintar-7x35/help/Filters_1049_NUMS.htm; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done
[ ! -e "$prefix/bin/quintar-catalogue-server" ] || fail "the catalogue service is installed with the programs"
[ ! -e "$prefix/bin/help" ] || fail "pages are installed beside the programs"

# Every page of the manual that a page links to, and every picture it shows, is installed.
help=$prefix/share/quintar-7x35/help
[ -n "$(ls "$help"/chapters/*.html 2>/dev/null)" ] || fail "the manual has no chapters"
for page in "$help/Zembra_RUS.html" "$help"/chapters/*.html; do
  dir=$(dirname "$page")
  for target in $(grep -o -E '(href|src)="[^"#:]+' "$page" | sed -E 's/^(href|src)="//' | sort -u); do
    [ -e "$dir/$target" ] || fail "$(basename "$page") links to $target, which is not installed"
  done
done

v=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) || fail "desktop-file-validate: $v"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
grep -q '^Exec=Quintar_7x35$' "$prefix/share/applications/$id.desktop" || fail "the menu entry starts something else"

# Both programs on a fresh user's XDG folder, with the program folder left as the install made it.
export HOME="$root/home" XDG_DATA_HOME="$root/home/.local/share"
mkdir -p "$HOME"
data=$XDG_DATA_HOME/Quintar_7x35
out=$("$prefix/bin/quintar-cli" catalogue) || fail "quintar-cli catalogue"
echo "$out" | grep -q "NUMS" || fail "quintar-cli catalogue lists no NUMS"
[ -d "$data" ] || fail "quintar-cli made no data folder $data"
"$prefix/bin/quintar-cli" draws demo --count=20 >/dev/null || fail "quintar-cli draws demo"
[ -s "$data/Quintar_7x35.ldr" ] || fail "the archive is not in the XDG folder"

# The desktop program: no download question at its start, a picture of its window, then it closes.
printf '[TFormMain]\r\nDownloadDrawsOnStart=2\r\n' >"$data/Quintar_7x35.frm"
QT_QPA_PLATFORM=offscreen timeout 60 "$prefix/bin/Quintar_7x35" --screenshot="$root/window.png" >/dev/null 2>&1 ||
  fail "the desktop program did not start and close"
[ -s "$root/window.png" ] || fail "the desktop program took no screenshot"
[ -e "$data/Quintar_7x35.lsk" ] || fail "the desktop program kept no stakes file in $data"
grep -q "LeftPanelWidth" "$data/Quintar_7x35.frm" || fail "the desktop program wrote no window settings to $data"
leftovers=$(ls "$prefix/bin" | grep -v -x -e Quintar_7x35 -e quintar-cli || true)
[ -z "$leftovers" ] || fail "the programs wrote into their folder: $leftovers"
echo "installed and started from $prefix"
