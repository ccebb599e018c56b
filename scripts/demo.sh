#!/usr/bin/env bash
# The main job: a simulated instrument sends measurements over a pseudo-terminal, the
# headless program reads them through its serial component, parses them and types them
# into the sheet preview; when the instrument is done the program is closed and the
# sheet is shown as a spreadsheet would show it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" >/dev/null

bin=$PWD/build/default/src
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
line="$work/instrument"

"$bin/qorva-sim" --family pfi --link "$line" --count 12 --interval 250 --start-delay 500 &
sim=$!
while [ ! -e "$line" ]; do sleep 0.1; done

# The program keeps its settings (qorva.ini) in the directory it starts in.
(cd "$work" && exec "$bin/qorva" --headless --keys sheet --port "$line" \
    --set Manufacturer=ThirdParty --set densito=Blatt5 --set Datumaus=1 >"$work/sheet.csv") &
qorva=$!
wait "$sim"
sleep 1.5
kill -TERM "$qorva"
wait "$qorva"

echo "== the sheet after 12 PFI measurements (marking, value, date) =="
cat "$work/sheet.csv"
