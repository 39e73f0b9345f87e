#!/bin/sh
# Takes the pictures of the user manual (manual/chapters/img/*.png) from the real desktop program on Qt's
# offscreen platform, so they can be renewed whenever the interface changes:
#   sh scripts/manual-screenshots.sh [BUILD]        (after make build; or: make manual-screenshots)
# The data folder is a fresh temporary one: the real archive from ../shared/data when it is there (else a
# demo archive of random draws), the script example of the manual tested over 20 draws so that the stakes,
# rating and script pages have something to show. With pngquant installed the pictures are reduced to a
# palette, which keeps them small.
set -eu
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
CLI="$BUILD/src/cli/quintar-cli"
GUI="$BUILD/src/gui/Quintar_7x35"
OUT="$ROOT/manual/chapters/img"
[ -x "$CLI" ] && [ -x "$GUI" ] || { echo "Build the programs first (make build)." >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
DATA="$WORK/data"
mkdir -p "$DATA" "$OUT"

CSV="$ROOT/../shared/data/draws-7x35-import.csv"
if [ -f "$CSV" ]; then
  "$CLI" --data-dir="$DATA" draws import "$CSV" >/dev/null
else
  "$CLI" --data-dir="$DATA" draws demo --count=300 >/dev/null
fi
# The example of the chapter on scripts, as the script of the page and tested over the last 20 draws.
printf 'EXCL:10#FIRST|TMD1#NUMS:30#LMV:10#SF:1|TMF1#SUMS:100#CMV:2#SF:1| | | | | |Горячие числа и частые суммы\r\n' |
  iconv -f UTF-8 -t CP1251 >"$DATA/Quintar_7x35.lss"
"$CLI" --data-dir="$DATA" script test "$DATA/Quintar_7x35.lss" --tests=20 >/dev/null

# A 1100x700 window on a 1280x800 screen, no questions at the start.
cat >"$WORK/screen.json" <<'JSON'
{ "screens": [ { "name": "manual", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96 } ] }
JSON
printf '[TFormMain]\r\nDownloadDrawsOnStart=2\r\nAutoUpdates=0\r\nPixelsPerInch=96\r\nShowCmd=1\r\nNormPos_1280x800=0,0,1100,700\r\n' \
  >"$DATA/Quintar_7x35.frm"

shot() {  # shot FILE PAGES
  QT_QPA_PLATFORM="offscreen:configfile=$WORK/screen.json" timeout 120 \
    "$GUI" --data-dir="$DATA" --screenshot="$WORK/$1" --screenshot-page="$2" >/dev/null 2>&1
  if command -v pngquant >/dev/null 2>&1; then
    pngquant --quality=60-90 --speed 1 --strip --force -o "$OUT/$1" "$WORK/$1"
  else
    cp "$WORK/$1" "$OUT/$1"
  fi
  echo "$OUT/$1"
}
shot draws.png "Архив тиражей,Статистика"
shot combs.png "Комбинации,Статистика"
shot stakes.png "Архив тиражей,Ставки"
shot ratings.png "Комбинации,Рейтинг"
shot script.png "Архив тиражей,Сценарий"
