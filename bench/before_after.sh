#!/usr/bin/env bash
# Every performance figure of two builds in one run on this machine: the naming benchmark of
# each, then compare_fetch.sh with the earlier build measured beside the later one.
#   bench/before_after.sh BEFORE_BUILD [AFTER_BUILD]     (AFTER_BUILD defaults to build/)
# The earlier build needs talvoria-cli; its bench_naming is used when it has one. Environment
# as for compare_fetch.sh.
set -u
here=$(cd "$(dirname "$0")" && pwd)
before=$(cd "${1:?usage: before_after.sh BEFORE_BUILD [AFTER_BUILD]}" && pwd)
after=$(cd "${2:-$here/../build}" && pwd)

for side in before after; do
    dir=$before; [ $side = after ] && dir=$after
    echo "== naming, $side ($dir)"
    if [ -x "$dir/bench/bench_naming" ]; then
        "$dir/bench/bench_naming"
    else
        echo "no bench/bench_naming in this build"
    fi
done
echo
BEFORE="$before" bash "$here/compare_fetch.sh" "$after"
