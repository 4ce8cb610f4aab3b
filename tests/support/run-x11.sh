#!/usr/bin/env bash
# Runs one command on a private X display of its own: Xvfb (with Mesa's
# software OpenGL) and the openbox window manager, both ended when the command
# ends. Used by test suites that need a real window system or OpenGL.
#
# The display number is the first free one of TW_X11_DISPLAYS, a range
# "first-last" (default 200-299, far above the numbers people and scripts
# start displays on by hand). The X lock file of a number decides whether it
# is free, so suites started at the same time, by one user or by several on
# one machine, never share a display, and no number outside the range is
# ever taken. While every number of the range is held, the script waits for
# one (at most TW_X11_WAIT seconds, default 300). TW_X11_SCREEN gives the
# screen's size (default 1600x1000).
set -u

range=${TW_X11_DISPLAYS:-200-299}
first=${range%-*}
last=${range#*-}
if ! [[ $first =~ ^[0-9]+$ && $last =~ ^[0-9]+$ ]] || ((first > last)); then
    echo "run-x11: TW_X11_DISPLAYS must be a range like 16-19, not '$range'" >&2
    exit 2
fi

work=$(mktemp -d)
xvfb=
wm=
lock=
finish() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "$wm" ] && wait "$wm" 2>/dev/null
    [ -n "$xvfb" ] && wait "$xvfb" 2>/dev/null
    [ -n "$lock" ] && rm -f "$lock"
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

# Takes display $1: its lock file, made the way the X server makes its own
# (created only when absent, holding the pid of a live process: this
# script), tells every X server started by number that the display is held.
# Xvfb itself is started with -displayfd, which writes the number once the
# server accepts connections but leaves locking to us; it ends at once when
# another server listens on the number.
start_xvfb() {
    local ready="$work/xvfb-ready" answer=
    if ! (set -o noclobber; printf '%10d\n' $$ >"/tmp/.X$1-lock") 2>/dev/null; then
        return 1
    fi
    lock="/tmp/.X$1-lock"
    rm -f "$ready"
    mkfifo "$ready"
    Xvfb ":$1" -displayfd 3 -screen 0 "${TW_X11_SCREEN:-1600x1000}x24" -nolisten tcp -nopn 3>"$ready" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    read -r -t 60 answer <"$ready"
    if [ "$answer" = "$1" ]; then
        return 0
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=
    rm -f "$lock"
    lock=
    return 1
}

display=
deadline=$((SECONDS + ${TW_X11_WAIT:-300}))
while [ -z "$display" ]; do
    for ((n = first; n <= last; n++)); do
        if start_xvfb "$n"; then
            display=$n
            break
        fi
    done
    if [ -z "$display" ]; then
        if ((SECONDS >= deadline)); then
            echo "run-x11: no free X display in $range" >&2
            cat "$work/xvfb.log" >&2 2>/dev/null
            exit 1
        fi
        sleep 0.5
    fi
done

export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1

# openbox runs its start-up command once it manages the screen; the command
# tells us so through a pipe (opened both ways here, so that neither side
# blocks on opening it).
wm_ready="$work/wm-ready"
mkfifo "$wm_ready"
exec 4<>"$wm_ready"
openbox --sm-disable --startup "sh -c 'echo ready >$wm_ready'" >/dev/null 2>&1 4>&- &
wm=$!
answer=
read -r -t 60 -u 4 answer
exec 4>&-
if [ "$answer" != "ready" ]; then
    echo "run-x11: the window manager did not start on $DISPLAY" >&2
    exit 1
fi

"$@"
