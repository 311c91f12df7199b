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
wine reg delete 'HKCU\Software\QOR' /f >/dev/null 2>&1

wine "$bin/landscape_migrate.exe" --dump-mappings | tr -d '\r' > "$out/stdout.txt"
status=$?
wine reg delete 'HKCU\Software\QOR' /f >/dev/null 2>&1
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

[ "$status" -eq 0 ] || fail "landscape_migrate exited with $status"
grep -q '^UUID mappings:$' "$out/stdout.txt" || fail "no mapping dump"
grep -q '^ --- destination_uuid --- source_uuid ---$' "$out/stdout.txt" || fail "no dump header"
grep '^sed -i ' "$out/stdout.txt" > "$out/commands.txt"
[ "$(wc -l < "$out/commands.txt")" -eq 8 ] || fail "expected 8 mappings (4 folders, 4 entries): $(wc -l < "$out/commands.txt")"
grep -q "uuid=\"F-ERP\"" "$out/QORUILandscape.xml" && fail "F-ERP is already there before the commands"

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
