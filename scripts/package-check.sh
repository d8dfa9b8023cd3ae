#!/usr/bin/env bash
# Builds the Debian package and checks it installs Orvandel where a desktop
# looks for it: program and launcher, desktop entry, AppStream metadata,
# icon, the shared sounds and example tournament, the Qt dependencies; then
# runs the packaged launcher (with a stand-in program) against a fake home.
#
# Usage: scripts/package-check.sh     (BUILD_DIR overrides the build folder,
#                                      default: build/ in the repository)
# Exits non-zero on the first failure, with a line starting "FAIL:".
set -euo pipefail
source "$(dirname "$0")/deps.sh"

# dpkg-dev for dpkg-shlibdeps (cpack), the two validators for the metadata.
orvandel_install_missing dpkg-dev file desktop-file-utils appstream

# The default preset's folder, build/, unless BUILD_DIR names another.
build=${BUILD_DIR:-$orvandel_root/build}
app_id=io.github.orvandel.Orvandel

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
ok() { echo "ok: $*"; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --- build the package ------------------------------------------------------

# The program preset's build, in build/ or, with the default preset, in BUILD_DIR.
if [ -n "${BUILD_DIR:-}" ]; then
    cmake -S "$orvandel_root" -B "$build" --preset default >/dev/null
    cmake --build "$build" --target orvandel >/dev/null
else
    (cd "$orvandel_root" && cmake --workflow --preset program >/dev/null)
fi
rm -f "$build"/orvandel_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || {
    cat "$scratch/cpack.log" >&2
    fail "cpack could not build the package"
}
debs=("$build"/orvandel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "expected one orvandel_*.deb in $build, found: ${debs[*]}"
fi
deb=${debs[0]}
echo "package: $deb"

# --- control fields -----------------------------------------------------------

field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = orvandel ] || fail "Package is '$(field Package)', not orvandel"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no CMAKE_PROJECT_VERSION in $build/CMakeCache.txt"
case $(field Version) in
    "$version" | "$version"-*) ok "Version $(field Version) is the project's $version" ;;
    *) fail "Version is '$(field Version)', the project is $version" ;;
esac
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture is '$(field Architecture)', dpkg says $(dpkg --print-architecture)"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)', not games"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^\>@]+@[^\>]+\>$ ]] ||
    fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ -n "$(field Description)" ] || fail "no Description"

# Package names in Depends, without versions; alternatives count too.
depends=$(field Depends)
dep_names=" $(echo "$depends" | sed 's/[,|]/\n/g' | sed 's/(.*)//; s/:.*//; s/[[:space:]]//g' |
    grep -v '^$' | tr '\n' ' ')"
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6; do
    [[ $dep_names == *" $pkg "* ]] || fail "Depends lacks $pkg: $depends"
done
ok "Depends: $depends"

# --- file list ----------------------------------------------------------------

