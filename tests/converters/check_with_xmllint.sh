#!/usr/bin/env bash
# Runs the converter scenarios under Wine and checks the landscape files they
# wrote with xmllint, a reader that has nothing to do with MSXML.
set -uo pipefail
bin="$1"
out="$2"
rm -rf "$out" && mkdir -p "$out"
# The scenarios are a test of converter_tests that leaves its files where
# CONVERTER_OUTPUT says.
CONVERTER_OUTPUT="Z:${out//\//\\}" wine "$bin/converter_tests.exe" \
  --gtest_filter=Converters.TheScenariosForAnotherReaderSucceed > "$out.log" 2>&1
status=$?
failures=0

check() { # description, expected, actual
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1"; echo "     expected: $2"; echo "     actual:   $3"; failures=$((failures + 1)); fi
}
xp() { xmllint --xpath "$2" "$out/$1" 2>/dev/null; }
# The element as xmllint writes it, with uuid values masked: attribute order is the file's.
element() { xp "$1" "$2" | sed -E 's/uuid="[0-9A-F-]{36}"/uuid="*"/g; s/serviceid="[0-9A-F-]{36}"/serviceid="*"/g'; }

check "every scenario succeeded" "0" "$status"
[ "$status" -eq 0 ] || cat "$out.log"

# Message servers into a new file: declaration, root, servers by name, no empty attributes, no port 0.
check "new file starts with the declaration" "1" "$(head -n 1 "$out/msg_new.xml" | grep -c -E "^<\?xml +version=.1\.0. encoding=.UTF-8.\?>")"
check "new file root" "Landscape" "$(xp msg_new.xml 'name(/*)')"
check "servers in name order" "PRD QAS TRN" "$(xp msg_new.xml '//Messageserver/@name' | sed -E 's/ name="([^"]*)"/\1 /g' | xargs)"
check "PRD element" '<Messageserver uuid="*" name="PRD" description="ERP Production" host="prd-ms.example.com" port="3600"/>' "$(element msg_new.xml '//Messageserver[@name="PRD"]')"
check "TRN without description and port" '<Messageserver uuid="*" name="TRN" host="trn-ms.example.com"/>' "$(element msg_new.xml '//Messageserver[@name="TRN"]')"
check "LDAP element" '<LDAP uuid="*" mode="Active" server="ldap.example.com:389" node="ou=systems,dc=example,dc=com" options="ssl=0"/>' "$(element msg_new.xml '//LDAPs/LDAP')"
check "Messageservers before LDAPs" "Messageservers LDAPs" "$(xp msg_new.xml 'name(/Landscape/*[1])') $(xp msg_new.xml 'name(/Landscape/*[2])')"

# An existing landscape: exact names filter, new ones follow the old ones.
check "existing servers kept, new appended in byte order" "QAS prd PRD TRN" "$(xp msg_existing.xml '//Messageserver/@name' | sed -E 's/ name="([^"]*)"/\1 /g' | xargs)"
check "existing QAS untouched" '<Messageserver uuid="OLD-1" name="QAS" host="old-host"/>' "$(element msg_existing.xml '//Messageserver[@name="QAS"]')"
check "two runs: servers once" "3" "$(xp msg_twice.xml 'count(//Messageserver)')"
check "two runs: LDAP twice" "2" "$(xp msg_twice.xml 'count(//LDAP)')"

# Routers, into the first Routers element that is a child of the root; the rest of the file stays.
check "routers: only the first Routers child of the root takes them" "5 0 0 1" "$(xp routers.xml 'count(/Landscape/Routers[1]/Router)') $(xp routers.xml 'count(/Landscape/Routers[2]/node()) + count(/Landscape/Other/Routers/node())') $(xp routers.xml 'count(/Landscape/Routers[3])') $(xp routers.xml 'count(/Landscape/comment())')"
check "routers: old one kept, new ones in byte order, later line wins" "X A Inner MyRouter OnlyH" "$(xp routers.xml '//Router/@name' | sed -E 's/ name="([^"]*)"/\1|/g' | tr '|' '\n' | sed 's/ $/_/' | xargs | sed 's/A_/A/')"
check "router kept from before" '<Router uuid="OLD" name="X" router="old"/>' "$(element routers.xml '//Router[@name="X"]')"
check "trimmed line, trailing /H/ removed" '<Router uuid="*" name="MyRouter" router="/H/host/S/3299"/>' "$(element routers.xml '//Router[@name="MyRouter"]')"
check "blanks around = stay" ' /H/x' "$(xp routers.xml 'string(//Router[@name="A "]/@router)')"
check "exactly /H/ gives no router attribute" '<Router uuid="*" name="OnlyH"/>' "$(element routers.xml '//Router[@name="OnlyH"]')"
check "inner /H/ stays" '/H/a/H/b' "$(xp routers.xml 'string(//Router[@name="Inner"]/@router)')"
check "lower-case header closes the section" "0" "$(xp routers.xml 'count(//Router[@name="Lower"])')"
check "no description attribute" "0" "$(xp routers.xml 'count(//Router/@description)')"

# Options files.
check "shared: two runs, two workspaces" "2" "$(xp options_shared.xml 'count(//Workspace[@name="TEDU Admin Configuration"])')"
check "shared: services twice plus the QORGUI one" "9" "$(xp options_shared.xml 'count(//Service)')"
check "runtime A service" '<Service type="TEDU" uuid="*" name="Runtime A" client="100" slc="1" qorguiid="QG-1"/>' "$(element options_shared.xml '(//Service[@name="Runtime A"])[1]')"
check "runtime B: exact letter case needed for the link, slc 0" '<Service type="TEDU" uuid="*" description="second" name="Runtime B" slc="0"/>' "$(element options_shared.xml '(//Service[@name="Runtime B"])[1]')"
check "search and side panel types" "Search SidePanel" "$(xp options_shared.xml 'string((//Service[@name="Search"])[1]/@type)') $(xp options_shared.xml 'string((//Service[@name="Panel"])[1]/@type)')"
check "nested lists are not converted" "0" "$(xp options_shared.xml 'count(//Service[@name="Nested"])')"
check "hidden only when set" "1" "$(xp options_shared.xml 'count((//Workspace)[1]/Item[@hidden="1"])')"
check "item order and attributes" '<Item uuid="*" serviceid="*" hidden="1"/>' "$(element options_shared.xml '(//Workspace)[1]/Item[1]')"
check "item points at its service" "$(xp options_shared.xml 'string((//Service[@name="Runtime A"])[1]/@uuid)')" "$(xp options_shared.xml 'string((//Workspace)[1]/Item[1]/@serviceid)')"
check "user: items go into the first workspace" "1 0" "$(xp options_user.xml 'count(//Workspace[@uuid="W-LOCAL"]/Item)') $(xp options_user.xml 'count(//Workspace[@uuid="W-2"]/Item)')"
check "user: no new workspace" "2" "$(xp options_user.xml 'count(//Workspace)')"

echo "$failures checks failed"
[ "$failures" -eq 0 ]
