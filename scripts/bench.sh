#!/usr/bin/env bash
# Benchmarks arrange-bands and check on generated files of BENCH_MEGABYTES MiB (default 256)
# against cp of the same files, in a temporary folder that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes="${BENCH_MEGABYTES:-256}"
repeats="${BENCH_REPEATS:-3}"

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target zarnik-cli zarnik-bench

dir="$(mktemp -d "${TMPDIR:-/tmp}/zarnik-bench.XXXXXX")"
trap 'rm -rf "$dir"' EXIT
build/default/bin/zarnik-bench "$PWD/build/default/bin/zarnik-cli" "$dir" "$megabytes" "$repeats"
