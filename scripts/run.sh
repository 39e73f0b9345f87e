#!/bin/sh
# Starts the program on its own data folder (build/demo-data), seeding it with a demo archive the first
# time: random draws made by the program, not real results.
set -e
BUILD=${1:-build}
DATA="$BUILD/demo-data"
mkdir -p "$DATA"
if [ ! -s "$DATA/Quintar_7x35.ldr" ]; then
  "$BUILD/src/cli/quintar-cli" --data-dir="$DATA" draws demo --count=300
fi
"$BUILD/src/cli/quintar-cli" --data-dir="$DATA" draws list | head -n 20
