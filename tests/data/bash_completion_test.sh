#!/usr/bin/env bash
# Drives the bash completion of quorbel-lvl through bash, as a shell does at a Tab:
#   bash_completion_test.sh COMPLETION QUORBEL_LVL [without-render]
# COMPLETION is the script made at build time from the commands' declarations. Each row gives the
# words typed and the candidates expected. Then it checks that the completion knows every command
# that quorbel-lvl --help lists and exactly the options of each command's --help, so that the
# tables and the declarations they were made from cannot part.
set -uo pipefail
completion=$(realpath "$1")
tool=$(realpath "$2")
# A build without quorbel-lvl-render lists render, prepare and paint, but has neither their
# declarations nor their help: its completion knows only the other commands.
without_render=${3:-}
external() {
    [ "$without_render" = without-render ] && { [ "$1" = render ] || [ "$1" = prepare ] ||
        [ "$1" = paint ]; }
}
source /usr/share/bash-completion/bash_completion
source "$completion"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch map.bmp level.lvl tiles.lvl edit.tmx edit.tmj edit.json draw.png notes.txt legend.gpl
mkdir folder
failures=0

# The candidates for the words typed, the last being the one under the cursor; sorted, one line.
candidates() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _quorbel_lvl quorbel-lvl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {  # expect "CANDIDATES" WORD...
    local wanted=$1
    shift
    local got
    got=$(candidates "$@")
    if [ "$got" != "$wanted" ]; then
        echo "FAIL: '$*': got '$got', wanted '$wanted'"
        failures=$((failures + 1))
    fi
}

expect "compose convert" quorbel-lvl co
expect "--help --version" quorbel-lvl --
expect "--help --json" quorbel-lvl info --
expect "--help -h" quorbel-lvl split -
expect "folder level.lvl tiles.lvl" quorbel-lvl info ""
expect "folder level.lvl tiles.lvl" quorbel-lvl info level.lvl ""
expect "folder level.lvl map.bmp tiles.lvl" quorbel-lvl convert ""
expect "folder map.bmp" quorbel-lvl convert tiles.lvl ""
expect "folder map.bmp" quorbel-lvl convert --tile 7 tiles.lvl ""
expect "folder level.lvl tiles.lvl" quorbel-lvl convert --tile 7 tiles.lvl map.bmp ""
expect "" quorbel-lvl convert tiles.lvl map.bmp level.lvl ""
expect "" quorbel-lvl convert --tile ""
expect "draw.png edit.json edit.tmj edit.tmx folder legend.gpl level.lvl map.bmp notes.txt tiles.lvl" \
    quorbel-lvl convert --report ""
expect "folder level.lvl tiles.lvl" quorbel-lvl compose tiles.lvl ""
# Bash breaks words at ':', so the candidates are what follows "171:".
expect "folder map.bmp" quorbel-lvl compose tiles.lvl new.lvl 171:
expect "folder map.bmp" quorbel-lvl compose tiles.lvl new.lvl 171:map.bmp 23:
expect "folder" quorbel-lvl split level.lvl ""
expect "edit.json edit.tmj edit.tmx folder" quorbel-lvl export level.lvl ""
expect "edit.json edit.tmj edit.tmx folder" quorbel-lvl import ""
expect "folder level.lvl tiles.lvl" quorbel-lvl import edit.tmx ""
expect "folder level.lvl map.bmp tiles.lvl" quorbel-lvl import --tileset ""
if ! external paint; then
    expect "folder level.lvl map.bmp tiles.lvl" quorbel-lvl paint ""
    expect "folder legend.gpl" quorbel-lvl paint tiles.lvl ""
    expect "draw.png folder map.bmp" quorbel-lvl paint --rules notes.txt tiles.lvl legend.gpl ""
    expect "folder level.lvl tiles.lvl" quorbel-lvl paint tiles.lvl legend.gpl draw.png ""
    expect "--nearest" quorbel-lvl paint --ne
fi
if ! external render; then
    expect "draw.png folder map.bmp" quorbel-lvl render level.lvl -o ""
    expect "draw.png folder map.bmp" quorbel-lvl render level.lvl --output ""
    expect "folder level.lvl tiles.lvl" quorbel-lvl render -o draw.png ""
    expect "1/16 1/2 1/4 1/8" quorbel-lvl render level.lvl --scale 1/
    expect "draw.png folder map.bmp" quorbel-lvl prepare ""
    expect "folder map.bmp" quorbel-lvl prepare draw.png ""
    expect "--invert" quorbel-lvl prepare --in
fi

# No drift from the program itself.
commands=$("$tool" --help | sed -n '/^Commands:$/,/^$/p' | sed -n 's/^  \([a-z]\+\) .*/\1/p')
completed=""
for command in $commands; do
    known=$(candidates quorbel-lvl "$command")
    if external "$command"; then
        if [ -n "$known" ]; then
            echo "FAIL: the completion knows $command, which this build cannot describe"
            failures=$((failures + 1))
        fi
        continue
    fi
    completed="$completed $command"
    if [ "$known" != "$command" ]; then
        echo "FAIL: the completion does not know the command $command"
        failures=$((failures + 1))
    fi
    # The options its --help lists: "  -o, --output FILE", "      --tile TEXT".
    documented=$("$tool" "$command" --help | sed -n '/^Options:$/,/^$/p' |
        grep -oE '^  (-[a-zA-Z], |    )--[a-z][a-z-]*' | sed 's/^ *//; s/, /\n/' | sort |
        tr '\n' ' ' | sed 's/ $//')
    offered=$(_quorbel_lvl_options "$command" | tr ' ' '\n' | sort | tr '\n' ' ' | sed 's/ $//')
    if [ -z "$documented" ] || [ "$documented" != "$offered" ]; then
        echo "FAIL: $command --help documents '$documented', the completion offers '$offered'"
        failures=$((failures + 1))
    fi
done
listed=$(echo $completed | tr ' ' '\n' | sort | tr '\n' ' ' | sed 's/ $//')
offered=$(candidates quorbel-lvl "" | tr ' ' '\n' | grep -v '^-' | tr '\n' ' ' | sed 's/ $//')
if [ "$listed" != "$offered" ]; then
    echo "FAIL: quorbel-lvl --help lists '$listed', the completion offers '$offered'"
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures completion check(s) failed"
    exit 1
fi
echo "the completion offers what quorbel-lvl documents"
