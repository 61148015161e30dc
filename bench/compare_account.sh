#!/usr/bin/env bash
# A whole fake account downloaded by talvoria-cli next to curl --parallel fetching the same
# pictures from a ready list, at several answer delays; then the peak memory of a list-only run
# over a large account.
#   bench/compare_account.sh [BUILD_DIR]        (default build/)
# Environment: BEFORE (the build folder of an earlier talvoria, measured beside this one), and
# bench_account's own: ALBUMS, PICTURES, DELAYS, THREADS, SIZE_KB.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
before=()
[ -n "${BEFORE:-}" ] && before=("$(cd "$BEFORE" && pwd)/src/cli/talvoria-cli")
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
"$build/bench/bench_account" "$build/src/cli/talvoria-cli" "${before[@]}"
echo
ALBUMS=${BIG_ALBUMS:-10000} PICTURES=10 DELAYS=0 LIST_ONLY=1 \
    "$build/bench/bench_account" "$build/src/cli/talvoria-cli" "${before[@]}"