dpkg --contents "$deb" | awk '{print $NF}' >"$scratch/contents"
outside=$(grep -v -e '^\./usr/' -e '^\./$' "$scratch/contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr

is_exec_file() { [ -f "$1" ] && [ -x "$1" ]; }
is_exec_file "$usr/bin/orvandel" || fail "usr/bin/orvandel missing or not executable"
[ "$(head -c4 "$usr/bin/orvandel" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "usr/bin/orvandel is not an ELF program"
is_exec_file "$usr/bin/orvandel-launcher" || fail "usr/bin/orvandel-launcher missing or not executable"
sh -n "$usr/bin/orvandel-launcher" || fail "usr/bin/orvandel-launcher is not a valid shell script"
grep -q '@[A-Z][A-Z_]*@' "$usr/bin/orvandel-launcher" && fail "usr/bin/orvandel-launcher has unconfigured @VARIABLES@"
ok "program and launcher in usr/bin"

for f in sound1.wav sound2.wav sound3.wav sound4.wav example-blinds.dat; do
    cmp -s "$usr/share/orvandel/$f" "$orvandel_root/resources/$f" ||
        fail "usr/share/orvandel/$f missing or not the one in resources/"
done
ok "sounds and example tournament in usr/share/orvandel"

[ -s "$usr/share/doc/orvandel/copyright" ] || fail "usr/share/doc/orvandel/copyright missing"

# --- desktop entry --------------------------------------------------------------

desktop=$usr/share/applications/$app_id.desktop
[ -f "$desktop" ] || fail "usr/share/applications/$app_id.desktop missing"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"

entry() { # key: its value in the [Desktop Entry] group
    awk -v key="$1" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 {
            print substr($0, length(key) + 2); exit
        }' "$desktop"
}
[ "$(entry Type)" = Application ] || fail "desktop entry Type is '$(entry Type)'"
[ "$(entry Name)" = Orvandel ] || fail "desktop entry Name is '$(entry Name)'"
[ "$(entry Terminal)" = false ] || fail "desktop entry Terminal is '$(entry Terminal)'"
[[ ";$(entry Categories)" == *";Game;"* && ";$(entry Categories)" == *";CardGame;"* ]] ||
    fail "desktop entry Categories '$(entry Categories)' lacks Game;CardGame;"
[ -n "$(entry Comment)" ] || fail "desktop entry has no Comment"

# Exec must start the packaged launcher: a bare name found in usr/bin (on
# PATH), or its absolute path.
exec_cmd=$(entry Exec | awk '{print $1}')
case $exec_cmd in
    /*) exec_file=$root$exec_cmd ;;
    */*) fail "desktop entry Exec '$exec_cmd' is a relative path" ;;
    *) exec_file=$usr/bin/$exec_cmd ;;
esac
[ "$(basename "$exec_cmd")" = orvandel-launcher ] ||
    fail "desktop entry Exec '$(entry Exec)' does not start orvandel-launcher"
is_exec_file "$exec_file" || fail "desktop entry Exec '$exec_cmd' is not in the package"

