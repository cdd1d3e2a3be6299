#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address+undefined sanitizers) and runs each for a
# bounded time, starting from small valid seeds. FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target fuzz_data_file_check fuzz_band_arrangement zarnik-cli
cmake --build --preset fuzz -j2 --target fuzz_device_id

work="build/fuzz/corpus"
mkdir -p "$work/data_file_check" "$work/band_arrangement"

# Seeds: a data file made by add-header, and a one-page, two-plane print-data stream.
printf 'seed payload \x00\x01\x02' >"$work/payload.bin"
build/fuzz/bin/zarnik-cli add-header "$work/payload.bin" "$work/data_file_check/seed.vop" >/dev/null
printf '\x1b\x40\x00\x02\x00\xbf\xff\x10\x2b\x1b\x50\x01\x08\x00\xaf\x01\x01\x01\x01\x01\x01\x01\x01\x2b\x1b\x51\x02\x1c\x00\xae\x30\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x6c\x1b\x52\x03\x08\x00\xad\x02\x00\x00\x00\x01\x00\x01\x00\x29\xa0\xa0\x1b\x52\x04\x08\x00\xad\x03\x00\x00\x00\x01\x00\x01\x00\x2b\xa1\xa1\xa1\x1b\x52\x05\x08\x00\xad\x01\x00\x00\x00\x02\x00\x01\x00\x2b\xa2\x1b\x52\x06\x08\x00\xad\x02\x00\x00\x00\x02\x00\x01\x00\x2d\xa3\xa3\x1b\x55\x07\x01\x00\xaa\x00\x22\x1b\x41\x08\x01\x00\xbe\x00\x23' \
  >"$work/band_arrangement/seed.prn"

mkdir -p "$work/device_id"
printf 'MFG:Zarnik;MDL:QX4410;CMD:PJL,PCL;CLS:PRINTER;SN:A1;' >"$work/device_id/seed.txt"

for target in data_file_check band_arrangement device_id; do
  echo "== fuzz_$target for ${seconds}s"
  build/fuzz/bin/"fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/fuzz_$target-" "$work/$target" 2>&1 | tail -n 12
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz_$target found a failure" >&2; exit 1; }
done
