set -u

# Prints the paths of the files selected in the file manager named above, one a
# line, or each ended by a NUL byte with --print0 (names may hold line breaks).
# No file manager tells its selection to another program, over D-Bus or
# otherwise; what it does offer is its own Copy command, which puts the selected
# files' exact URIs on the clipboard. So this needs an X11 session, xdotool and
# xclip, and the file manager's window must be the active one. Corvanta saves
# the clipboard, every format of it, and lets go of it before running this, and
# gives it back afterwards, so an empty clipboard here is expected.
separator=line
case "${1:-}" in
--print0) separator=nul ;;
'') ;;
*)
  echo "usage: ${0##*/} [--print0]" >&2
  exit 2
  ;;
esac

fail() {
  printf '%s: %s\n' "${0##*/}" "$*" >&2
  exit 1
}

[ -n "${DISPLAY:-}" ] ||
  fail "needs an X11 session: on Wayland $manager gives its selection to no other program"
command -v xdotool >/dev/null 2>&1 || fail "needs xdotool"
command -v xclip >/dev/null 2>&1 || fail "needs xclip"

window=$(xdotool getactivewindow 2>/dev/null) || fail "no window is active"
pid=$(xdotool getwindowpid "$window" 2>/dev/null) || fail "the active window names no process"
program=$(readlink "/proc/$pid/exe" 2>/dev/null) || fail "cannot see the active window's program"
case " $programs " in
*" ${program##*/} "*) ;;
*) fail "the active window is not $manager" ;;
esac

xdotool key --clearmodifiers ctrl+c
tries=0
until xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx 'text/uri-list'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 40 ]; then
    fail "$manager put no files on the clipboard (is anything selected?)"
  fi
  sleep 0.05
done
uris=$(xclip -selection clipboard -o -t text/uri-list 2>/dev/null) || uris=

printf '%s\n' "$uris" | LC_ALL=C awk -v separator="$separator" -v replaces="$replaces_undecodable" '
  BEGIN {
    for (i = 0; i < 256; i++) {
      byte[sprintf("%02x", i)] = i
      byte[sprintf("%02X", i)] = i
    }
    status = 0
  }
  {
    sub(/\r$/, "")
    if ($0 == "" || $0 ~ /^#/ || $0 !~ /^file:\/\//) next
    rest = substr($0, 8)
    if (rest !~ /^\//) {
      if (rest !~ /^localhost\//) next
      rest = substr(rest, 10)
    }
    if (replaces == "yes" && rest ~ /%EF%BF%BD/) {
      # Only this name is lost; the others are exact.
      print "a name is not UTF-8 and the file manager replaced it; it is left out" > "/dev/stderr"
      next
    }
    path = ""
    while ((at = index(rest, "%")) > 0) {
      path = path substr(rest, 1, at - 1)
      code = substr(rest, at + 1, 2)
      if (!(code in byte) || code == "00") {
        path = path "%"
        rest = substr(rest, at + 1)
        continue
      }
      path = path sprintf("%c", byte[code])
      rest = substr(rest, at + 3)
    }
    path = path rest
    if (separator == "nul") {
      printf "%s%c", path, 0
    } else if (index(path, "\n") > 0) {
      print "a name holds a line break; run with --print0" > "/dev/stderr"
      status = 1
    } else {
      print path
    }
  }
  END { exit status }'
