#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those missing, and builds with the presets. Sourced by every script.

orvandel_packages=(
    build-essential cmake
    qt6-base-dev qt6-multimedia-dev libgl-dev
    qt6-httpserver-dev qt6-websockets-dev  # the live view's web server and its viewers' WebSockets
    fonts-liberation             # metric-compatible Arial for the clock
    pulseaudio pulseaudio-utils sox  # the real-audio test
    dbus-daemon                  # the screen-awake test's private session bus
    xvfb xdotool faketime procps # the resume test runs the real program on a private screen
    chromium                     # the live page in a real browser (test)
    libqrencode-dev              # the QR code of the clock's address on phones and TVs
    zbar-tools                   # the QR test reads the code back with zbarimg
)

# The names that differ between releases: clang's runtime carries clang's
# version (that of the release's default clang). Read from the release the
# script runs on; another release gets the runtime of its default clang.
orvandel_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $orvandel_release in
bookworm) orvandel_clang_rt=libclang-rt-14-dev ;;
trixie) orvandel_clang_rt=libclang-rt-19-dev ;;
*) orvandel_clang_rt=libclang-rt-dev ;;
esac

# What the checks beyond the test suite use: fuzzing, the package check.
orvandel_check_packages=(
    clang "$orvandel_clang_rt"
    dpkg-dev file desktop-file-utils appstream  # file: CPack reads the binary with it
)

orvandel_install_missing() {
    local missing=() pkg
    for pkg in "${orvandel_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Configures and builds a preset of CMakePresets.json (default, asan, fuzz,
# tidy) in that preset's folder, or in build-dir when one is given (the
# BUILD_DIR that bench/run.sh and package-check.sh accept). Further arguments
# go to cmake --build, e.g. --target. A compiler launcher such as ccache is
# taken from CMAKE_CXX_COMPILER_LAUNCHER in the environment when a folder is
# first configured.
orvandel_build() { # preset [build-dir [cmake --build options...]]
    local preset=$1 dir=${2:-}
    shift $(($# < 2 ? $# : 2))
    if [ -n "$dir" ]; then
        cmake -S "$orvandel_root" --preset "$preset" -B "$dir" >/dev/null
        cmake --build "$dir" -j"$(nproc)" "$@"
    else
        (cd "$orvandel_root" && cmake --preset "$preset" >/dev/null &&
            cmake --build --preset "$preset" -j"$(nproc)" "$@")
    fi
}

orvandel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
