#!/usr/bin/env bash
# Builds a release and the Debian package talvoria_VERSION_amd64.deb in build-release/.
# Install it with: sudo apt install ./build-release/talvoria_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-release -j"$(nproc)" --target talvoria talvoria-cli
cd build-release
cpack -G DEB
ls -1 "$PWD"/talvoria_*.deb
