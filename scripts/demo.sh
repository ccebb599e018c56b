#!/usr/bin/env bash
# Builds QORVA and replays a recorded measuring session through the whole program in
# virtual time: the monitor shows what the instrument sent, the sheet what was typed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" >/dev/null

replay=build/default/src/qorva-replay
monitor=$(mktemp)
grid=$(mktemp)
trap 'rm -f "$monitor" "$grid"' EXIT
"$replay" --set Datumaus=1 --now "2026-12-10 08:30:00" --chunk 16 --interval 20 \
    --monitor "$monitor" --grid "$grid" samples/demo.txt
echo "== monitor (what the instrument sent) =="
cat "$monitor"
echo "== sheet (what was typed, as CSV) =="
cat "$grid"
