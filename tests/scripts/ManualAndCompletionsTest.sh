#!/usr/bin/env bash
# Every command and option `corvanta --help` lists is in the manual page and in
# the bash, zsh and fish completions; the page renders without warnings and is
# installed compressed; bash completes --rule and --hotkey from `routes --json`.
# Usage: ManualAndCompletionsTest.sh CORVANTA SOURCE_ROOT COMPRESSED_PAGE
set -uo pipefail
corvanta=$1 root=$2 compressed=$3
page=$root/data/man/corvanta.1
completions=$root/data/completions
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

help=$("$corvanta" --help) || fail "corvanta --help failed"
commands=$(sed -n '/^Commands:/,/^$/p' <<<"$help" | sed -nE 's/^  ([a-z][a-z-]*)( .*)?$/\1/p' | sort -u)
options=$(grep -oE '(^|[ [])--?[a-z][a-z-]*' <<<"$help" | sed -E 's/^[ [ ]//' | sort -u)
[[ $(wc -l <<<"$commands") -ge 8 ]] || fail "too few commands read from --help: $commands"

rendered=$(MANWIDTH=200 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>"${TMPDIR:-/tmp}/corvanta-man-warnings.$$")
[[ -s "${TMPDIR:-/tmp}/corvanta-man-warnings.$$" ]] && fail "man warns: $(cat "${TMPDIR:-/tmp}/corvanta-man-warnings.$$")"
rm -f "${TMPDIR:-/tmp}/corvanta-man-warnings.$$"
commands_section=$(sed -n '/^COMMANDS/,/^[A-Z]/p' <<<"$rendered")
for command in $commands; do
  grep -qE "^ {7}$command( |$)" <<<"$commands_section" || fail "manual page: no entry for \"$command\""
  for file in corvanta.bash _corvanta corvanta.fish; do
    grep -qw -- "$command" "$completions/$file" || fail "$file: no \"$command\""
  done
done
for option in $options; do
  grep -qF -- "$option" <<<"$rendered" || fail "manual page: no \"$option\""
  grep -qF -- "$option" "$completions/corvanta.bash" || fail "corvanta.bash: no \"$option\""
  grep -qF -- "$option" "$completions/_corvanta" || fail "_corvanta: no \"$option\""
  if [[ $option == --* ]]; then fish="-l ${option#--}"; else fish="-s ${option#-}"; fi
  grep -qF -- "$fish" "$completions/corvanta.fish" || fail "corvanta.fish: no \"$fish\""
done

gzip -t "$compressed" && gzip -dc "$compressed" | cmp -s - "$page" || fail "$compressed is not the page compressed"

command -v zsh >/dev/null && { zsh -n "$completions/_corvanta" || fail "_corvanta: zsh syntax"; }
command -v fish >/dev/null && { fish -n "$completions/corvanta.fish" || fail "corvanta.fish: fish syntax"; }

# bash: names come from the rules of `routes --json`, quotes and spaces kept.
complete_words() {
  bash -c '
    corvanta() { cat "$ROUTES_JSON"; }
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _corvanta; printf "%s\n" "${COMPREPLY[@]}"' bash "$completions/corvanta.bash" "$@"
}
export ROUTES_JSON=${TMPDIR:-/tmp}/corvanta-routes.$$.json
cat >"$ROUTES_JSON" <<'JSON'
{
    "routes": [
        {
            "editors": [
                {
                    "name": "Kate"
                }
            ],
            "id": "markdown",
            "name": "Markdown",
            "rules": [
                {
                    "enabled": true,
                    "hotkey": "rule-A1",
                    "id": "A1",
                    "name": "Draft \"quick\" notes",
                    "summary": "Name contains [x]"
                },
                {
                    "enabled": true,
                    "hotkey": null,
                    "id": "B2",
                    "name": null,
                    "summary": "Always"
                }
            ]
        }
    ]
}
JSON
expect_words() {
  local want=$1; shift
  local got
  got=$(complete_words "$@" | sort | paste -sd '|')
  [[ $got == "$want" ]] || fail "bash completion of \"$*\": got \"$got\", want \"$want\""
}
expect_words 'A1|B2|Draft\ \"quick\"\ notes' corvanta explain --rule ''
expect_words 'Draft\ \"quick\"\ notes' corvanta explain --rule Dr
expect_words 'rule-A1' corvanta open --hotkey ''
expect_words 'install-actions' corvanta ins
expect_words '--json|-n' corvanta log -
rm -f "$ROUTES_JSON"

((failures == 0)) || exit 1
echo "manual page and completions: all commands and options present"
