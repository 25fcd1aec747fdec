# fish completion for corvanta(1)

# Rule names and ids (rules) or rule hotkey names (hotkeys) from `corvanta routes --json`.
function __corvanta_routes_names
    corvanta routes --json 2>/dev/null | awk -v want=$argv[1] '
        /"rules": \[/ { inside = 1; next }
        inside && /^ *\]/ { inside = 0 }
        inside && want == "rules" && /^ *"(id|name)": "/ { print_value() }
        inside && want == "hotkeys" && /^ *"hotkey": "/ { print_value() }
        function print_value(  value) {
            value = $0
            sub(/^ *"[a-z]+": "/, "", value)
            sub(/",?$/, "", value)
            gsub(/\\\\"/, "\"", value)
            gsub(/\\\\\\\\/, "\\\\", value)
            print value
        }'
end

set -l commands open check routes explain teach selection install-actions log
complete -c corvanta -f
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Show the help'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -l version -d 'Show the version'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -l login -d 'Start quietly, as at login'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a open -d 'Open files or x-corvanta:// links'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a check -d 'Decode a routes file'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a routes -d 'List the routes'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a explain -d 'Show what routing would do'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a teach -d 'Teach the type of a sample file'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a selection -d 'Print the files a hotkey would read'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a install-actions -d 'Add file manager actions'
complete -c corvanta -n "not __fish_seen_subcommand_from $commands" -a log -d 'Print the routing history'
complete -c corvanta -n "__fish_seen_subcommand_from open check explain teach" -F
complete -c corvanta -n "__fish_seen_subcommand_from open explain" -l hotkey -x -a '(__corvanta_routes_names hotkeys)' -d 'As if the rule hotkey fired'
complete -c corvanta -n "__fish_seen_subcommand_from explain" -l rule -x -a '(__corvanta_routes_names rules)' -d 'Force a rule'
complete -c corvanta -n "__fish_seen_subcommand_from routes explain selection log" -l json -d 'Print JSON'
complete -c corvanta -n "__fish_seen_subcommand_from selection" -l after -x -d 'Wait this long first'
complete -c corvanta -n "__fish_seen_subcommand_from install-actions" -l remove -d 'Take the actions out'
complete -c corvanta -n "__fish_seen_subcommand_from log" -s n -x -d 'The newest N entries'
