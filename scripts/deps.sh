#!/usr/bin/env bash
# The Debian packages the build, the program and the checks need, and
# orvandel_install_missing, which installs those missing. Sourced by every
# script; the builds are CMakePresets.json's workflows (cmake --workflow).

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
    qt6-speech-dev qt6-speech-flite-plugin  # the clock's voice: Qt TextToSpeech with flite, no daemon
    zbar-tools                   # the QR test reads the code back with zbarimg
    poppler-utils                # the printed structure's test reads its PDF with pdftotext
)

# The names that differ between releases: clang's runtime carries clang's
# version (that of the release's default clang). Read from the release the
# script runs on; another release gets the runtime of its default clang.
orvandel_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $orvandel_release in
bookworm)
    orvandel_clang_rt=libclang-rt-14-dev
    # Qt 6.4's TextToSpeech CMake package asks for Qt Quick's.
    orvandel_packages+=(qt6-declarative-dev)
    ;;
trixie) orvandel_clang_rt=libclang-rt-19-dev ;;
*) orvandel_clang_rt=libclang-rt-dev ;;
esac

# What the checks beyond the test suite use: fuzzing, the static checks
# (clang-tidy brings run-clang-tidy) and the package check.
orvandel_check_packages=(
    clang "$orvandel_clang_rt" clang-format clang-tidy
    dpkg-dev file lintian desktop-file-utils appstream  # file: CPack reads the binary
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

# cmake --build, and so every workflow preset's build, uses every core unless
# told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

orvandel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
