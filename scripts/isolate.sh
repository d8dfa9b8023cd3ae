# shellcheck shell=sh
# Sourced (POSIX sh) by every script that starts programs for the tests and
# the benchmarks. The machine they run on is often a developer's own, where
# a sound server, displays, a session bus, servers on well-known ports and
# the user's own Orvandel run beside them: what these scripts start must
# neither reach nor disturb any of that, nor read the user's settings and
# journals.
#
#   isolate_bus "$0" "$@"   first thing: runs the script again on a private
#                           session bus of its own (dbus-run-session)
#   isolate_home DIR        HOME, the XDG folders and the runtime folder
#                           under DIR; no display, no sound server
#   isolate_pulse SINK      a private PulseAudio server with a null sink
#   isolate_pulse_stop      ends it (also fine when none was started)

# The caller sets isolate_scripts to the folder of this file.
: "${isolate_scripts:?set isolate_scripts to the scripts/ folder before sourcing isolate.sh}"

# isolate_bus SCRIPT ARGS...: unless this process already runs on a private
# bus, runs SCRIPT again under dbus-run-session with a bus that serves
# nothing (no service can be started on it), and exits with its status.
# Without dbus-run-session the script goes on with no bus at all.
isolate_bus() {
    if [ "${ORVANDEL_PRIVATE_BUS:-}" = "${DBUS_SESSION_BUS_ADDRESS:-none}" ]; then
        return 0
    fi
    if command -v dbus-run-session >/dev/null 2>&1 &&
        [ -f "$isolate_scripts/private-bus.conf" ]; then
        # The child knows its bus as private by finding the address it was
        # given: an address inherited from the user's session never matches.
        # shellcheck disable=SC2016 # expanded by that shell
        exec dbus-run-session --config-file="$isolate_scripts/private-bus.conf" -- \
            sh -c 'ORVANDEL_PRIVATE_BUS=$DBUS_SESSION_BUS_ADDRESS exec "$@"' sh "$@"
    fi
    # No bus: an address where nothing listens, so that nothing looks further.
    ORVANDEL_PRIVATE_BUS="unix:path=/nonexistent/orvandel-no-bus"
    DBUS_SESSION_BUS_ADDRESS=$ORVANDEL_PRIVATE_BUS
    export ORVANDEL_PRIVATE_BUS DBUS_SESSION_BUS_ADDRESS
}

# isolate_home DIR: a home, XDG config, data, cache and state folders and a
# runtime folder (mode 700) under DIR, made if missing. The display, the
# sound server and anything naming the user's are dropped; sound clients are
# pointed at a socket where nothing listens, so that they neither reach the
# user's server nor start one of their own.
isolate_home() {
    mkdir -p "$1/home" "$1/config" "$1/data" "$1/cache" "$1/state" "$1/runtime" || return 1
    chmod 700 "$1/runtime" || return 1
    HOME=$1/home
    XDG_CONFIG_HOME=$1/config
    XDG_DATA_HOME=$1/data
    XDG_CACHE_HOME=$1/cache
    XDG_STATE_HOME=$1/state
    XDG_RUNTIME_DIR=$1/runtime
    PULSE_SERVER=unix:$1/runtime/no-sound-server
    export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME XDG_RUNTIME_DIR \
        PULSE_SERVER
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY PULSE_SINK PULSE_SOURCE PULSE_COOKIE \
        PULSE_RUNTIME_PATH PULSE_STATE_PATH PULSE_CLIENTCONFIG PULSE_PROP \
        PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR ORVANDEL_WORKDIR
    # The bus isolate_bus made, or none; never the user's.
    if [ -n "${ORVANDEL_PRIVATE_BUS:-}" ]; then
        DBUS_SESSION_BUS_ADDRESS=$ORVANDEL_PRIVATE_BUS
    else
        DBUS_SESSION_BUS_ADDRESS="unix:path=$1/runtime/no-bus"
    fi
    export DBUS_SESSION_BUS_ADDRESS
}

isolate_pulse_pid=
isolate_pulse_dir=

# isolate_pulse SINK [IDLE-SECONDS]: after isolate_home, starts a PulseAudio
# server of its own in $XDG_RUNTIME_DIR/pulse (socket, cookie, state, client
# configuration), with a null sink SINK at 44.1 kHz as its default and
# nothing else, and points every sound client started from here at it. It
# loads no module on request, asks for no realtime priority (a request on
# the system bus) and ends by itself IDLE-SECONDS (30) after its last client
# left, should whoever started it be killed before isolate_pulse_stop.
# Sets isolate_pulse_pid; the server's log is $XDG_RUNTIME_DIR/pulse/log.
# Status 1 when the server did not come up within 5 s.
isolate_pulse() {
    isolate_pulse_dir=$XDG_RUNTIME_DIR/pulse
    mkdir -p "$isolate_pulse_dir/state" || return 1
    chmod 700 "$isolate_pulse_dir" || return 1
    printf 'autospawn = no\n' >"$isolate_pulse_dir/client.conf"
    PULSE_RUNTIME_PATH=$isolate_pulse_dir
    PULSE_STATE_PATH=$isolate_pulse_dir/state
    PULSE_SERVER=unix:$isolate_pulse_dir/native
    PULSE_COOKIE=$isolate_pulse_dir/cookie
    PULSE_CLIENTCONFIG=$isolate_pulse_dir/client.conf
    export PULSE_RUNTIME_PATH PULSE_STATE_PATH PULSE_SERVER PULSE_COOKIE PULSE_CLIENTCONFIG
    pulseaudio -n --daemonize=no --system=false --use-pid-file=no \
        --exit-idle-time="${2:-30}" --disallow-exit --disallow-module-loading \
        --realtime=no --high-priority=no --disable-shm=yes --log-target=stderr \
        -L "module-native-protocol-unix socket=$isolate_pulse_dir/native auth-cookie=$PULSE_COOKIE" \
        -L "module-null-sink sink_name=$1 rate=44100 norewinds=1" \
        >"$isolate_pulse_dir/log" 2>&1 &
    isolate_pulse_pid=$!
    isolate_tries=0
    while [ $isolate_tries -lt 50 ]; do
        if pactl info >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$isolate_pulse_pid" 2>/dev/null || break
        sleep 0.1
        isolate_tries=$((isolate_tries + 1))
    done
    isolate_pulse_stop
    return 1
}

# isolate_pulse_stop: ends the server isolate_pulse started, if it runs.
isolate_pulse_stop() {
    if [ -n "$isolate_pulse_pid" ]; then
        kill "$isolate_pulse_pid" 2>/dev/null
        wait "$isolate_pulse_pid" 2>/dev/null
        isolate_pulse_pid=
isolate_pulse_dir=
    fi
    return 0
}
