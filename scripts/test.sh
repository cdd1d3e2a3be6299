#!/usr/bin/env bash
# Builds the project and runs the whole test suite, in the normal build, again in the
# address+undefined sanitizer build, and in the thread sanitizer build (which leaves out the
# window and the tests on umockdev's emulated devices: docs/thread-sanitizer.md says why).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in default asan tsan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
