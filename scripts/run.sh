#!/usr/bin/env bash
# Installs what is missing, builds Talvoria and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -x build/src/app/talvoria ]; then
  exec build/src/app/talvoria "$@"
fi
exec build/src/cli/talvoria-cli --help
