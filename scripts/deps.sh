#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those missing. Sourced by run.sh and test.sh.

orvandel_packages=(
    build-essential cmake
    qt6-base-dev qt6-multimedia-dev libgl-dev
    fonts-liberation             # metric-compatible Arial for the clock
    pulseaudio pulseaudio-utils sox  # the real-audio test
    dbus-daemon                  # the screen-awake test's private session bus
    xvfb xdotool faketime procps # the resume test runs the real program on a private screen
)

# What the checks beyond the test suite use: fuzzing, the package check.
orvandel_check_packages=(
    clang libclang-rt-14-dev
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

orvandel_build() { # build-dir [cmake options...]
    local dir=$1
    shift
    cmake -S "$orvandel_root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

orvandel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
