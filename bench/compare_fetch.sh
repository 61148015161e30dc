#!/usr/bin/env bash
# Fetch speed, peak memory and connection reuse of talvoria-cli fetch next to curl --parallel and
# aria2c, all on the same list from a local server with the same number of transfers at once.
#   bench/compare_fetch.sh [BUILD_DIR]        (default build/)
# Environment: PICTURES (2000), SIZE_KB (64), THREADS (15), RUNS (5), CASES ("speed memory slow"),
# SAVE_TO (a folder on the disk to measure; default a new folder under /tmp), BEFORE (the build
# folder of an earlier talvoria, measured as "before" beside this one), SKIP_OLD (1: the skip option on).
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
cli="$build/src/cli/talvoria-cli"
[ -x "$cli" ] || cli=$(find "$build" -name talvoria-cli -type f -perm -u+x | head -1)
pictures=${PICTURES:-2000}
size_kb=${SIZE_KB:-64}
threads=${THREADS:-15}
runs=${RUNS:-5}
cases=${CASES:-speed memory slow}
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1

need() { # tool package
    command -v "$1" >/dev/null && return 0
    apt-get install -y "$2" >/dev/null 2>&1 || sudo -n apt-get install -y "$2" >/dev/null 2>&1
    command -v "$1" >/dev/null || { echo "note: $1 missing and not installable; skipped"; return 1; }
}
have_nginx=0; [ -x /usr/sbin/nginx ] || need nginx nginx-light; [ -x /usr/sbin/nginx ] && have_nginx=1
have_curl=0; need curl curl && have_curl=1
have_aria=0; need aria2c aria2 && have_aria=1
[ -x /usr/bin/time ] || need time time

work=$(mktemp -d /tmp/compare_fetch.XXXXXX)
chmod 755 "$work" # nginx workers read it as another user
out_root=$(mktemp -d "${SAVE_TO:-/tmp}/compare_fetch_out.XXXXXX")
out_fs=$(df -PT "$out_root" | awk 'NR == 2 {print $2}')
before_cli=""
if [ -n "${BEFORE:-}" ]; then
    before_cli=$(cd "$BEFORE" && pwd)/src/cli/talvoria-cli
    [ -x "$before_cli" ] || { echo "note: no talvoria-cli under $BEFORE; 'before' skipped"; before_cli=""; }
fi
nginx_pid=""
slow_pid=""
cleanup() {
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null
    [ -n "$slow_pid" ] && kill "$slow_pid" 2>/dev/null
    rm -rf "$work" "$out_root"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# Serves $work/www on a free port of 127.0.0.1; sets port.
start_nginx() {
    port=$(free_port)
    mkdir -p "$work/nginx"
    cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 2;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
daemon off;
events { worker_connections 1024; }
http {
    access_log off;
    sendfile on;
    keepalive_requests 100000;
    client_body_temp_path $work/nginx/body;
    server { listen 127.0.0.1:$port; root $work/www; }
}
CONF
    /usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
    nginx_pid=$!
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
}

# Makes count pictures of kb KB named p<i>.jpg under $work/www/set (one file, the rest links).
make_pictures() { # count kb
    rm -rf "$work/www/set"; mkdir -p "$work/www/set"
    { printf '\xff\xd8\xff\xe0'; head -c $(($2 * 1024 - 4)) /dev/urandom; } >"$work/www/set/p0.jpg"
    for i in $(seq 1 $(($1 - 1))); do ln -s p0.jpg "$work/www/set/p$i.jpg"; done
}

write_lists() { # count base_url
    : >"$work/list.lst"; : >"$work/curl.cfg"
    for i in $(seq 0 $(($1 - 1))); do
        echo "$2/set/p$i.jpg" >>"$work/list.lst"
        echo "url = \"$2/set/p$i.jpg\"" >>"$work/curl.cfg"
    done
}

# Runs one tool on the list into a folder of its own; prints "seconds rss_kb files cpu_seconds"
# (user and system time together). On a disk nothing is deleted between runs while there is
# room: on ext4 a folder deleted moments before makes every new file slower to create,
# whichever tool creates it. Dirty pages of earlier runs are flushed before the clock starts.
run_tool() { # name
    local out; out=$(mktemp -d "$out_root/run.XXXXXX")
    local log="$work/time.log"
    sync
    local start end
    start=$(date +%s%N)
    case $1 in
    talvoria|before)
        local binary="$cli"; [ "$1" = before ] && binary="$before_cli"
        /usr/bin/time -v "$binary" --app-dir "$work/app" --no fetch "$work/list.lst" --save-dir "$out" >/dev/null 2>"$log" ;;
    curl)
        /usr/bin/time -v curl -s --fail --parallel --parallel-max "$threads" --remote-name-all --output-dir "$out" \
            -K "$work/curl.cfg" 2>"$log" ;;
    aria2)
        /usr/bin/time -v aria2c -q -j "$threads" -d "$out" -i "$work/list.lst" --file-allocation=none \
            --auto-file-renaming=false --allow-overwrite=true 2>"$log" >/dev/null ;;
    esac
    end=$(date +%s%N)
    local rss files cpu
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
    cpu=$(awk -F': ' '/User time|System time/ {t += $2} END {printf "%.3f", t}' "$log")
    files=$(find "$out" -type f -name '*.jpg' -size +0 | wc -l)
    # In memory (tmpfs) the next run takes the pages this one frees; pages never used since the
    # machine handed them back to its host cost far more to write into, whichever tool comes next.
    [ "$out_fs" = tmpfs ] && rm -rf "$out"
    echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }') $rss $files $cpu"
}

