#!/usr/bin/env bash
# Checks what an installed tree offers. Installs the build tree into a scratch
# prefix, runs the installed tool there without LD_LIBRARY_PATH, finds its
# manual pages with man and runs its bash completion, checks that the
# libraries export only their public API and that the UI headers come with the
# UI component, builds the consumer program against the tree with
# find_package(VexaFol) and with pkg-config, and checks the Debian package that
# cpack makes: its file list (manual pages and completion included), and its
# tool and manual page from the unpacked package.
# Usage: check_install.sh BUILD_DIR CONSUMER_SOURCE_DIR UI_BUILT(ON|OFF)
set -euo pipefail
build=$1; source=$2; ui=$3
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/not/a/standard/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/vexafol" --help >/dev/null || fail "the installed tool does not run"
# The manual pages, found by man through MANPATH, and the bash completion,
# which offers the installed tool's commands.
for page in 1 7; do
  MANPATH="$prefix/share/man" man -w "$page" vexafol >/dev/null ||
    fail "man does not find vexafol($page) in $prefix/share/man"
done
page=$(MANPATH="$prefix/share/man" MANWIDTH=100 man 1 vexafol 2>/dev/null)
grep -q 'vexafol list' <<<"$page" || fail "man vexafol shows no command"
completion="$prefix/share/bash-completion/completions/vexafol"
offered=$(PATH="$prefix/bin:$PATH" bash -c 'source "$1"; COMP_LINE="vexafol li" COMP_POINT=10 _vexafol
  printf "%s\n" "${COMPREPLY[@]}"' _ "$completion") || fail "the installed completion fails"
[ "$offered" = list ] || fail "the installed completion offers '$offered' for 'vexafol li'"
core=$(find "$prefix" -name libvexafol.so.0 | head -n 1)
libdir=$(dirname "$core")

# Hidden visibility: the public API is there, the internals are not.
exported=$(nm -D --defined-only -C "$core")
for symbol in 'vexa::GetSenyouCnt()' 'vexa::GetDrawingLockFiles(' 'vexa::VexaFolderLock::LockZmn(' \
              'typeinfo for vexa::FileException'; do
  grep -qF "$symbol" <<<"$exported" || fail "libvexafol does not export $symbol"
done
if grep -E 'vexa::(platform|store|lock|host|folder_list)::|VexaFolderLockInfo' <<<"$exported"; then
  fail "libvexafol exports internals (above)"
fi
# The tool's own helpers live in its private support library, not in the API.
if grep -E 'vexa::(LoginName|ListFolder|ReadSmallFile|WaitForEndOfInput|HoldEndSignals)\(' \
  <<<"$exported"; then
  fail "libvexafol exports the tool's helpers (above)"
fi
if [ "$ui" = ON ]; then
  exported=$(nm -D --defined-only -C "$libdir/libvexafol-ui.so.0")
  grep -qF 'vexa::SelectFolderName(' <<<"$exported" || fail "libvexafol-ui does not export SelectFolderName"
  if grep -F 'vexa::FileDlgBase' <<<"$exported"; then fail "libvexafol-ui exports internals (above)"; fi
fi

# The core component alone brings no header of the UI library.
cmake --install "$build" --prefix "$work/core" --component core >/dev/null
[ -f "$work/core/include/vexafol/vexafol.h" ] || fail "core headers missing from the core component"
for header in dialogs.h ui; do
  [ ! -e "$work/core/include/vexafol/$header" ] || fail "$header installed with the core component"
done

cmake -S "$source" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
ninja -C "$work/consumer" >/dev/null
"$work/consumer/consumer"
pc_dir=$(dirname "$(find "$prefix" -name vexafol.pc | head -n 1)")
flags=$(PKG_CONFIG_PATH="$pc_dir" pkg-config --cflags --libs vexafol)
# shellcheck disable=SC2086
g++ -std=c++20 "$source/main.cpp" -o "$work/consumer-pc" $flags
LD_LIBRARY_PATH="$libdir" "$work/consumer-pc"

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(find "$work/package" -maxdepth 1 -name '*.deb')
[ -n "$deb" ] || fail "cpack made no .deb"
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
# Library folders as GNUInstallDirs chose them: lib, or lib/<multiarch> for /usr.
lib='lib(/[^/]+)?'
expected=('bin/vexafol' 'include/vexafol/vexafol\.h' 'include/vexafol/export\.h'
          'share/man/man1/vexafol\.1\.gz' 'share/man/man7/vexafol\.7\.gz'
          'share/bash-completion/completions/vexafol'
          "$lib/cmake/VexaFol/VexaFolConfig\.cmake" "$lib/cmake/VexaFol/VexaFolTargets\.cmake"
          "$lib/pkgconfig/vexafol\.pc" "$lib/libvexafol\.so\.0")
[ "$ui" = ON ] && expected+=('include/vexafol/dialogs\.h' 'include/vexafol/ui/sx_sheet\.h'
                             "$lib/libvexafol-ui\.so\.0")
for path in "${expected[@]}"; do
  grep -qE "^\./usr/$path\$" <<<"$listing" || fail "/usr/$path is not in the package"
done
dpkg-deb -x "$deb" "$work/unpacked"
"$work/unpacked/usr/bin/vexafol" --help >/dev/null || fail "the packaged tool does not run"
MANPATH="$work/unpacked/usr/share/man" man -w vexafol >/dev/null || fail "man does not find the packaged page"
echo "installed tree, package and consumer programs work"
