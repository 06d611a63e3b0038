#!/usr/bin/env bash
# The manual pages, English and Russian, render without a groff warning and say what
# --help says in their language: every piece of every line of "PROGRAM --help" (and of
# "ztk-cli help COMMAND") is in the page of that language. The Russian help is Russian:
# the same lines as the English one, and every line but the usage and a lone option
# name differs from its English line.
# usage: manual_pages_test.sh MAN_DIR CLI SIM STATIC_PAGE...
set -uo pipefail
man_dir=$1 cli=$2 sim=$3
shift 3
failed=0
fail() { echo "FAIL: $*"; failed=1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
render() { # page -> plain text, one paragraph a line
    LC_ALL=C.UTF-8 MANWIDTH=2000 MAN_KEEP_FORMATTING= man --warnings -E utf8 -l "$1" 2>"$tmp/warnings" | LC_ALL=C.UTF-8 col -b
}
in_language() { # en|ru command...: the command in a locale of that language only
    local locale=C.UTF-8
    [ "$1" = ru ] && locale=ru_RU.UTF-8
    shift
    env -u LANGUAGE -u LC_MESSAGES -u LANG LC_ALL=$locale "$@"
}
for page in "$man_dir"/{,ru/}ztk-cli.1 "$man_dir"/{,ru/}ztk-scale-sim.1 "$@"; do
    render "$page" >"$tmp/page" || fail "man could not render $page"
    [ -s "$tmp/page" ] || fail "$page renders empty"
    if [ -s "$tmp/warnings" ]; then
        fail "$page: groff warnings:"; cat "$tmp/warnings"
    fi
done
same_text() { # program-output page usage-prefix
    render "$2" | tr -s ' ' >"$tmp/page"
    # A line of the help is a term and its text, two spaces or more apart.
    while IFS= read -r line; do
        printf '%s\n' "$line" | sed -E 's/^ +//; s/ {2,}/\n/g'
    done <"$1" | grep -v '^$' | sed -E "s/^$3//" | sort -u | while IFS= read -r piece; do
        grep -qF -- "$piece" "$tmp/page" || echo "$piece"
    done >"$tmp/missing"
    if [ -s "$tmp/missing" ]; then
        fail "$2 lacks what the help says:"; cat "$tmp/missing"
    fi
}
for language in en ru; do
    pages=$man_dir usage='usage: ' heading=COMMANDS
    [ $language = ru ] && pages=$man_dir/ru usage='использование: ' heading=КОМАНДЫ
    mkdir -p "$tmp/$language"
    in_language $language "$cli" --help >"$tmp/$language/cli" || fail "$cli --help ($language)"
    same_text "$tmp/$language/cli" "$pages/ztk-cli.1" "$usage"
    awk -v h="$heading" '$0 == h { on = 1; next } /^[^ ]/ { on = 0 } on' "$tmp/$language/cli" |
        sed -nE 's/^  ([a-z][a-z-]+)( .*)?$/\1/p' | grep -v '^help$' >"$tmp/$language/commands"
    [ -s "$tmp/$language/commands" ] || fail "no commands under $heading in the $language help"
    while IFS= read -r command; do
        in_language $language "$cli" help "$command" >"$tmp/$language/$command" || fail "$cli help $command ($language)"
        sed "s/^${usage}ztk-cli \[OPTIONS\] //" "$tmp/$language/$command" >"$tmp/command-help"
        same_text "$tmp/command-help" "$pages/ztk-cli.1" "$usage"
    done <"$tmp/$language/commands"
    in_language $language "$sim" --help >"$tmp/$language/sim" || fail "$sim --help ($language)"
    same_text "$tmp/$language/sim" "$pages/ztk-scale-sim.1" "$usage"
done

cmp -s "$tmp/en/commands" "$tmp/ru/commands" || fail "the Russian help lists other commands than the English one"
translated() { # what english russian [lines-kept]: the same lines, each said in Russian but the first lines-kept
    if [ "$(wc -l <"$2")" != "$(wc -l <"$3")" ]; then
        fail "$1: the Russian help has other lines than the English one"; return
    fi
    local n=0 en ru
    while IFS= read -r en <&3 && IFS= read -r ru <&4; do
        n=$((n + 1))
        [ $n -le "${4:-0}" ] && continue
        [[ $en =~ ^\ +-[^\ ]*(\ [^\ ]+)*$ ]] && continue # an option's name alone, its text on the next line
        [ "$en" = "$ru" ] && fail "$1: line $n is not translated: $en"
        # A Cyrillic letter is two bytes in UTF-8, the first 0xD0 or 0xD1.
        printf '%s' "$ru" | LC_ALL=C grep -q $'[\xd0\xd1]' || fail "$1: line $n has no Russian word: $ru"
    done 3<"$2" 4<"$3"
}
while IFS= read -r command; do
    translated "help $command" "$tmp/en/$command" "$tmp/ru/$command" 1 # the usage: names and values only
done <"$tmp/en/commands"
grep -E '^  --[^ ]+( [^ ]+)? {2,}' "$tmp/en/sim" >"$tmp/en/sim-options"
grep -E '^  --[^ ]+( [^ ]+)? {2,}' "$tmp/ru/sim" >"$tmp/ru/sim-options"
translated "ztk-scale-sim --help options" "$tmp/en/sim-options" "$tmp/ru/sim-options"

[ $failed -eq 0 ] && echo "manual pages in English and Russian: no warnings, the same text as --help, the Russian help translated"
exit $failed
