#!/usr/bin/env bash
# The manual pages render without a groff warning, and say what --help says: every
# piece of every line of "PROGRAM --help" (and of "ztk-cli help COMMAND") is in the page.
# usage: manual_pages_test.sh MAN_DIR CLI SIM STATIC_PAGE...
set -uo pipefail
man_dir=$1 cli=$2 sim=$3
shift 3
failed=0
render() { # page -> plain text, one paragraph a line
    LC_ALL=C.UTF-8 MANWIDTH=2000 MAN_KEEP_FORMATTING= man --warnings -E ascii -l "$1" 2>"$tmp/warnings" | col -b
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for page in "$man_dir/ztk-cli.1" "$man_dir/ztk-scale-sim.1" "$@"; do
    render "$page" >"$tmp/page" || { echo "FAIL: man could not render $page"; failed=1; }
    if [ -s "$tmp/warnings" ]; then
        echo "FAIL: $page: groff warnings:"; cat "$tmp/warnings"; failed=1
    fi
done
same_text() { # program-output page
    render "$2" | tr -s ' ' >"$tmp/page"
    # A line of the help is a term and its text, two spaces or more apart.
    while IFS= read -r line; do
        printf '%s\n' "$line" | sed -E 's/^ +//; s/ {2,}/\n/g'
    done <"$1" | grep -v '^$' | sed -E 's/^usage: //' | sort -u | while IFS= read -r piece; do
        grep -qF -- "$piece" "$tmp/page" || echo "$piece"
    done >"$tmp/missing"
    if [ -s "$tmp/missing" ]; then
        echo "FAIL: $2 lacks what the help says:"; cat "$tmp/missing"; failed=1
    fi
}
"$cli" --help >"$tmp/cli-help" || { echo "FAIL: $cli --help"; failed=1; }
same_text "$tmp/cli-help" "$man_dir/ztk-cli.1"
for command in $("$cli" --help | awk '/^COMMANDS$/ { on = 1; next } /^[A-Z]/ { on = 0 } on' | sed -nE 's/^  ([a-z][a-z-]+)( .*)?$/\1/p' | grep -v '^help$'); do
    "$cli" help "$command" >"$tmp/raw-help" || { echo "FAIL: $cli help $command"; failed=1; }
    sed 's/^usage: ztk-cli \[OPTIONS\] //' "$tmp/raw-help" >"$tmp/command-help"
    same_text "$tmp/command-help" "$man_dir/ztk-cli.1"
done
"$sim" --help >"$tmp/sim-help" || { echo "FAIL: $sim --help"; failed=1; }
same_text "$tmp/sim-help" "$man_dir/ztk-scale-sim.1"
[ $failed -eq 0 ] && echo "manual pages: no warnings, the same text as --help"
exit $failed
