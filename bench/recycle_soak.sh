#!/usr/bin/env bash
# Soak of deleting into the recycle folder: `vexafol delete` killed with
# SIGKILL at random moments, thousands of times, on a store of drawings with
# unique names. After every kill each drawing must be in the application
# folder or in exactly one slot, complete; only the drawing in slot 10 of a
# full recycle folder may go. Prints "drawings lost: N" and fails when N > 0.
#   bench/recycle_soak.sh TOOL [KILLS=2000]
set -uo pipefail
tool=$1
kills=${2:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
store=$work/store
mkdir -p "$store"
for n in $(seq 1 30); do
  "$tool" new --store "$store" --app 0x1 --title "T$n" --pages 2 >/dev/null || exit 1
done
mapfile -t alive < <(seq -f 'T%g' 1 30)

titles_of() { sed -n 's/.*"title": "\([^"]*\)".*/\1/p'; }
# Every title in the application folder and the slots, one per line; the
# soak stops when the tool itself cannot answer.
census() {
  "$tool" list --store "$store" --app 0x1 --no-locks --json >"$work/list.json" &&
    "$tool" recycle "$store" --json >"$work/recycle.json" || {
    echo "the tool cannot list the store" >&2
    exit 2
  }
  titles_of <"$work/list.json"
  titles_of <"$work/recycle.json"
}
# Folders that look like drawings but do not read as one (half moved, half removed).
broken() {
  local count=0 folder
  for folder in "$store"/DATA/*/*/CAD/HNY/Fol.* "$store"/DATA/RECYCCAD/*.0[01]?/Fol.*; do
    [[ -d $folder ]] || continue
    [[ -s $folder/INDEX.VXF && -s $folder/pagefile.000 && -s $folder/pagefile.001 ]] || count=$((count + 1))
  done
  echo "$count"
}

lost=0
moved=0
for ((k = 1; k <= kills; k++)); do
  drawing=$(ls -d "$store"/DATA/*/*/CAD/HNY/Fol.* 2>/dev/null | shuf -n 1)
  if [[ -z $drawing ]]; then  # everything deleted: bring slot 1 back
    "$tool" restore "$store" --slot 1 >/dev/null
    continue
  fi
  evictable=$("$tool" recycle "$store" --json | grep '"slot": 10,' | titles_of)
  "$tool" delete --store "$store" "$drawing" --yes >/dev/null 2>&1 &
  victim=$!
  sleep "0.0$((RANDOM % 10))$((RANDOM % 10))"  # 0 to 99 ms: before, during or after the move
  kill -9 "$victim" 2>/dev/null
  wait "$victim" 2>/dev/null
  [[ -e $drawing ]] || moved=$((moved + 1))
  declare -A found=()
  while IFS= read -r title; do
    [[ -n $title ]] && found[$title]=$((${found[$title]:-0} + 1))
  done <<<"$(census)"
  [[ ${#found[@]} -gt 0 ]] || exit 2
  still=()
  for title in "${alive[@]}"; do
    copies=${found[$title]:-0}
    if [[ $copies == 1 ]] || { [[ $title == "$evictable" ]] && [[ $copies == 0 ]]; }; then
      [[ $copies == 1 ]] && still+=("$title")
    else
      echo "kill $k: $title found $copies times" >&2
      lost=$((lost + 1))
      [[ $copies -gt 1 ]] && still+=("$title")
    fi
  done
  alive=("${still[@]}")
  unset found
  if [[ $(broken) != 0 ]]; then
    echo "kill $k: a drawing folder is incomplete" >&2
    lost=$((lost + 1))
  fi
  # Keep the store from running dry: an evicted drawing is made again.
  while ((${#alive[@]} < 30)); do
    title="T$((30 + k))x${#alive[@]}"
    "$tool" new --store "$store" --app 0x1 --title "$title" --pages 2 >/dev/null || exit 2
    alive+=("$title")
  done
done
echo "kills: $kills (deletions that moved their drawing: $moved), drawings lost: $lost"
((lost == 0))
