#!/usr/bin/env bash
# Saves PNG pictures of the Zarnik main window and of every dialog it opens into
# docs/screenshots/. Runs the built program (build/default/bin/zarnik by default, or $ZARNIK)
# on a fresh settings file and on the simulated machine (--simulate), so that Get Version and
# Write Data Flash ROM run against the virtual printer and the Status Display is taken in the
# middle of a write. Runs under Xvfb when xvfb-run is there, else on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."

program="${ZARNIK:-build/default/bin/zarnik}"
cli="${ZARNIK_CLI:-$(dirname "$program")/zarnik-cli}"
out="docs/screenshots"
if [[ ! -x "$program" || ! -x "$cli" ]]; then
  echo "screenshots.sh: $program or $cli not found; build it first (cmake --preset default &&" \
       "cmake --build --preset default)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/*.png

# A demo print data file for the flash write: 200 KiB, so the Status Display has time to be
# taken mid-write.
head -c 204800 /dev/zero | tr '\0' 'Z' > "$work/demo.bin"
"$cli" add-header "$work/demo.bin" "$work/demo.vop" >/dev/null

# A settings file with a few paths filled in, so the dialogs show what a user would see.
cat > "$work/zarnik.INI" <<INI
[System]
Output=1
[FlashWrite]
FROMFile=$work/demo.vop
[VopFileChk]
Check=/home/service/data/demo.vop
[VopMaker]
ReadFile=/home/service/data/demo.bin
WriteFile=/home/service/data/demo.vop
[BandAdjust]
InputFile=/home/service/capture/job.prn
OutputFile=/home/service/capture/job-merged.prn
INI

# A link of 100 000 bytes per second, so the data stream takes about two seconds and its
# progress is taken halfway.
printf '[Printer]\nLinkSpeed=100000\n' > "$work/slow-link.ini"
# A print queue holding LPT1:, so the port is refused and the failure box says why.
printf '[Printer]\nPrintQueue=Office laser\n' > "$work/print-queue.ini"

run() {
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$@"
  else
    QT_QPA_PLATFORM=offscreen "$program" "$@"
  fi
}

run --settings "$work/zarnik.INI" --simulate --sim-config "$work/slow-link.ini" \
  --screenshot-dir "$out"
# Of the run with the print queue (on the parallel port, which the queue holds) only the
# failure box of the flash write is kept.
sed 's/^Output=1/Output=0/' "$work/zarnik.INI" > "$work/zarnik-lpt.INI"
run --settings "$work/zarnik-lpt.INI" --simulate --sim-config "$work/print-queue.ini" \
  --screenshot-dir "$work/refused" >/dev/null
cp "$work/refused/transmission-failure.png" "$out/transmission-failure-print-queue.png"
echo "$out/transmission-failure-print-queue.png"
