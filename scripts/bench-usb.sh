#!/usr/bin/env bash
# Benchmarks the port library's USB write: BENCH_USB_MEGABYTES MiB (default 64) through
# VopP2Write(PORT_USB) to an emulated USB printer node against a plain 4096-byte-block copy of
# the same bytes to the same node, best of BENCH_REPEATS (default 7). Fails when the library
# takes more than 10 % longer.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes="${BENCH_USB_MEGABYTES:-64}"
repeats="${BENCH_REPEATS:-7}"

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target zarnik-usb-bench
LD_PRELOAD=libumockdev-preload.so.0 build/default/bin/zarnik-usb-bench "$megabytes" "$repeats"
