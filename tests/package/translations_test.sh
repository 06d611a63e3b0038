#!/usr/bin/env bash
# The translations of the help are whole and up to date: lupdate over each program's
# sources leaves its .ts as it is (no text added, changed or gone since), and lrelease
# finds every text translated.
# usage: translations_test.sh LUPDATE LRELEASE GENERATE_PROJECT_SCRIPT "LUPDATE OPTIONS" PROJECT.cmake...
set -uo pipefail
lupdate=$1 lrelease=$2 generate=$3 options=$4
shift 4
failed=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for project in "$@"; do
    name=$(basename "$project" _project.cmake)
    cmake -DIN_FILE="$project" -DOUT_FILE="$tmp/$name.json" -P "$generate" >/dev/null ||
        { echo "FAIL: $name: no lupdate project"; failed=1; continue; }
    ts=$(sed -nE 's/^ *"translations": \[ "([^"]+)".*/\1/p' "$tmp/$name.json")
    [ -f "$ts" ] || { echo "FAIL: $name: no translation file ($ts)"; failed=1; continue; }
    cp "$ts" "$tmp/$name.ts"
    # shellcheck disable=SC2086 # the options are words
    "$lupdate" $options -project "$tmp/$name.json" -ts "$tmp/$name.ts" >"$tmp/lupdate.log" 2>&1 ||
        { cat "$tmp/lupdate.log"; echo "FAIL: $name: lupdate"; failed=1; continue; }
    if ! cmp -s "$ts" "$tmp/$name.ts"; then
        echo "FAIL: $ts is not up to date with the sources (build the target update_translations):"
        cat "$tmp/lupdate.log"; diff "$ts" "$tmp/$name.ts" | head -20; failed=1
    fi
    "$lrelease" "$ts" -qm "$tmp/$name.qm" >"$tmp/lrelease.log" 2>&1 || { cat "$tmp/lrelease.log"; failed=1; }
    if ! grep -qE 'Generated [1-9][0-9]* translation\(s\) \([0-9]+ finished and 0 unfinished\)' "$tmp/lrelease.log" ||
        grep -q 'untranslated' "$tmp/lrelease.log"; then
        echo "FAIL: $ts has texts left untranslated:"; cat "$tmp/lrelease.log"; failed=1
    fi
    [ $failed -eq 0 ] && echo "$ts: $(grep -o 'Generated [0-9]* translation(s)' "$tmp/lrelease.log"), none unfinished, up to date"
done
exit $failed