tools() {
    echo talvoria
    [ -n "$before_cli" ] && echo before
    [ $have_curl = 1 ] && echo curl
    [ $have_aria = 1 ] && echo aria2
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

mkdir -p "$work/app"
# SKIP_OLD=1 turns on "不下载以前下载过的图片": each album is then flushed to the disk before its mark.
"$cli" --app-dir "$work/app" settings nThreads="$threads" nTimeout=30 nOptions=$((${SKIP_OLD:-0} ? 64 : 0)) >/dev/null

echo "talvoria-cli: $cli; $(nproc) cores; $threads transfers at once"

if [[ " $cases " == *" speed "* ]] && [ $have_nginx = 1 ]; then
    start_nginx
    make_pictures "$pictures" "$size_kb"
    write_lists "$pictures" "http://127.0.0.1:$port"
    echo
    echo "== speed: $pictures pictures of $size_kb KB from nginx into $out_root, $runs rounds (tools take turns) =="
    # The disk's own pace drifts from round to round; each round's ratio compares runs made
    # side by side, and the medians of those are the figures.
    declare -A rates ratios cpus cpu_ratios
    for tool in $(tools); do run_tool "$tool" >/dev/null; done # warm-up: programs and pictures in the cache
    rm -rf "$out_root"/run*
    for r in $(seq "$runs"); do
        declare -A round=()
        # The earlier rounds' files stay while two more rounds fit; a folder in memory (tmpfs)
        # would otherwise fill the memory of the machine itself.
        round_kb=$((pictures * size_kb * $(tools | wc -l)))
        [ "$(df -Pk "$out_root" | awk 'NR == 2 {print $4}')" -lt $((2 * round_kb)) ] && rm -rf "$out_root"/run*
        for tool in $(tools); do
            read -r secs rss files cpu < <(run_tool "$tool")
            rate=$(awk -v n="$files" -v s="$secs" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')
            printf '%-9s round %d: %7.3f s  %6s pictures/s  %7d KB peak RSS  %d files  %6.3f s CPU\n' "$tool" "$r" "$secs" "$rate" "$rss" "$files" "$cpu"
            rates[$tool]+="$rate "
            round[$tool]=$rate
            cpus[$tool]=$cpu
        done
        for tool in $(tools); do
            [ "$tool" = talvoria ] && continue
            ratios[$tool]+="$(awk -v a="${round[talvoria]}" -v b="${round[$tool]}" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }') "
            cpu_ratios[$tool]+="$(awk -v a="${cpus[talvoria]}" -v b="${cpus[$tool]}" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }') "
        done
    done
    for tool in $(tools); do
        printf '%-9s median %6s pictures/s\n' "$tool" "$(echo "${rates[$tool]}" | tr ' ' '\n' | grep . | median)"
    done
    for tool in $(tools); do
        [ "$tool" = talvoria ] && continue
        printf 'ratio talvoria / %-8s per round: %s  median %.2f\n' "$tool" "${ratios[$tool]}" \
            "$(echo "${ratios[$tool]}" | tr ' ' '\n' | grep . | median)"
        printf 'CPU talvoria / %-10s per round: %s  median %.2f\n' "$tool" "${cpu_ratios[$tool]}" \
            "$(echo "${cpu_ratios[$tool]}" | tr ' ' '\n' | grep . | median)"
    done
    rm -rf "$out_root"/run*
fi

if [[ " $cases " == *" memory "* ]] && [ $have_nginx = 1 ]; then
    [ -n "$nginx_pid" ] || start_nginx
    for mb in 20 200; do
        make_pictures "$threads" $((mb * 1024))
        write_lists "$threads" "http://127.0.0.1:$port"
        echo
        echo "== memory: $threads pictures of $mb MB at once (target: under 64 MB) =="
        for tool in $(tools); do
            read -r secs rss files _ < <(run_tool "$tool")
            printf '%-9s %7.2f s  %7d KB peak RSS  %d files\n' "$tool" "$secs" "$rss" "$files"
            rm -rf "$out_root"/run*
        done
    done
fi

if [[ " $cases " == *" slow "* ]]; then
    slow_n=${SLOW_PICTURES:-300}
    make_pictures "$slow_n" 16
    echo
    echo "== slow accept: $slow_n pictures of 16 KB, every new connection waits 100 ms =="
    for tool in $(tools); do
        rm -f "$work/port" "$work/count"
        python3 "$here/slow_accept_server.py" "$work/www" "$work/port" "$work/count" 100 &
        slow_pid=$!
        for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
        write_lists "$slow_n" "http://127.0.0.1:$(cat "$work/port")"
        read -r secs rss files _ < <(run_tool "$tool")
        printf '%-9s %7.2f s  %5s connections  %d files\n' "$tool" "$secs" "$(cat "$work/count" 2>/dev/null || echo 0)" "$files"
        rm -rf "$out_root"/run*
        kill "$slow_pid"; wait "$slow_pid" 2>/dev/null; slow_pid=""
    done
fi
