#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, builds the consumer program
# against it with find_package(VexaFol) and with pkg-config, and runs both.
set -euo pipefail
build=$1; source=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
ninja -C "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib:$work/prefix/lib/x86_64-linux-gnu" "$work/consumer/consumer"
pc_dir=$(dirname "$(find "$work/prefix" -name vexafol.pc | head -n 1)")
flags=$(PKG_CONFIG_PATH="$pc_dir" pkg-config --cflags --libs vexafol)
# shellcheck disable=SC2086
g++ -std=c++20 "$source/main.cpp" -o "$work/consumer-pc" $flags
LD_LIBRARY_PATH="$work/prefix/lib:$work/prefix/lib/x86_64-linux-gnu" "$work/consumer-pc"
echo "installed package builds and runs"
