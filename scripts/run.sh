#!/usr/bin/env bash
# Installs what is missing, builds Talvoria and starts its window (build/src/app/talvoria).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/src/app/talvoria "$@"
