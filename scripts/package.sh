#!/usr/bin/env bash
# Builds the Debian package from a Release build and checks it: the files a
# desktop needs are in their places, the entry and the service start the
# installed program, and the program unpacked into a bare folder runs.
# Usage: scripts/package.sh [BUILD_DIR]   (default build/test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
"$root/scripts/install-deps.sh"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target corvanta
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb="$build/corvanta_${version}_${arch}.deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[[ -f "$deb" ]] || { echo "package.sh: $deb was not made" >&2; exit 1; }

fail() { echo "package.sh: $*" >&2; exit 1; }
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/corvanta \
            ./usr/share/applications/io.corvanta.Corvanta.desktop \
            ./usr/share/dbus-1/services/io.corvanta.Corvanta.service \
            ./usr/share/metainfo/io.corvanta.Corvanta.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/io.corvanta.Corvanta.svg \
            ./usr/share/icons/hicolor/symbolic/apps/io.corvanta.Corvanta-symbolic.svg; do
  grep -qx -- "$path" <<<"$contents" || fail "missing $path"
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
private_lib=./usr/lib/$multiarch/corvanta/libQuaylithCore.so.0
grep -qx -- "$private_lib" <<<"$contents" || fail "missing $private_lib"
full_program=./usr/lib/$multiarch/corvanta/corvanta-app
grep -qx -- "$full_program" <<<"$contents" || fail "missing $full_program"
if grep -q '^\./usr/lib/[^/]*\.so' <<<"$contents"; then fail "a library sits in the public folder"; fi
if grep -q -e '^\./usr/local/' -e '/tests\?/' -e 'bench' <<<"$contents"; then
  fail "holds files that are not for users"
fi
control=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 libglib2.0-0 qt6-qpa-plugins; do
  grep -q "$dependency" <<<"$control" || fail "Depends lacks $dependency: $control"
done
# Listed first: `grep -q` leaving early would fail the pipe with SIGPIPE.
control_files=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
for script in postinst postrm; do
  grep -qx "./$script" <<<"$control_files" || fail "no $script"
done

root_dir=$(mktemp -d)
trap 'rm -rf "$root_dir"' EXIT
dpkg -x "$deb" "$root_dir"
grep -qx 'Exec=/usr/bin/corvanta --dbus-service' "$root_dir/usr/share/dbus-1/services/io.corvanta.Corvanta.service" ||
  fail "the D-Bus service does not start /usr/bin/corvanta"
grep -q '^Exec=/usr/bin/corvanta ' "$root_dir/usr/share/applications/io.corvanta.Corvanta.desktop" ||
  fail "the desktop entry does not start /usr/bin/corvanta"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root_dir/usr/share/applications/io.corvanta.Corvanta.desktop"
fi
# The unpacked full program must find its library through its own run path;
# the launcher hands requests over without loading what draws.
found=$(ldd "$root_dir/${full_program#./}" | awk '$1 == "libQuaylithCore.so.0" {print $3}')
[[ -n "$found" && $(realpath -s "$found") == "$root_dir/${private_lib#./}" ]] ||
  fail "the full program found its library at '$found'"
launcher_libraries=$(ldd "$root_dir/usr/bin/corvanta")
if grep -q -e libQuaylithCore -e libQt6Widgets -e libQt6Gui <<<"$launcher_libraries"; then
  fail "the launcher loads the full program's libraries"
fi
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root_dir/usr/bin/corvanta" --version)
[[ "$out" == "corvanta $version" ]] || fail "corvanta --version said: $out"
metainfo="$root_dir/usr/share/metainfo/io.corvanta.Corvanta.metainfo.xml"
validation=$(appstreamcli validate --no-net "$metainfo") || fail "AppStream metadata: $validation"
released=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[[ "$released" == "$version" ]] || fail "the AppStream metadata's newest release is $released"
logged=$(zcat "$root_dir/usr/share/doc/corvanta/changelog.gz" | sed -n '1s/^corvanta (\(.*\)).*/\1/p')
[[ "$logged" == "$version" ]] || fail "the changelog's newest entry is $logged"

# Lintian: nothing but the overrides shipped in the package, each under a
# one-line reason, and none that no longer matches anything.
overrides=$root/data/debian/lintian-overrides
awk '!/^#/ && NF && prev !~ /^#/ {bad = 1} {prev = $0} END {exit bad}' "$overrides" ||
  fail "every line of $overrides needs a one-line reason (a # line) above it"
report=$(lintian --fail-on none --display-info "$deb" 2>&1) || fail "lintian did not run: $report"
problems=$(grep -E '^[EW]: |(unused|mismatched)-override' <<<"$report" || true)
[[ -z "$problems" ]] || fail "lintian reports (fix each; or, in $overrides, override it under a reason or drop an override that no longer matches):
$problems"
echo "$deb"
