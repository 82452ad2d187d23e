#!/usr/bin/env bash
# The main job: builds the project, makes a sample drawing store and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
# The drawings are Japanese; without a locale of the user's own (unset, C or
# POSIX), show dates and times as a Japanese user sees them.
case "${LC_ALL:-${LANG:-C}}" in
  C | C.* | POSIX) export LC_ALL=ja_JP.UTF-8 ;;
esac
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j"$(nproc)" vexafol >/dev/null
store=${1:-$PWD/out/demo-store}
mkdir -p "$(dirname "$store")"
tool=build/tools/vexafol
"$tool" demo "$store" | tee "$store.log"
echo
"$tool" apps --store "$store"
echo
drawing=$(sed -n 's/^  with backups: *//p' "$store.log")
"$tool" info --store "$store" "$drawing"
echo
# The drawing list as the selection dialog's print button prints it.
"$tool" print "$store" --pdf out/drawing-list.pdf
echo
# The drawing selection dialog over the sample store: on screen when there is a
# display (the chosen paths are printed), otherwise rendered to out/select.png.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Choose drawings in the selection dialog (OK prints their paths):"
  "$tool" select "$store" || true
else
  "$tool" select "$store" --screenshot out/select.png
  echo "No display: the selection dialog was rendered to $PWD/out/select.png"
fi
