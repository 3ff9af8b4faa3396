# bash completion of humidora-cli: its commands, the options of each command and their values.
#
# Nothing is listed here: the completion asks the program itself. The commands come from
# `humidora-cli --help`, a command's options from `humidora-cli COMMAND --help`, and the values of an
# option (unit keys, quantities, methods, ...) from the usage error the program gives for an unknown value,
# which names the valid ones; the options typed so far go along, so that `convert --quantity Length --from`
# offers lengths and `saturation --mode pressure --input-unit` pressures. Options naming a FILE complete
# file names; numbers are not completed.

# Prints the long options of a help text with their value placeholders, one "--option PLACEHOLDER" a line
# (PLACEHOLDER is empty for a flag).
_humidora_cli_options()
{
    local line
    while IFS= read -r line; do
        if [[ $line =~ ^\ +(-[[:alnum:]],\ )?(--[[:alnum:]-]+)(\ \<([^>]+)\>)? ]]; then
            printf '%s %s\n' "${BASH_REMATCH[2]}" "${BASH_REMATCH[4]}"
        fi
    done
}

# What an option's value is, from its placeholder: file, number, flag (no value) or choice (a list the
# program checks the value against).
_humidora_cli_kind()
{
    case $1 in
    FILE) echo file ;;
    V | VALUE | N | NUMBER) echo number ;;
    '') echo flag ;;
    *) echo choice ;;
    esac
}

# The valid values of an option, one a line: the quoted items after "valid:" or "one of:" in the usage error
# of the given command line (which ends in the option and a value no list holds).
_humidora_cli_values()
{
    # The probe runs in an empty scratch folder, so that even an option the program would act on leaves
    # nothing behind.
    local message list scratch
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/humidora-completion.XXXXXX") || return
    message=$(cd "$scratch" && "$@" 2>&1 >/dev/null </dev/null)
    rm -rf "$scratch"
    [[ $message =~ (valid|one\ of):\ (\"[^$'\n']*) ]] || return
    list=${BASH_REMATCH[2]}
    while [[ $list =~ ^[^\"]*\"([^\"]*)\"(.*)$ ]]; do
        printf '%s\n' "${BASH_REMATCH[1]}"
        list=${BASH_REMATCH[2]}
    done
}

_humidora_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local program
    program=$(dequote "${words[0]}")
    [[ $program == */* ]] && program=$(realpath -- "$program")
    if ((cword == 1)); then
        local help
        help=$("$program" --help 2>/dev/null) || return
        local commands=() line in_commands=
        while IFS= read -r line; do
            if [[ $line == Commands:* ]]; then
                in_commands=1
            elif [[ $in_commands && $line =~ ^\ +([[:alnum:]-]+) ]]; then
                commands+=("${BASH_REMATCH[1]}")
            else
                in_commands=
            fi
        done <<<"$help"
        [[ $help =~ ^Usage:\ [^$'\n']* ]] && commands+=($(grep -o -- '--[[:alnum:]][[:alnum:]-]*' <<<"${BASH_REMATCH[0]}"))
        COMPREPLY=($(compgen -W "${commands[*]}" -- "$cur"))
        return
    fi

    local command=${words[1]} i
    for ((i = 2; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && return # after "--" only the VALUE follows
    done

    local -A placeholder=()
    local option value
    while read -r option value; do
        placeholder[$option]=$value
    done < <("$program" "$command" --help 2>/dev/null | _humidora_cli_options)
    ((${#placeholder[@]})) || return

    if [[ $prev == --* && -n ${placeholder[$prev]-} ]]; then
        case $(_humidora_cli_kind "${placeholder[$prev]}") in
        file) _filedir ;;
        choice)
            # The choices made so far (never the files: the probe must write nothing).
            local probe=("$program" "$command") word name last=$((cword - 1))
            [[ $split == true ]] && last=$cword
            for ((i = 2; i < last; i++)); do
                word=${words[i]}
                name=${word%%=*}
                [[ $word == --* && -n ${placeholder[$name]-} ]] || continue
                [[ $word == *=* ]] || ((i++))
                [[ $(_humidora_cli_kind "${placeholder[$name]}") == choice ]] || continue
                if [[ $word == *=* ]]; then
                    probe+=("$word")
                else
                    probe+=("$word" "$(dequote "${words[i]}")")
                fi
            done
            # The word typed so far without the shell's quoting: after an opening quote it stands as typed.
            local plain=$cur item
            case $cur in
            [\"\']*) plain=${cur:1} ;;
            *) plain=$(dequote "$cur") ;;
            esac
            local IFS=$'\n'
            for item in $(_humidora_cli_values "${probe[@]}" "$prev" $'\x7f'); do
                [[ $item == "$plain"* ]] && COMPREPLY+=("$(printf '%q' "$item")")
            done
            ;;
        esac
        return
    fi

    [[ $split == true ]] && return
    [[ $cur == -* ]] && COMPREPLY=($(compgen -W "${!placeholder[*]}" -- "$cur"))
} && complete -F _humidora_cli humidora-cli
