#!/usr/bin/env bash
# Renders every manual page as a reader's man shows it (MANWIDTH=80) and checks it:
#   man_pages_test.sh MAN_DIR QUORBEL_LVL README "SAMPLE;SAMPLE;..."
# - groff has nothing to warn about, and no line passes 80 columns;
# - the sections come in the order man-pages(7) gives, NAME, SYNOPSIS, DESCRIPTION and SEE ALSO in
#   every page, and OPTIONS holds options only (no paragraph of output or exit statuses);
# - the SYNOPSIS of quorbel-lvl's pages is the usage that its --help shows, and so is each line of
#   the README's synopsis block, which must name every command;
# - the window program's page names every sample an installation holds.
set -uo pipefail
man_dir=$1
tool=$2
readme=$3
samples=$4
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# text with its runs of blanks and line breaks made one blank, trimmed.
flowing() { tr '\n' ' ' | tr -s ' ' | sed 's/^ //; s/ $//'; }

# The text of one section of a rendered page: the lines after its heading, up to the next one.
section() { awk -v want="$1" '/^[A-Z]/ { on = ($0 == want); next } on'; }

order="NAME SYNOPSIS DESCRIPTION OPTIONS EXIT_STATUS FILES EXAMPLES SEE_ALSO"
pages=("$man_dir"/*.1.gz)
[ -e "${pages[0]}" ] || fail "no pages in $man_dir"
for page in "${pages[@]}"; do
    name=$(basename "$page" .1.gz)
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$name: groff warns: $warnings"
    text=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
    wide=$(echo "$text" | awk 'length($0) > 80')
    [ -z "$wide" ] || fail "$name: lines past 80 columns: $wide"

    headings=$(echo "$text" | sed -n '2,$p' | grep -E '^[A-Z]' | tr ' ' '_' | tr '\n' ' ')
    rest=" $order "
    for heading in $headings; do
        case $rest in
            *" $heading "*) rest=" ${rest#* $heading }" ;;
            *) fail "$name: section $heading is out of place or unknown (sections: $headings)" ;;
        esac
    done
    for needed in NAME SYNOPSIS DESCRIPTION SEE_ALSO; do
        [[ " $headings " == *" $needed "* ]] || fail "$name: no $needed section"
    done
    stray=$(echo "$text" | section OPTIONS | grep -E '^       (Standard|Exit status)')
    [ -z "$stray" ] || fail "$name: OPTIONS holds prose: $stray"

    case $name in
        quorbel-lvl) command=() ;;
        quorbel-lvl-*) command=("${name#quorbel-lvl-}") ;;
        *) continue ;;
    esac
    synopsis=$(echo "$text" | section SYNOPSIS | flowing)
    usage=$("$tool" "${command[@]}" --help | sed '/^$/q' | sed 's/^Usage://; s/^ *or://' | flowing)
    [ -n "$usage" ] && [ "$synopsis" = "$usage" ] ||
        fail "$name: SYNOPSIS says '$synopsis', --help says '$usage'"
done

# The README's synopsis block: "build/bin/quorbel-lvl COMMAND ..." lines under "## The command line".
listed=$("$tool" --help | sed -n '/^Commands:$/,/^$/p' | sed -n 's/^  \([a-z]\+\) .*/\1/p')
block=$(sed -n '/^## The command line/,/^## /p' "$readme" |
    sed -n '/^```sh$/,/^```$/p' | grep '^build/bin/quorbel-lvl ' | sed 's|^build/bin/||')
for command in $listed; do
    line=$(echo "$block" | grep "^quorbel-lvl $command " | flowing)
    usage=$("$tool" "$command" --help | sed '/^$/q' | sed 's/^Usage://' | flowing)
    [ "$line" = "$usage" ] || fail "README: '$line', but $command --help says '$usage'"
done

window="$man_dir/quorbel-mapmaker.1.gz"
if [ -e "$window" ]; then
    files=$(MANWIDTH=80 man -l "$window" 2>/dev/null | section FILES)
    IFS=';' read -r -a installed <<<"$samples"
    for sample in "${installed[@]}"; do
        [[ $files == *"$(basename "$sample")"* ]] ||
            fail "quorbel-mapmaker: FILES does not name the sample $(basename "$sample")"
    done
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures manual page check(s) failed"
    exit 1
fi
echo "${#pages[@]} manual pages render as --help and the README say"
