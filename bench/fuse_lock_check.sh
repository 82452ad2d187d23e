#!/usr/bin/env bash
# Runs the lock protocol's tests on the delaying FUSE passthrough instead of a
# local disk: bench/fuse_lock_check.sh [BUILD_DIR] [MICROSECONDS_PER_REQUEST].
# Needs root, /dev/fuse and a build with -DVEXA_BUILD_BENCH=ON and libfuse3
# (scripts/install-deps.sh --fuse-bench) of the targets delay_fuse and
# lock_tests. Not part of CI.
set -euo pipefail
build=${1:-build}
delay=${2:-0}
fuse=$build/bench/delay_fuse
tests=$build/tests/lock/lock_tests
for program in "$fuse" "$tests"; do
  [ -x "$program" ] || { echo "missing $program (build delay_fuse and lock_tests)"; exit 2; }
done
[ "$(id -u)" -eq 0 ] && [ -w /dev/fuse ] || { echo "needs root and /dev/fuse"; exit 2; }

work=$(mktemp -d)
mkdir "$work/source" "$work/mount"
"$fuse" "$work/source" "$work/mount" "$delay" -f &
daemon=$!
cleanup() {
  umount "$work/mount" 2>/dev/null || kill "$daemon" 2>/dev/null || true
  wait "$daemon" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
  mountpoint -q "$work/mount" && break
  sleep 0.05
done
mountpoint -q "$work/mount" || { echo "the FUSE mount did not come up"; exit 1; }

status=0
TMPDIR=$work/mount "$tests" --gtest_brief=1 || status=$?
result=passed
[ "$status" -eq 0 ] || result=FAILED
echo "lock protocol tests on the FUSE mount ($delay us per request): $result"
exit "$status"
