# bash completion for corvanta(1)

# Rule names and ids (rules) or rule hotkey names (hotkeys) from `corvanta routes --json`.
_corvanta_routes_names() {
    corvanta routes --json 2>/dev/null | awk -v want="$1" '
        /"rules": \[/ { inside = 1; next }
        inside && /^ *\]/ { inside = 0 }
        inside && want == "rules" && /^ *"(id|name)": "/ { print_value() }
        inside && want == "hotkeys" && /^ *"hotkey": "/ { print_value() }
        function print_value(  value) {
            value = $0
            sub(/^ *"[a-z]+": "/, "", value)
            sub(/",?$/, "", value)
            gsub(/\\"/, "\"", value)
            gsub(/\\\\/, "\\", value)
            print value
        }'
}

_corvanta() {
    local cur prev command i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "open check routes explain teach selection install-actions log --login --help --version" -- "$cur")
        return
    fi
    command=${COMP_WORDS[1]}
    case $prev in
        --rule | --hotkey)
            # Names may hold spaces and quotes: offered quoted for the command line.
            local name
            while IFS= read -r name; do
                [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
            done < <(_corvanta_routes_names "$([[ $prev == --rule ]] && echo rules || echo hotkeys)")
            return
            ;;
        --after | -n)
            return
            ;;
    esac
    for ((i = 2; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
        fi
    done
    if [[ $cur == -* ]]; then
        local options=
        case $command in
            open) options="--hotkey --" ;;
            routes) options="--json" ;;
            explain) options="--json --rule --hotkey --" ;;
            selection) options="--after --json" ;;
            install-actions) options="--remove" ;;
            log) options="--json -n" ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    case $command in
        open | check | explain | teach)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            ;;
    esac
}
complete -F _corvanta corvanta
