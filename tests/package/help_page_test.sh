#!/usr/bin/env bash
# The window help (shipped inside the program): every link of the page leads to an
# anchor of it, no anchor is there twice, and the contents list every section.
# usage: help_page_test.sh PAGE
set -uo pipefail
page=$1
failed=0
anchors=$(grep -o 'name="[^"]*"' "$page" | sed 's/^name="//; s/"$//' | sort)
links=$(grep -o 'href="#[^"]*"' "$page" | sed 's/^href="#//; s/"$//' | sort -u)
sections=$(grep -o '<h2><a name="[^"]*"' "$page" | sed 's/.*name="//; s/"$//')
[ -n "$sections" ] || { echo "FAIL: $page has no sections"; exit 1; }
dup=$(printf '%s\n' "$anchors" | uniq -d)
[ -z "$dup" ] || { echo "FAIL: anchors there twice: $dup"; failed=1; }
for link in $links; do
    printf '%s\n' "$anchors" | grep -qx -- "$link" || { echo "FAIL: the link #$link leads nowhere"; failed=1; }
done
for section in $sections; do
    grep -q "<li><a href=\"#$section\">" "$page" || { echo "FAIL: the contents lack the section $section"; failed=1; }
done
[ $failed -eq 0 ] && echo "$page: $(echo "$sections" | wc -l) sections, every link leads to one"
exit $failed
