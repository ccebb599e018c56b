#!/usr/bin/env bash
# Builds QORVA and replays a recorded measuring session through the whole program in
# virtual time: the monitor shows what the instrument sent, the sheet what was typed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" >/dev/null

replay=build/default/src/qorva-replay
show() {
    local title=$1 sample=$2
    shift 2
    local monitor grid
    monitor=$(mktemp)
    grid=$(mktemp)
    "$replay" "$@" --now "2026-12-10 08:30:00" --chunk 16 --interval 20 \
        --monitor "$monitor" --grid "$grid" "$sample"
    echo "== $title: what the instrument sent =="
    cat "$monitor"
    echo "== $title: what the spreadsheet shows (CSV) =="
    cat "$grid"
    echo
    rm -f "$monitor" "$grid"
}

show "colour-difference instrument, values with markings" samples/varnik.txt --origin B1 \
    --set Manufacturer=TALMO --set TALMOPages=VARNIKPage
show "PFI densitometer, one measurement per row with its date" samples/pfi.txt \
    --set Manufacturer=ThirdParty --set densito=Blatt5 --set Datumaus=1
