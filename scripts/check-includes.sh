#!/usr/bin/env bash
# Checks the #include lines against the layers of docs/architecture.md: a
# folder may include headers of its own layer and of the layers before it,
# never of a later one. The core layers include no Qt; the tool and the
# examples use public headers only (the tool also its support library's,
# which alone may use the system seam of platform/), the UI library the core's public headers
# only (the core exports nothing else). Tests and benchmarks may include anything.
#
# A public header (include/vexafol/X.h) belongs to the folder of the source
# named after it (X.cpp, or X_<part>.cpp); headers with no source are listed
# below. Prints every offending line and exits 1, or exits 0 silently.
# Usage: check-includes.sh [source tree]  (default: this script's tree)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The layers, lowest first.
layers=(platform host store lock folderlist recycle check print host/ui page/ui print/ui select/ui tools/support tools examples)
core_layers=8  # the first eight make up the core library
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

# The header of the tool's private support library (vexafol_tool_support): the
# one private header the tool may include.
tool_support_header=tools/support/local_system.h

# Public headers without a source of their own.
declare -A header_owner=(
  [vexafol/types.h]=platform
  [vexafol/environ_kinds.h]=host
  [vexafol/senyou_ids.h]=store
  [vexafol/vexafol.h]=print
  [vexafol/ui/resource_ids.h]=host/ui
)

# The folder that owns a public header "vexafol/[ui/]X.h".
owner_of_public() {
  local header=$1 name folders folder
  [[ -n ${header_owner[$header]+set} ]] && { echo "${header_owner[$header]}"; return; }
  name=$(basename "$header" .h)
  if [[ $header == vexafol/ui/* ]]; then folders=(host/ui page/ui print/ui select/ui); else folders=("${layers[@]:0:${#layers[@]}-3}"); fi
  for folder in "${folders[@]}"; do
    [[ -f $folder/$name.cpp ]] && { echo "$folder"; return; }
  done
  for folder in "${folders[@]}"; do
    compgen -G "$folder/${name}_*.cpp" >/dev/null && { echo "$folder"; return; }
  done
  echo platform  # declarations only: usable by every layer
}

# Sets found_layer to the layer of a path: the longest layer folder it starts
# with, or empty.
layer_of_file() {
  local layer
  found_layer=""
  for layer in "${layers[@]}"; do
    [[ $1 == "$layer"/* && ${#layer} -gt ${#found_layer} ]] && found_layer=$layer
  done
  return 0
}

failures=0
fail() {
  echo "$1: $2" >&2
  failures=$((failures + 1))
}

declare -A public_owner
for header in $(cd include && find vexafol -name '*.h'); do
  public_owner[$header]=$(owner_of_public "$header")
done

# The folders to read: nested layers (host/ui) are read with their parent.
top_folders=()
for layer in "${layers[@]}"; do
  [[ $layer == */* ]] || top_folders+=("$layer")
done
# page/ui and select/ui have no core layer above them.
for folder in page select; do [[ -d $folder ]] && top_folders+=("$folder"); done

# Every #include of the layers' sources and headers; a public header counts
# as a member of the layer that owns it.
while IFS=: read -r file line text; do
  if [[ $file == include/* ]]; then
    layer=${public_owner[${file#include/}]}
  else
    layer_of_file "$file"
    layer=$found_layer
  fi
  r=${rank[$layer]}
  [[ $text =~ include[[:space:]]*[\<\"]([^\>\"]+) ]] || continue
  target=${BASH_REMATCH[1]}
  if [[ $target == vexafol/* ]]; then
    owner=${public_owner[$target]:-}
    if [[ -z $owner ]]; then
      fail "$file:$line" "includes $target, which is not a public header"
    elif ((rank[$owner] > r)); then
      fail "$file:$line" "layer $layer includes $target of the later layer $owner"
    fi
  elif [[ $text == *'"'* && $target == */* ]]; then
    layer_of_file "$target"
    owner=$found_layer
    [[ -z $owner ]] && continue  # not a layer's header (tests/ are no layer)
    if [[ $layer == tools && $target == "$tool_support_header" ]]; then
      continue
    elif [[ $layer == tools/support && $owner == platform ]]; then
      continue  # the support library runs on the library's system seam
    elif [[ ($layer == tools || $layer == examples) && $owner != "$layer" ]]; then
      fail "$file:$line" "$layer uses public headers only, not $target"
    elif ((r >= core_layers && rank[$owner] < core_layers)); then
      fail "$file:$line" "the UI library ($layer) uses the core's public headers only, not $target"
    elif ((rank[$owner] > r)); then
      fail "$file:$line" "layer $layer includes $target of the later layer $owner"
    fi
  elif ((r < core_layers)) && [[ $target =~ ^Q[A-Za-z]*(/|$) ]]; then
    fail "$file:$line" "the core library ($layer) does not include Qt ($target)"
  fi
done < <(grep -rsnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' \
  "${top_folders[@]}" include/vexafol | sort)

if ((failures > 0)); then
  echo "check-includes: $failures include(s) break the layer rules of docs/architecture.md" >&2
  exit 1
fi
