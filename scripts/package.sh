#!/usr/bin/env bash
# Builds the Debian package from the default build: build/default/package/zarnik_VERSION_ARCH.deb.
# Prints the path of the package as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default -j2
rm -f build/default/package/*.deb
(cd build/default && cpack -G DEB >/dev/null)
ls build/default/package/*.deb
