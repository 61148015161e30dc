#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in ./build-fuzz and runs each for SECONDS (default 60). New inputs go to build-fuzz/corpus/,
# crashes to build-fuzz/artifacts/; the figures of every run go to build-fuzz/summary.txt.
# Exits non-zero when any target found a crash. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

# clang and its libFuzzer runtime are needed only here, not by the normal build and tests.
missing=()
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
bash scripts/install-deps.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVORIA_FUZZ=ON -DTALVORIA_SANITIZE=address,undefined -DTALVORIA_BUILD_GUI=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_targets -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
summary=build-fuzz/summary.txt
: >"$summary"
failed=()
for target in "${targets[@]}"; do
  # Files read whole need inputs past their fixed size or read bound.
  case "$target" in
    fuzz_soft_data | fuzz_history_mark | fuzz_inflate) max_len=65536 ;;
    *) max_len=8192 ;;
  esac
  corpus="build-fuzz/corpus/$target"
  artifacts="build-fuzz/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  log="build-fuzz/$target.log"
  status=0
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=25 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  units=$(find "$corpus" -type f | wc -l)
  line="$target: execs=${execs:-?} cov=${cov:-?} ft=${ft:-?} corpus=$units exit=$status"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    line+=" FINDING: $(grep -m1 -E 'ERROR:|runtime error|deadly signal|timeout' "$log" || echo see "$log")"
  fi
  echo "$line" | tee -a "$summary"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]} (inputs in build-fuzz/artifacts/, logs in build-fuzz/*.log)" >&2
  exit 1
fi
