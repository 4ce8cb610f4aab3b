#!/usr/bin/env bash
# Runs one command on a private X display of its own: Xvfb (with Mesa's
# software OpenGL) and the openbox window manager, both ended when the command
# ends. Used by test suites that need a real window system or OpenGL.
# TW_X11_SCREEN gives the screen's size (default 1600x1000).
set -u
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${TW_X11_SCREEN:-1600x1000}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
if [ ! -s "$fdfile" ]; then
    echo "run-x11: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    rm -f "$fdfile"
    exit 1
fi
export DISPLAY=":$(head -n1 "$fdfile")"
rm -f "$fdfile"
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Wait until the window manager has taken the screen.
for _ in $(seq 1 60); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
"$@"
rc=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $rc
