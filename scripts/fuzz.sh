#!/bin/sh
# Runs each libFuzzer harness of the readers for a short time (default 60
# seconds each) with AddressSanitizer and UndefinedBehaviorSanitizer, starting
# from the seed corpus in tests/fuzz/corpus. Needs clang (apt-get install clang).
# Not part of the tests or CI: run it by hand after changing a reader. A single
# allocation over 64 MiB counts as a fault (memory must follow what is kept).
#   scripts/fuzz.sh [SECONDS] [HARNESS...]      HARNESS: pageinfo headfile ini wildcard form
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
harnesses=${*:-pageinfo headfile ini wildcard form}
build=build-fuzz
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is not installed" >&2; exit 2; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVEXA_BUILD_FUZZ=ON -DVEXA_SANITIZE=ON -DVEXA_BUILD_UI=OFF -DVEXA_BUILD_TESTS=OFF \
  -DVEXA_BUILD_BENCH=OFF >/dev/null
targets=""
for h in $harnesses; do targets="$targets ${h}_fuzz"; done
nice ninja -C "$build" -j2 $targets
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for h in $harnesses; do
  mkdir -p "$work/$h"
  cp tests/fuzz/corpus/"$h"/* "$work/$h/"
  echo "== $h: $seconds s"
  # New inputs go to the scratch corpus; the seeds in the tree stay as they are.
  TMPDIR="$work" "$build/tests/fuzz/${h}_fuzz" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=1024 -malloc_limit_mb=64 -timeout=5 -artifact_prefix="$work/$h-" "$work/$h" || {
    status=1
    echo "fuzz.sh: $h found a fault; the input is kept in $build/" >&2
    cp "$work/$h"-* "$build/" 2>/dev/null || true
  }
done
exit $status
