#!/usr/bin/env bash
# The bash completion of humidora-cli against the program itself:
#   bash_completion_test.sh COMPLETION_SCRIPT PROGRAM
# Each case gives the words as bash splits the command line (quotes kept, "=" a word of its own) and the
# completions expected, in order (file names, which come in the file system's order, sorted; with subset,
# those among others). Exit 77 (skipped) without the bash-completion package.
set -uo pipefail
completion=$(realpath "$1")
program=$(realpath "$2")
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || { echo "bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$framework"
source "$completion"
work=$(mktemp -d "${TMPDIR:-/tmp}/humidora-completion.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
: >office.humidora
: >other.txt
failures=0

# check "EXPECTED" WORD...: completes the last WORD (the word under the cursor, possibly empty).
check()
{
    local expected=$1
    shift
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_LINE=${COMP_LINE// = /=}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _humidora_cli
    local actual=
    ((${#COMPREPLY[@]} == 0)) || actual=$(printf '%s|' "${COMPREPLY[@]}")
    if [ "${sorted-}" ]; then
        actual=$(printf '%s|' $(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort))
    fi
    if [ "${subset-}" ]; then
        # Every expected completion is offered (others may come with commands added later).
        local item kept=
        while IFS= read -r -d '|' item; do
            [[ "|$actual" == *"|$item|"* ]] && kept+="$item|"
        done <<<"$expected"
        actual=$kept
    fi
    if [ "$actual" != "$expected" ]; then
        echo "FAIL: humidora-cli $*"
        echo "  expected: $expected"
        echo "  actual:   $actual"
        failures=$((failures + 1))
    fi
}

# Commands and the global options, from the program's help.
subset=1 check 'saturation|convert|state|--help|--version|' ''
check 'state|' st
check '--help|--version|' --
# Options of a command.
check '--pressure|--pressure-unit|' state --pres
check '--mode|' saturation --mo
check '--json|' convert --quantity Length --j
check '--data|' chart --dat
check '--zone|' batch --zo
# Values of an option, as the program checks them; unit keys with blanks come quoted for the shell.
check 'iapws|hyland-wexler|' state --method ''
check 'metric|' state --system m
check 'mm\ H2O|mm\ Hg|' state --pressure-unit mm
check 'mm\ H2O|' state --partial-pressure-unit 'mm\ H2'
check '\(g\ moisture\)/\(kg\ dry\ air\)|\(gr\ moisture\)/\(lb\ dry\ air\)|' state --humidity-ratio-unit '"(g'
# The short unit keys beside the texts.
check 'g/kg|gr/lb|' state --humidity-ratio-unit g
check 'in\ Hg|inHg|' state --pressure-unit in
check 'C|K|F|R|' state --from office.humidora --save new.humidora --temperature 30 --dew-point-unit ''
# Values that depend on the choices before them.
check 'Pa|kPa|Bar|mBar|mm\ H2O|mm\ Hg|Atmosphere|PSI|in\ Hg|inHg|psi|' saturation --mode pressure --input-unit ''
check 'C|K|F|R|' saturation --input-unit ''
check 'm|km|mile|ft|' convert --quantity Length --from ''
check 'm|mile|' convert --quantity = Length --to m
check 'ft\^3/lb\ \(dry\ air\)|' convert --quantity '"Specific Volume"' --to f
check 'Specific\ Gas\ Const.\ \(R\)|Specific\ Volume|Specific\ Enthalpy|' convert --quantity Spe
# File names for FILE options; nothing for numbers, nor after "--".
sorted=1 check 'office.humidora|other.txt|' state --save ''
sorted=1 check 'office.humidora|other.txt|' chart --data ''
check '' state --temperature ''
check '' convert --quantity Length -- --
# The probes wrote nothing.
[ ! -e new.humidora ] || { echo "FAIL: completing wrote new.humidora"; failures=$((failures + 1)); }

echo "$failures failures"
((failures == 0))
