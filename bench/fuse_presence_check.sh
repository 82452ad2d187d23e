#!/usr/bin/env bash
# Two computers on one store: the store on a local folder is computer PC-A's
# view, the same folder through the delaying FUSE passthrough is PC-B's (each
# command runs in a UTS namespace of its own with that host name). Holders
# taken through one view must be named by the other, in both directions:
# bench/fuse_presence_check.sh [BUILD_DIR] [MICROSECONDS_PER_REQUEST].
# Prints PASS/FAIL per check and exits 1 on any FAIL. Needs root, /dev/fuse,
# unshare and a build with libfuse3 (scripts/install-deps.sh --fuse-bench) of
# the targets delay_fuse and vexafol; python3 for the noteless holder (that
# check is skipped without it). Not part of CI.
set -euo pipefail
build=${1:-build}
delay=${2:-0}
fuse=$build/bench/delay_fuse
tool=$(realpath "$build/tools/vexafol" 2>/dev/null || echo "$build/tools/vexafol")
for program in "$fuse" "$tool"; do
  [ -x "$program" ] || { echo "missing $program (build delay_fuse and vexafol)"; exit 2; }
done
[ "$(id -u)" -eq 0 ] && [ -w /dev/fuse ] || { echo "needs root and /dev/fuse"; exit 2; }
command -v unshare >/dev/null || { echo "needs unshare (util-linux) to name the computers"; exit 2; }

