#!/usr/bin/env bash
# The user units of the package pass systemd-analyze verify without a word: each
# checked with the built ztk-cli in place of the installed one (verify wants the
# program to exist), the manual pages left out (they are checked on their own).
set -euo pipefail
units=$1 cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for unit in "$units"/*; do
    sed "s#/usr/bin/ztk-cli#$cli#" "$unit" >"$work/$(basename "$unit")"
done
cd "$work"
# Each names the program it runs, in the working folder of the user's home.
grep -q -- "--scales all sync --watch" ztk-sync.service
grep -q -- "--scales all totals" ztk-totals.service
grep -q "OnCalendar=\*-\*-\* 23:30:00" ztk-totals.timer
out=$(systemd-analyze verify --man=no ./*.service ./*.timer 2>&1) || { echo "$out"; exit 1; }
[ -z "$out" ] || { echo "$out"; exit 1; }
echo "$(ls | wc -l) units verified"
