#!/usr/bin/env bash
# The manual page vexafol(1) as man renders it (every command with its usage
# and JSON fields, no roff warnings) and vexafol(7); the bash completion run
# in a shell without a terminal: commands, options, option values, application
# codes and drawing numbers of the store given or of the working folder's.
# Usage: manual_completion_test.sh TOOL COMPLETION_SCRIPT MAN1_GZ MAN7_SOURCE
set -euo pipefail
tool=$1 completion=$2 man1=$3 man7=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 MANWIDTH=200
unset VEXAFOL_STORE
fail() { echo "FAIL: $*" >&2; exit 1; }

# The built page is the tool's own output, and roff reads it without a warning.
cmp -s <("$tool" __manpage) <(gzip -dc "$man1") || fail "the built vexafol.1 is not the tool's page"
warnings=$(gzip -dc "$man1" | groff -k -man -Tutf8 -ww -z 2>&1)
[[ -z $warnings ]] || fail "roff warnings: $warnings"
# The text as man shows it and as the help prints it, compared with all white
# space made single spaces (man fills paragraphs to its width).
flat() { tr -s '[:space:]' ' '; }
page=$(man --nh --nj -l "$man1" 2>/dev/null | flat)
mapfile -t commands < <("$tool" __complete -- "" | grep -v '^-')
(( ${#commands[@]} >= 12 )) || fail "commands: ${commands[*]}"
for command in "${commands[@]}"; do
  help=$("$tool" help "$command")
  # The usage lines, the description and the JSON fields: the help up to its
  # last paragraph without the "Usage: " in front.
  for part in "$(sed -n '/^Usage: /,/^$/p' <<<"$help" | sed 's/^Usage: //')" \
              "$(awk 'p && /^$/ {exit} p; /^$/ && u {p=1} /^Usage: / {u=1}' <<<"$help")" \
              "$(sed -n '/^With --json:$/,/^$/p' <<<"$help" | sed 1d)"; do
    [[ $(flat <<<"$part") == " " || -z $part ]] && continue
    grep -qF -- "$(flat <<<"$part" | sed 's/^ //; s/ $//')" <<<"$page" ||
      fail "the manual does not say what '$command --help' says: $part"
  done
done
for section in STORES DRAWINGS "EXIT STATUS" ENVIRONMENT; do
  grep -qF " $section " <<<"$page" || fail "the manual has no section $section"
done
warnings=$(groff -k -man -Tutf8 -ww -z "$man7" 2>&1)
[[ -z $warnings ]] || fail "roff warnings in vexafol.7: $warnings"
grep -q 'CADAPP.LOC' <<<"$(man -l "$man7" 2>/dev/null)" || fail "vexafol(7) does not render"

# Completion, as bash calls it on Tab.
"$tool" demo "$work/store" >/dev/null
mkdir "$work/plain"
PATH=$(dirname "$tool"):$PATH
# complete_line LINE [FOLDER]: the candidates bash would offer at the end of
# LINE, typed in FOLDER.
cat >"$work/driver.sh" <<'DRIVER'
source "$1"
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
COMP_LINE=$2
COMP_POINT=${#2}
_vexafol
printf '%s\n' "${COMPREPLY[@]}"
DRIVER
complete_line() {
  (cd "${2:-$work/plain}" && bash "$work/driver.sh" "$completion" "$1" 2>/dev/null) | sort
}
expect() {  # expect LINE FOLDER WANTED...: every WANTED is offered
  local line=$1 folder=$2; shift 2
  local got; got=$(complete_line "$line" "$folder")
  for wanted in "$@"; do
    grep -qxF -- "$wanted" <<<"$got" || fail "'$line' offers no '$wanted': $(tr '\n' ' ' <<<"$got")"
  done
}
[[ $(complete_line "vexafol ") == "$(printf '%s\n' "${commands[@]}" --help --version | sort)" ]] ||
  fail "commands offered: $(complete_line "vexafol ")"
[[ $(complete_line "vexafol li") == list ]] || fail "'li' gives $(complete_line "vexafol li")"
expect "vexafol help st" . status
expect "vexafol list --" . --store --app --sort --json --help --backups
expect "vexafol list --so" . --sort
[[ $(complete_line "vexafol list --sort ") == "$(seq 0 8)" ]] || fail "sort types"
expect "vexafol select --kind w" . write
expect "vexafol list --store=$work/st" . "$work/store"
expect "vexafol info --store $work/store " . HNY/ YCH/ ODN/ CVL/
expect "vexafol info --store $work/store HNY/" . HNY/1 HNY/10
expect "vexafol list --app " "$work/store" 0x1 0x20
expect "vexafol lock HNY/" "$work/store/DATA/WORK.001" HNY/1 HNY/2
expect "vexafol status 0x1:" "$work/store" 1 10
[[ -z $(complete_line "vexafol info HNY/" "$work/plain") ]] || fail "drawings offered outside a store"
[[ $(export VEXAFOL_STORE=$work/store; complete_line "vexafol who H") == HNY/ ]] ||
  fail "VEXAFOL_STORE ignored by the completion"
echo "manual pages and completion work"
