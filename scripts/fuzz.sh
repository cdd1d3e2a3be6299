#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address+undefined sanitizers) and runs each for a
# bounded time, starting from small valid seeds. FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
targets=(data_file_check band_arrangement device_id print_queue_address settings_file sim_config
  printer_replies)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target zarnik-cli "${targets[@]/#/fuzz_}"

work="build/fuzz/corpus"
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
done

# A data file made by add-header.
printf 'seed payload \x00\x01\x02' >"$work/payload.bin"
build/fuzz/bin/zarnik-cli add-header "$work/payload.bin" "$work/data_file_check/seed.vop" >/dev/null
# A one-page, two-plane print-data stream.
printf '\x1b\x40\x00\x02\x00\xbf\xff\x10\x2b\x1b\x50\x01\x08\x00\xaf\x01\x01\x01\x01\x01\x01\x01\x01\x2b\x1b\x51\x02\x1c\x00\xae\x30\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x6c\x1b\x52\x03\x08\x00\xad\x02\x00\x00\x00\x01\x00\x01\x00\x29\xa0\xa0\x1b\x52\x04\x08\x00\xad\x03\x00\x00\x00\x01\x00\x01\x00\x2b\xa1\xa1\xa1\x1b\x52\x05\x08\x00\xad\x01\x00\x00\x00\x02\x00\x01\x00\x2b\xa2\x1b\x52\x06\x08\x00\xad\x02\x00\x00\x00\x02\x00\x01\x00\x2d\xa3\xa3\x1b\x55\x07\x01\x00\xaa\x00\x22\x1b\x41\x08\x01\x00\xbe\x00\x23' \
  >"$work/band_arrangement/seed.prn"
# A printer's IEEE 1284 device ID.
printf 'MFG:Zarnik;MDL:QX4410;CMD:PJL,PCL;CLS:PRINTER;SN:A1;' >"$work/device_id/seed.txt"
# The device address a print server gives for a queue (first byte: the room the reader gives).
printf '\x40parallel:/dev/lp0' >"$work/print_queue_address/seed-lp0.bin"
printf '\x08usb://Maker/Model?serial=1' >"$work/print_queue_address/seed-usb.bin"
# A settings file and a printer profile as a person writes them.
printf '; settings\r\n[System]\r\nOutput=0\r\nTimeOut = 25\r\nVid=04B8\r\n\r\n[StartJob]\r\nMachineID="1234"\r\n' \
  >"$work/settings_file/seed.ini"
printf '[Printer]\nControllerFW=EF12\nEngineFW=010203040506\nFlashSizeCode=40\nProgressStep=5\nSilentAfter=3\n' \
  >"$work/sim_config/seed.ini"
# The printer's replies: an accepted Start Job, an 8 Mbit capacity reply, the two version
# replies, and a flash write to its end.
{
  printf '\x20\x1b\x40\x00'; head -c 29 /dev/zero
  printf '\x20\x1b\x70'; head -c 8 /dev/zero; printf '\x40'; head -c 21 /dev/zero
  printf '\x20\x1b\x60EF12'; head -c 26 /dev/zero
  printf '\x20\x1b\x60'; head -c 18 /dev/zero; printf 'ABCDEFGHIJKL'
  for status in '\x85' '\x5f' '\xd0' '\x01'; do
    printf '\x18\x1b\x73'; head -c 21 /dev/zero; printf "$status"
  done
} >"$work/printer_replies/seed.bin"

for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds}s"
  build/fuzz/bin/"fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/fuzz_$target-" "$work/$target" 2>&1 | tail -n 12
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz_$target found a failure" >&2; exit 1; }
done