# Icon= is a theme name: the hicolor theme must hold it, as a 256x256 PNG and
# as the scalable SVG.
icon=$(entry Icon)
[[ -n $icon && $icon != */* ]] || fail "desktop entry Icon '$icon' is not a theme icon name"
png=$usr/share/icons/hicolor/256x256/apps/$icon.png
svg=$usr/share/icons/hicolor/scalable/apps/$icon.svg
[ -f "$png" ] || fail "icon $icon: no usr/share/icons/hicolor/256x256/apps/$icon.png"
[ -f "$svg" ] || fail "icon $icon: no usr/share/icons/hicolor/scalable/apps/$icon.svg"
# PNG: 8-byte signature, then the IHDR chunk whose data starts with the
# width and height as 4-byte big-endian numbers (bytes 17..24).
[ "$(head -c8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "$icon.png is not a PNG"
size=$(od -An -tu1 -j16 -N8 "$png" |
    awk '{ printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }')
[ "$size" = 256x256 ] || fail "$icon.png is $size, the 256x256 folder needs 256x256"
grep -q '<svg' "$svg" || fail "$icon.svg is not an SVG"
ok "desktop entry valid; Exec=$(entry Exec); Icon=$icon in hicolor (256x256 PNG, SVG)"

# --- AppStream metadata ----------------------------------------------------------

metainfo=$usr/share/metainfo/$app_id.metainfo.xml
[ -f "$metainfo" ] || fail "usr/share/metainfo/$app_id.metainfo.xml missing"
appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 || {
    cat "$scratch/appstream.log" >&2
    fail "appstreamcli rejects $app_id.metainfo.xml"
}
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo launchable is not $app_id.desktop"
grep -q '<content_rating type="oars-' "$metainfo" || fail "metainfo has no OARS content_rating"
ok "AppStream metadata valid, launchable $app_id.desktop"

# --- the launcher, with a stand-in program ----------------------------------------

# A copy of the unpacked tree whose program only reports where it was started,
# with what, and what that folder holds.
tree=$scratch/tree
cp -a "$root" "$tree"
cat >"$tree/usr/bin/orvandel" <<'EOF'
#!/bin/sh
echo "cwd=$(pwd)"
echo "args=$*"
ls -A
EOF
chmod 755 "$tree/usr/bin/orvandel"

# Starts the launcher the way the desktop does: by name, found on PATH, with
# ORVANDEL_WORKDIR only where a check sets it.
unset ORVANDEL_WORKDIR
launch() { # home xdg_data_home(empty: unset) args...
    local home=$1 xdg=$2
    shift 2
    env -i HOME="$home" PATH="$tree/usr/bin:/usr/bin:/bin" ${xdg:+XDG_DATA_HOME="$xdg"} \
        ${ORVANDEL_WORKDIR:+ORVANDEL_WORKDIR="$ORVANDEL_WORKDIR"} orvandel-launcher "$@"
}

home=$scratch/home
mkdir -p "$home"
work=$home/.local/share/orvandel
out=$(cd / && launch "$home" "" --first run) || fail "launcher failed on first use: $out"
grep -qx "cwd=$work" <<<"$out" || fail "launcher did not start the program in $work: $out"
grep -qx "args=--first run" <<<"$out" || fail "launcher did not pass its arguments on: $out"
for f in sound1.wav sound2.wav sound3.wav sound4.wav; do
    cmp -s "$work/$f" "$orvandel_root/resources/$f" || fail "first use: $work/$f not copied"
    grep -qx "$f" <<<"$out" || fail "first use: the program did not see $f: $out"
done
cmp -s "$work/blinds.dat" "$orvandel_root/resources/example-blinds.dat" ||
    fail "first use: $work/blinds.dat is not the example tournament"
ok "first use: $work made with the four sounds and the example blinds.dat"

# The user's own tournament, and a removed sound.
# shellcheck disable=SC2016 # literal dollar amounts
printf '2,5\r\n"$1","$2"\r\n"$2","$4"\r\n' >"$work/blinds.dat"
cp "$work/blinds.dat" "$scratch/mine.dat"
rm "$work/sound3.wav"
out=$(launch "$home" "") || fail "launcher failed on second use: $out"
grep -qx "cwd=$work" <<<"$out" || fail "second use: not started in $work: $out"
cmp -s "$work/blinds.dat" "$scratch/mine.dat" || fail "second use: the user's blinds.dat was overwritten"
cmp -s "$work/sound3.wav" "$orvandel_root/resources/sound3.wav" ||
    fail "second use: the removed sound3.wav was not put back"
ok "second use: the user's blinds.dat kept, a missing sound put back"

# XDG_DATA_HOME, when set, is where the folder goes.
xdg=$scratch/xdg-data
out=$(launch "$home" "$xdg") || fail "launcher failed with XDG_DATA_HOME: $out"
grep -qx "cwd=$xdg/orvandel" <<<"$out" || fail "with XDG_DATA_HOME the program ran in: $out"
[ -f "$xdg/orvandel/blinds.dat" ] || fail "with XDG_DATA_HOME no blinds.dat in $xdg/orvandel"
ok "XDG_DATA_HOME honoured"

# ORVANDEL_WORKDIR, when set, is the folder, XDG_DATA_HOME or not.
own=$scratch/own-folder
out=$(ORVANDEL_WORKDIR=$own launch "$home" "$xdg") || fail "launcher failed with ORVANDEL_WORKDIR: $out"
grep -qx "cwd=$own" <<<"$out" || fail "with ORVANDEL_WORKDIR the program ran in: $out"
cmp -s "$own/blinds.dat" "$orvandel_root/resources/example-blinds.dat" ||
    fail "with ORVANDEL_WORKDIR no example blinds.dat in $own"
ok "ORVANDEL_WORKDIR honoured"

echo "package-check: all checks passed for $(basename "$deb")"
