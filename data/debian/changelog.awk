# Turns CHANGELOG.md into a Debian changelog: each "## VERSION - DATE" heading
# starts an entry, each "- " item becomes a "  * " line and its continuation
# lines are indented under it. Set -v package=NAME -v maintainer="NAME <MAIL>".
function close_entry(    command, stamp) {
    if (version == "" || failed) return
    command = "LC_ALL=C date -u -R -d " day
    command | getline stamp
    close(command)
    printf "\n -- %s  %s\n", maintainer, stamp
}
/^## / {
    close_entry()
    if (version != "") print ""
    version = $2
    day = $4
    if (day !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) {
        print "CHANGELOG.md: not a release heading: " $0 > "/dev/stderr"
        failed = 1
        exit 1
    }
    printf "%s (%s) unstable; urgency=medium\n\n", package, version
    next
}
version == "" || /^[[:space:]]*$/ { next }
/^- / { print "  * " substr($0, 3); next }
/^ / { sub(/^ +/, ""); print "    " $0; next }
{ print "  " $0 }
END { close_entry() }
