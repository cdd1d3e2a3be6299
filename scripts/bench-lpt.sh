#!/usr/bin/env bash
# Register accesses per byte of the three direct-access write modes (Standard,
# ParallelPortFIFO, ECPFIFO) on the simulated machine, against each mode's floor, for a write
# of BENCH_LPT_BYTES bytes (default 65536) to a printer that never holds Busy.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target zarnik-lpt-bench
build/default/bin/zarnik-lpt-bench "${BENCH_LPT_BYTES:-65536}"