work=$(mktemp -d)
store=$work/store
share=$work/share
mkdir "$share"
"$tool" demo "$store" >/dev/null
"$fuse" "$store" "$share" "$delay" -f &
daemon=$!
holders=()
cleanup() {
  for pid in "${holders[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  umount "$share" 2>/dev/null || kill "$daemon" 2>/dev/null || true
  wait "$daemon" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
  mountpoint -q "$share" && break
  sleep 0.05
done
mountpoint -q "$share" || { echo "the FUSE mount did not come up"; exit 1; }

login=$(id -un)
drawing=HNY/1
notes=$store/DATA/WORK.001/SITE.001/CAD/HNY/LOCKNOTE
failed=0

check() {  # check WHAT COMMAND...: PASS when the command succeeds
  local what=$1
  shift
  if "$@"; then
    echo "PASS  $what"
  else
    echo "FAIL  $what"
    failed=1
  fi
}

quiet() { "$@" >/dev/null; }

root_of() { [ "$1" = PC-A ] && echo "$store" || echo "$share"; }

# exec_on COMPUTER vexafol-arguments...: becomes the tool as run on that
# computer (in a subshell: the process keeps its id), without the write end of
# a holder's input, which would keep that holder from ever seeing its end.
exec_on() {
  local computer=$1
  shift
  [ -z "${holder_input:-}" ] || exec {holder_input}>&-
  exec unshare --uts sh -c 'hostname "$0" && exec "$@"' "$computer" \
    "$tool" "$@" --store "$(root_of "$computer")"
}

on() { (exec_on "$@"); }

# start_holder COMPUTER lock-arguments...: a `vexafol lock` on that computer,
# holding until its input ends; sets holder (its pid) and holder_input.
start_holder() {
  local computer=$1
  shift
  rm -f "$work/hold" "$work/holder.out"
  mkfifo "$work/hold"
  exec_on "$computer" lock "$drawing" "$@" <"$work/hold" >"$work/holder.out" 2>&1 &
  holder=$!
  holders+=("$holder")
  exec {holder_input}>"$work/hold"
  for _ in $(seq 600); do
    grep -q '^holding\|refused' "$work/holder.out" && break
    sleep 0.05
  done
  grep -q '^holding' "$work/holder.out" && ! grep -q refused "$work/holder.out"
}

end_holder() {  # input ends: the holder releases and exits
  exec {holder_input}>&-
  wait "$holder"
}

# names JSON COMPUTER PID [PREFIX]: the JSON names the holder by login,
# computer and pid (on the line that starts with PREFIX, when given).
names() {
  grep -E "${4:-}\{\"named\": true, \"login\": \"$login\", .*\"computer\": \"$2\", .*\"pid\": $3," \
    <<<"$1" >/dev/null
}

names_nobody() { ! grep -q '"named": true' <<<"$1" && ! grep -q "\"pid\": $2," <<<"$1"; }

direction() {  # direction HOLDER_COMPUTER READER_COMPUTER
  local a=$1 b=$2 status who
  echo "--- holder on $a, read on $b"

  check "$a takes the drawing lock" start_holder "$a"
  who=$(on "$b" who "$drawing" --json)
  status=$(on "$b" status "$drawing" --json)
  check "who --json on $b names the drawing holder" names "$who" "$a" "$holder" '"lock": "drawing".*'
  check "status --json on $b names the drawing holder" names "$status" "$a" "$holder" '"holder": '
  check "wait --timeout 1 on $b exits 1 while held" test "$(on "$b" wait "$drawing" --timeout 1 \
    >/dev/null; echo $?)" = 1
  exec_on "$b" wait "$drawing" --timeout 60 >/dev/null &
  local waiting=$!
  end_holder
  check "a wait on $b started while held exits 0 when the holder ends" wait "$waiting"
  check "wait --timeout 1 on $b exits 0 after the holder ended" on "$b" wait "$drawing" --timeout 1
  check "status --json on $b names nobody after the release" \
    names_nobody "$(on "$b" status "$drawing" --json)" "$holder"

  check "$a takes page 3" start_holder "$a" --page 3
  who=$(on "$b" who "$drawing" --json)
  status=$(on "$b" status "$drawing" --page 3 --json)
  check "who --json on $b names the page holder" names "$who" "$a" "$holder" '"lock": "page", "page": 3.*'
  check "status --json on $b names the page holder" names "$status" "$a" "$holder" '"page": 3, "holder": '
  check "status --json on $b names the page holder as the drawing's user" \
    names "$status" "$a" "$holder" '^ "holder": '
  check "wait --timeout 1 on $b exits 1 while a page is held" test "$(on "$b" wait "$drawing" \
    --timeout 1 >/dev/null; echo $?)" = 1
  end_holder
  check "wait --timeout 1 on $b exits 0 after the page holder ended" \
    on "$b" wait "$drawing" --timeout 1

  check "$a takes the drawing lock and page 3" start_holder "$a" --zmn --page 3
  check "status --json on $b names it before the kill" \
    names "$(on "$b" status "$drawing" --json)" "$a" "$holder"
  kill -9 "$holder"
  wait "$holder" 2>/dev/null || true
  exec {holder_input}>&-
  status=$(on "$b" status "$drawing" --page 3 --json)
  check "status --json on $b names nobody after the kill" names_nobody "$status" "$holder"
  check "status --json on $b finds the drawing free after the kill" \
    grep -q '"isLockZmn": 0, "isExistLockPage": 0' <<<"$status"
  check "who --json on $b names nobody after the kill" \
    names_nobody "$(on "$b" who "$drawing" --json)" "$holder"
  noteless_holder "$a" "$b"
  check "the killed holder's notes are still on disk" \
    test -f "$notes/D001.NOTE" -a -f "$notes/P001-3.NOTE"
  check "check --fix on $b succeeds" quiet on "$b" check "$(root_of "$b")" --fix
  check "check --fix on $b removed the stale notes" \
    test ! -e "$notes/D001.NOTE" -a ! -e "$notes/P001-3.NOTE"
}

# A client that leaves no note takes the killed holder's drawing byte: the
# stale note under that byte's name must stay silent.
noteless_holder() {
  local a=$1 b=$2 lockFile
  if ! command -v python3 >/dev/null; then
    echo "SKIP  a noteless holder on $a (no python3)"
    return
  fi
  lockFile=$(root_of "$a")/DATA/WORK.001/SITE.001/CAD/HNY/CADAPP.LOC
  rm -f "$work/hold" "$work/holder.out"
  mkfifo "$work/hold"
  python3 -c '
import fcntl, sys
f = open(sys.argv[1], "a+b")
fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 1)
print("holding", flush=True)
sys.stdin.read()' "$lockFile" <"$work/hold" >"$work/holder.out" 2>&1 &
  holder=$!
  holders+=("$holder")
  exec {holder_input}>"$work/hold"
  for _ in $(seq 600); do
    [ -s "$work/holder.out" ] && break
    sleep 0.05
  done
  local status
  status=$(on "$b" status "$drawing" --json)
  check "a noteless holder on $a shows on $b as held with no name, not as the killed holder" \
    grep -q '"holder": {"named": false' <<<"$status"
  end_holder
}

direction PC-A PC-B
direction PC-B PC-A
if [ "$failed" -eq 0 ]; then
  echo "owner notes through the FUSE mount ($delay us per request): all checks passed"
else
  echo "owner notes through the FUSE mount ($delay us per request): FAILED"
fi
exit "$failed"
