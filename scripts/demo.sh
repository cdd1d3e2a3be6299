#!/usr/bin/env bash
# The whole tool in one run: installs what the build needs, builds the default preset, makes a
# sample demo-print data file, checks it, writes it into the virtual printer's flash on the
# simulated machine, asks the printer for its versions, and proves from the trace of every
# byte the printer received that the data file arrived whole.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n== %s\n' "$*"; }

step "Installing the build's packages (scripts/install-deps.sh)"
scripts/install-deps.sh

step "Building the default preset"
cmake --preset default >/dev/null
cmake --build --preset default -j2

cli="build/default/bin/zarnik-cli"
work="build/demo"
rm -rf "$work"
mkdir -p "$work"
# A fresh settings file: the defaults, so the printer is reached on USB ("Output" 1) by the
# settings' "Vid" and "Pid", which the virtual printer shows.
settings=(--settings "$work/zarnik.INI")

step "Making a sample demo print payload ($work/demo-print.bin)"
# 40 KiB of a repeating text: something to recognise in the flash image and the trace.
head -c $((40 * 1024)) < <(yes 'Zarnik demo print data 0123456789') > "$work/demo-print.bin"

step "Wrapping it into a data file: zarnik-cli add-header"
"$cli" add-header "$work/demo-print.bin" "$work/demo-print.vop"

step "Checking the data file: zarnik-cli check"
"$cli" check "$work/demo-print.vop"

step "Flashing it into the virtual printer: zarnik-cli --simulate flash --type demo --yes"
"$cli" "${settings[@]}" --simulate --sim-trace "$work/trace.bin" \
  flash "$work/demo-print.vop" --type demo --yes

step "Asking the virtual printer for its versions: zarnik-cli --simulate version"
"$cli" "${settings[@]}" --simulate version

step "Verifying the trace of the flash write ($work/trace.bin)"
size=$(stat -c %s "$work/demo-print.vop")
trace_size=$(stat -c %s "$work/trace.bin")
# Start Job (9 bytes) and Download Firmware (19) come first, then the data file and its sum
# byte, then Execute Flash Write (17) and End Job (8).
expected=$((9 + 19 + size + 1 + 17 + 8))
if [[ "$trace_size" -ne "$expected" ]]; then
  echo "demo.sh: the trace holds $trace_size bytes, expected $expected" >&2
  exit 1
fi
if ! cmp <(tail -c +29 "$work/trace.bin" | head -c "$size") "$work/demo-print.vop"; then
  echo "demo.sh: the data file in the trace differs from $work/demo-print.vop" >&2
  exit 1
fi
echo "The trace holds all $trace_size bytes: the frames and the whole $size-byte data file."
echo "Done. Files are in $work/."
