#!/usr/bin/env bash
# Builds the core, talvoria-cli and the non-GUI suite with AddressSanitizer and
# UndefinedBehaviorSanitizer in ./build-asan and runs talvoria_tests there. The first finding
# ends the program that made it, so the test fails. The GUI targets are not built.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DTALVORIA_SANITIZE=address,undefined -DTALVORIA_BUILD_GUI=OFF "${launcher[@]}" >/dev/null

# Exported before the build too: test discovery runs the instrumented binary.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cmake --build build-asan --target talvoria_tests -j"$(nproc)"
cd build-asan
ctest --output-on-failure --timeout 300 -j"$(nproc)"
