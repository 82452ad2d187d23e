#!/usr/bin/env bash
# The include check on small source trees: a tree that keeps the layer rules
# passes silently; each kind of broken rule is reported with file and line.
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree with one file per layer, each including only what it may.
make_tree() {
  local root=$1
  mkdir -p "$root"/{platform,host/ui,page/ui,store,lock,folderlist,select/ui,tools/support,tools,examples,include/vexafol/ui}
  printf '#include "vexafol/file.h"\n' >"$root/platform/file.cpp"
  printf '#pragma once\n#include "vexafol/types.h"\n' >"$root/include/vexafol/file.h"
  printf '#pragma once\n' >"$root/include/vexafol/types.h"
  printf '#pragma once\n' >"$root/platform/env.h"
  printf '#include "vexafol/senyou.h"\n#include "platform/env.h"\n' >"$root/store/senyou.cpp"
  printf '#pragma once\n#include "vexafol/file.h"\n' >"$root/include/vexafol/senyou.h"
  printf '#pragma once\n' >"$root/lock/lock_file.h"
  printf '#include "lock/lock_file.h"\n#include "vexafol/senyou.h"\n' >"$root/lock/folderlock.cpp"
  printf '#pragma once\n' >"$root/include/vexafol/folderlock.h"
  printf '#include "vexafol/folderlist.h"\n#include "vexafol/folderlock.h"\n' \
    >"$root/folderlist/folderlist.cpp"
  printf '#pragma once\n' >"$root/include/vexafol/folderlist.h"
  printf '#include <QWidget>\n#include "vexafol/folderlist.h"\n' >"$root/select/ui/file_sel_sheet.cpp"
  printf '#pragma once\n#include "vexafol/ui/sx_sheet.h"\n' >"$root/include/vexafol/ui/file_sel_sheet.h"
  printf '#include <QTableView>\n' >"$root/host/ui/sx_sheet.cpp"
  printf '#pragma once\n' >"$root/include/vexafol/ui/sx_sheet.h"
  printf '#include "tools/command.h"\n#include <vexafol/folderlist.h>\n' >"$root/tools/main.cpp"
  printf '#pragma once\n' >"$root/tools/command.h"
  printf '#include "tools/support/local_system.h"\n' >"$root/tools/cmd_who.cpp"
  printf '#pragma once\n' >"$root/tools/support/local_system.h"
  printf '#include "platform/env.h"\n' >"$root/tools/support/local_system.cpp"
  printf '#pragma once\n#include "vexafol/ui/sx_sheet.h"\n' >"$root/page/ui/page_dlg.h"
  printf '#include "page/ui/page_dlg.h"\n' >"$root/select/ui/dialogs.cpp"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

make_tree "$work/good"
out=$(bash "$check" "$work/good" 2>&1) || fail "a tree that keeps the rules was refused: $out"
[[ -z $out ]] || fail "a passing check printed: $out"

make_tree "$work/bad"
printf '#include "folderlist/folderlist_scan.h"\n' >>"$work/bad/lock/folderlock.cpp"
printf '#include "vexafol/folderlist.h"\n' >>"$work/bad/include/vexafol/senyou.h"
printf '#include <QString>\n' >>"$work/bad/store/senyou.cpp"
printf '#include "platform/env.h"\n' >>"$work/bad/select/ui/file_sel_sheet.cpp"
printf '#include "lock/lock_file.h"\n' >>"$work/bad/tools/main.cpp"
printf '#include "platform/env.h"\n' >>"$work/bad/tools/cmd_who.cpp"
printf '#include "vexafol/missing.h"\n' >>"$work/bad/platform/file.cpp"
printf '#include "vexafol/ui/file_sel_sheet.h"\n' >>"$work/bad/host/ui/sx_sheet.cpp"
printf '#include "vexafol/ui/file_sel_sheet.h"\n' >>"$work/bad/page/ui/page_dlg.h"
if out=$(bash "$check" "$work/bad" 2>&1); then fail "a tree that breaks the rules passed"; fi
for expected in \
  "lock/folderlock.cpp:3: layer lock includes folderlist/folderlist_scan.h of the later layer folderlist" \
  "include/vexafol/senyou.h:3: layer store includes vexafol/folderlist.h of the later layer folderlist" \
  "store/senyou.cpp:3: the core library (store) does not include Qt (QString)" \
  "select/ui/file_sel_sheet.cpp:3: the UI library (select/ui) uses the core's public headers only, not platform/env.h" \
  "tools/main.cpp:3: tools uses public headers only, not lock/lock_file.h" \
  "tools/cmd_who.cpp:2: tools uses public headers only, not platform/env.h" \
  "platform/file.cpp:2: includes vexafol/missing.h, which is not a public header" \
  "host/ui/sx_sheet.cpp:2: layer host/ui includes vexafol/ui/file_sel_sheet.h of the later layer select/ui" \
  "page/ui/page_dlg.h:3: layer page/ui includes vexafol/ui/file_sel_sheet.h of the later layer select/ui" \
  "check-includes: 9 include(s) break the layer rules"; do
  grep -qF "$expected" <<<"$out" || fail "missing \"$expected\" in: $out"
done
echo "include check: rules kept and broken as expected"
