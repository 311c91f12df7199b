#!/usr/bin/env bash
# Migrates the sample connection file with --dump-mappings and runs the sed
# lines it printed on the new landscape: every folder gets its old key back.
set -uo pipefail
bin="$1"
out="$2"
rm -rf "$out" && mkdir -p "$out"
cp "$bin/sample/AppData/QOR/Common/qorlogon.ini" "$out/qorlogon.ini"
win() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
export QORLOGON_INI="$(win "$out/qorlogon.ini")" QORLOGON_LSXML="$(win "$out/QORUILandscape.xml")"
# The migration records its state for the user: the user's QOR key is set aside
# for the run and put back after.
saved="$out/qor-key.reg"
wine reg export 'HKCU\Software\QOR' "$(win "$saved")" /y >/dev/null 2>&1 || rm -f "$saved"
put_back() {
  wine reg delete 'HKCU\Software\QOR' /f >/dev/null 2>&1
  [ ! -f "$saved" ] || wine reg import "$(win "$saved")" >/dev/null 2>&1
}
trap put_back EXIT
wine reg delete 'HKCU\Software\QOR' /f >/dev/null 2>&1

wine "$bin/landscape_migrate.exe" --dump-mappings | tr -d '\r' > "$out/stdout.txt"
status=$?
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

[ "$status" -eq 0 ] || fail "landscape_migrate exited with $status"
grep -q '^UUID mappings:$' "$out/stdout.txt" || fail "no mapping dump"
grep -q '^ --- destination_uuid --- source_uuid ---$' "$out/stdout.txt" || fail "no dump header"
grep '^sed -i ' "$out/stdout.txt" > "$out/commands.txt"
[ "$(wc -l < "$out/commands.txt")" -eq 8 ] || fail "expected 8 mappings (4 folders, 4 entries): $(wc -l < "$out/commands.txt")"
grep -q "uuid=\"F-ERP\"" "$out/QORUILandscape.xml" && fail "F-ERP is already there before the commands"

# The migrated tree as xmllint reads it, before any command runs.
xp() { xmllint --xpath "$1" "$out/QORUILandscape.xml" 2>/dev/null; }
check() { [ "$2" == "$3" ] && echo "ok   $1" || fail "$1: expected '$2', got '$3'"; }
check "one workspace, Local" "Local" "$(xp 'string(/Landscape/Workspaces/Workspace/@name)')"
check "folders in source order" "ERP Europe" "$(xp '//Node/@name' | sed -E 's/ name="([^"]*)"/\1 /g' | xargs)"
check "entries in their folders" "C-PRD|C-QAS S-SU01|L-PRD" "$(xp 'string(//Node[@name="Europe"]/Item/@uuid)')|$(xp '//Node[@name="ERP"]/Item/@uuid' | sed -E 's/ uuid="([^"]*)"/\1 /g' | xargs)|$(xp 'string(/Landscape/Workspaces/Workspace/Item/@uuid)')"
check "the link names the connection's service" "C-PRD" "$(xp 'string(//Item[@uuid="L-PRD"]/@serviceid)')"
check "the skipped entry is not there" "0" "$(xp 'count(//*[@uuid="C-TRN"])')"
check "the server folder is not there" "0" "$(xp 'count(//Node[@name="Company Landscape"])')"
check "the include with index 0" "1" "$(xp 'count(/Landscape/Includes/Include[@index="0"])')"

# The commands name the file as Windows sees it; run them on the same file here.
windows_file="$QORLOGON_LSXML"
while read -r line; do
  command="${line% *}"
  [ "${line##* }" == "$windows_file" ] || fail "a command names another file: ${line##* }"
  eval "$command '$out/QORUILandscape.xml'" || fail "command failed: $line"
done < "$out/commands.txt"

for key in F-ERP F-ERP-EU; do
  grep -q "uuid=\"$key\"" "$out/QORUILandscape.xml" && echo "ok   $key is back" || fail "$key not restored"
done
grep -q 'Workspace uuid="F-PROD"' "$out/QORUILandscape.xml" && echo "ok   the main folder carries a source key" || fail "main folder"
xmllint --noout "$out/QORUILandscape.xml" || fail "the file no longer parses"
echo "$failures checks failed"
[ "$failures" -eq 0 ]
