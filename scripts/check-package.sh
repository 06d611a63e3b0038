#!/usr/bin/env bash
# Builds the Debian package from build/, checks it with lintian, installs it, and runs
# the end-to-end tests against the installed programs; then removes and reinstalls it
# and checks that a working folder's data outlived both. Root (or sudo) is needed to install.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/build"
rm -f ztk_*.deb
cpack -G DEB >/dev/null
deb=$(ls ztk_*.deb)
lintian --fail-on error "$deb"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "./$deb" >/dev/null
for program in ztk ztk-cli ztk-scale-sim; do
    [ "$(command -v $program)" = "/usr/bin/$program" ] || { echo "$program is not installed in /usr/bin"; exit 1; }
done
desktop-file-validate /usr/share/applications/ztk.desktop
# The manual pages in English and Russian, each found by man and rendered without a warning;
# the Russian help of the programs from their installed translations.
for page in ztk ztk-cli ztk-scale-sim; do
    for language in en ru; do
        dir=/usr/share/man/man1
        [ $language = ru ] && dir=/usr/share/man/ru/man1
        [ "$(man -L "$language" -w "$page")" = "$dir/$page.1.gz" ] || { echo "man does not find $dir/$page.1.gz"; exit 1; }
        warnings=$(LC_ALL=C.UTF-8 man --warnings -E utf8 -l "$dir/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || { echo "$dir/$page.1.gz: $warnings"; exit 1; }
    done
done
for program in ztk-cli ztk-scale-sim; do
    [ -f "/usr/share/ztk/translations/${program}_ru.qm" ] || { echo "the Russian help of $program is not installed"; exit 1; }
    # The whole help first: grep -q leaving early would end the program by a broken pipe.
    help=$(env -u LANGUAGE LC_ALL=ru_RU.UTF-8 "/usr/bin/$program" --help)
    grep -qx 'ПАРАМЕТРЫ' <<<"$help" ||
        { echo "/usr/bin/$program --help is not Russian in a Russian locale"; exit 1; }
done

ZTK_TEST_CLI=/usr/bin/ztk-cli ZTK_TEST_SIM=/usr/bin/ztk-scale-sim ZTK_TEST_PROGRAM=/usr/bin/ztk \
    QT_QPA_PLATFORM=offscreen tests/test_e2e --gtest_brief=1

# A working folder with a product in it, as the menu's program would leave it.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir "$home/ztk"
printf 'N;Name;Цена\r\n1;Пробный товар;12,5\r\n' | iconv -f UTF-8 -t CP1251 >"$home/ztk/one.txt"
/usr/bin/ztk-cli --dir "$home/ztk" import one.txt >/dev/null
before=$(sha256sum "$home/ztk/LM_T.db")
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y ztk >/dev/null
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "./$deb" >/dev/null
[ "$(sha256sum "$home/ztk/LM_T.db")" = "$before" ] || { echo "the working folder changed across remove and install"; exit 1; }
listed=$(/usr/bin/ztk-cli --dir "$home/ztk" products)
[[ $listed == *'Пробный товар'* ]] || { echo "the product stored before is gone: $listed"; exit 1; }
echo "package $deb: lintian clean, installed, manual pages in English and Russian, end-to-end tests passed on the installed programs, data kept"
