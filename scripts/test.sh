#!/usr/bin/env bash
# Builds the project and runs the whole test suite, in the normal build and again in the
# address+undefined sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
