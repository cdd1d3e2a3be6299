#!/usr/bin/env bash
# Benchmarks the file tools on generated files of BENCH_MEGABYTES MiB (default 256) against the
# system tools on the same files (check against cat FILE >/dev/null, arrange-bands against cp,
# add-header against cat IN >OUT), best of BENCH_REPEATS alternating runs (default 5), and the
# flash write's peak memory for a 16 MiB data file on the simulated printer. Works in a
# temporary folder that is removed afterwards. Not part of CI's pass or fail.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes="${BENCH_MEGABYTES:-256}"
repeats="${BENCH_REPEATS:-5}"

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target zarnik-cli zarnik-bench

dir="$(mktemp -d "${TMPDIR:-/tmp}/zarnik-bench.XXXXXX")"
trap 'rm -rf "$dir"' EXIT
build/default/bin/zarnik-bench "$PWD/build/default/bin/zarnik-cli" "$dir" "$megabytes" "$repeats"
