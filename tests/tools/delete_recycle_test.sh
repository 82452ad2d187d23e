#!/usr/bin/env bash
# vexafol delete, recycle and restore on a sample store: the question answered on the
# terminal (No keeps the drawing), deletions filling the slots newest first,
# a drawing in use refused, and the command-line errors.
set -euo pipefail
tool=$1
work=$(mktemp -d)
holder=
trap '[[ -n $holder ]] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
export TZ=UTC LC_ALL=C.UTF-8
fail() { echo "FAIL: $*" >&2; exit 1; }

"$tool" demo "$work/store" >/dev/null
mapfile -t drawings < <("$tool" list --store "$work/store" --app 0x1000 --json |
                        sed -n 's/.*"path": "\([^"]*\)".*/\1/p')
(( ${#drawings[@]} >= 3 )) || fail "the sample store has fewer than 3 drawings of 0x1000"
first=${drawings[0]} second=${drawings[1]} third=${drawings[2]}

# No (and the end of input) keep the drawing; the question is the dialog's.
out=$(echo n | "$tool" delete --store "$work/store" "$first") && fail "No deleted"
[[ $out == *"を削除してもよろしいですか？ [y/N]"* ]] || fail "question: $out"
"$tool" delete --store "$work/store" "$first" </dev/null >/dev/null && fail "end of input deleted"
[[ -f $first/INDEX.VXF ]] || fail "the drawing went after No"

out=$(echo y | "$tool" delete --store "$work/store" "$first")
[[ $out == *"を削除しました。"* ]] || fail "done text: $out"
"$tool" delete --store "$work/store" "$second" --yes >/dev/null
[[ ! -e $first && ! -e $second ]] || fail "deleted drawings still in place"

json=$("$tool" recycle "$work/store" --json)
[[ $(grep -c '"slot"' <<<"$json") == 2 ]] || fail "two slots expected: $json"
grep -q "\"slot\": 1, .*/$(basename "$second")\"" <<<"$json" || fail "newest not in slot 1: $json"
grep -q "\"slot\": 2, .*/$(basename "$first")\"" <<<"$json" || fail "older not in slot 2: $json"
table=$("$tool" recycle --store "$work/store")
[[ $(head -1 <<<"$table") == SLOT*TITLE*APPLICATION*DELETED*CONTAINER ]] || fail "table: $table"
[[ $(wc -l <<<"$table") == 3 ]] || fail "table rows: $table"

# A drawing somebody holds is refused before the question.
coproc LOCKER { "$tool" lock --store "$work/store" "$third"; }
holder=$LOCKER_PID
read -r line <&"${LOCKER[0]}"
[[ $line == *granted* ]] || fail "lock: $line"
errors=$("$tool" delete --store "$work/store" "$third" --yes 2>&1 >/dev/null) && fail "held drawing deleted"
[[ $errors == "vexafol: 図面の削除: この図面はロックされています。" ]] || fail "held drawing: $errors"
[[ -f $third/INDEX.VXF ]] || fail "held drawing moved"
[[ $(ls "$work/store/DATA/RECYCCAD" | wc -l) == 2 ]] || fail "a container or LOCK.TMP stayed"

# Restores: slot 1 goes back under the next free number and its container
# goes; a backup is copied as a new drawing and stays.
kill "$holder"; wait "$holder" 2>/dev/null || true; holder=
restored=$("$tool" restore "$work/store" --slot 1)
[[ -f $restored/INDEX.VXF && $restored != */RECYCCAD/* ]] || fail "restored to $restored"
[[ $("$tool" recycle "$work/store" --json | grep -c '"slot"') == 1 ]] || fail "slot 1 still taken"
mkdir "$third/BKUP.002"
cp "$third/INDEX.VXF" "$third/BKUP.002/"
copy=$("$tool" restore "$work/store" --backup "$third" 2)
[[ -f $copy/INDEX.VXF && -f $third/BKUP.002/INDEX.VXF ]] || fail "backup copy '$copy'"
cmp -s "$copy/INDEX.VXF" "$third/INDEX.VXF" || fail "backup copy differs"

# Command-line errors are usage errors (2); a missing drawing is a failure (1).
set +e
"$tool" delete --store "$work/store" >/dev/null 2>&1; [[ $? == 2 ]] || fail "no argument"
"$tool" recycle --bogus >/dev/null 2>&1; [[ $? == 2 ]] || fail "unknown option"
"$tool" restore "$work/store" >/dev/null 2>&1; [[ $? == 2 ]] || fail "restore without what"
"$tool" restore "$work/store" --slot 9 >/dev/null 2>&1; [[ $? == 1 ]] || fail "empty slot"
"$tool" delete --store "$work/store" "$work/none/Fol.001" --yes >/dev/null 2>&1; [[ $? == 1 ]] || fail "missing drawing"
echo ok
