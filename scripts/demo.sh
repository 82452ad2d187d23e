#!/usr/bin/env bash
# The main job: builds the project, makes a sample drawing store and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j"$(nproc)" vexafol >/dev/null
store=${1:-$PWD/out/demo-store}
tool=build/tools/vexafol
"$tool" demo "$store"
echo
"$tool" apps --store "$store"
echo
first=$(find "$store" -type d -name "Fol.001" | sort | head -n 1)
"$tool" info "$first"
