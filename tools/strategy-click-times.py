#!/usr/bin/env python3
"""Times clicks on strategies in the running program, as a user feels them.

Starts tarnwell on a private Xvfb display with openbox, under xtrace, which
passes on and stamps every X request and event; clicks two
strategy nodes of the tree in turn with xdotool; and reports, for every click,
the time from the button press reaching the program to the last X request of
the drawing that follows it (the last request before the program stays quiet
for half a second).

The program runs on private settings made for the run (a temporary HOME and
XDG folders): the binomial American model at 200 steps, three 2-D chart
windows, the 3-D window open (or not, with --no-3d), and the strategy (or the
group, with --start-on-group) selected at the start.

  tools/strategy-click-times.py --program build/bin/tarnwell --display 390 \\
      --at 100,304 --at 100,341 --clicks 30

The places clicked (--at, screen pixels) are the centres of the two nodes in the
tree as the program starts (above: "Iron butterfly" and "Iron condor" at
1600x1000; started on the group T1, "Long call" and "Long put" lie at 90,89 and
90,107); a screenshot of the screen before the first click and after the first
two is left in the output folder to check where they land. The time of the
program's start is reported too: from its first X request to the last before a
second without any. Besides the project's packages it needs xtrace, xdotool
and imagemagick.
"""

import argparse
import json
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def registry(settings, charts):
    """The settings file: values of section "Settings" and of the charts' sections."""
    def values(pairs):
        out = []
        for name, value in pairs.items():
            if isinstance(value, int) and not isinstance(value, bool):
                out.append([name, "REG_DWORD", value])
            else:
                out.append([name, "REG_SZ", str(value)])
        return out

    chart_keys = [["CC%d" % (i + 1), {"keys": [], "values": values(c)}] for i, c in enumerate(charts)]
    section = {"keys": chart_keys, "values": values(settings)}
    tree = {"keys": [["Software", {"keys": [["Myrtova", {"keys": [["Tarnwell", {"keys": [["Settings", section]],
                                                                              "values": []}]],
                                                       "values": []}]],
                                   "values": []}]],
            "values": []}
    return {"root": "HKEY_CURRENT_USER", "tree": tree}


def start_display(number, size, logs):
    xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", size + "x24", "-nolisten", "tcp"],
                            stdout=open(os.path.join(logs, "xvfb.log"), "w"), stderr=subprocess.STDOUT)
    for _ in range(100):
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            break
        time.sleep(0.1)
    env = dict(os.environ, DISPLAY=":%d" % number)
    wm = subprocess.Popen(["openbox"], env=env, stdout=open(os.path.join(logs, "openbox.log"), "w"),
                          stderr=subprocess.STDOUT)
    time.sleep(1.0)
    return xvfb, wm


LINE = re.compile(r"^(\d+\.\d+) (\d+):([<>]):")


def click_times(trace, quiet):
    """The start (from the first X request to the last before one second without
    any) and, per button press in the trace, the milliseconds to the last
    request before `quiet` s without one."""
    presses = []
    requests = []
    with open(trace, errors="replace") as f:
        for line in f:
            m = LINE.match(line)
            if m is None:
                continue
            t = float(m.group(1))
            if m.group(3) == ">" and "ButtonPress" in line[:120]:
                # One press comes through each input device the server has.
                if not presses or t - presses[-1] > 0.1:
                    presses.append(t)
            elif m.group(3) == "<":
                requests.append(t)
    start = 0.0
    for a, b in zip(requests, requests[1:]):
        if b - a > 1.0 or (presses and b > presses[0]):
            start = (a - requests[0]) * 1000.0
            break
    times = []
    for k, press in enumerate(presses):
        following = presses[k + 1] if k + 1 < len(presses) else float("inf")
        last = press
        for t in requests:
            if t <= press:
                continue
            if t >= following or t - last > quiet:
                break
            last = t
        times.append((last - press) * 1000.0)
    return start, times


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--program", required=True)
    p.add_argument("--library", help="strategies file (default: DEFAULT.STG beside the program)")
    p.add_argument("--chain", help="option-chain file (default: SAMPLE.opt beside the program)")
    p.add_argument("--display", type=int, required=True, help="a free X display number; the next one is xtrace's")
    p.add_argument("--size", default="1600x1000")
    p.add_argument("--at", action="append", required=True, help="x,y of a node to click (give two)")
    p.add_argument("--clicks", type=int, default=30)
    p.add_argument("--interval", type=float, default=2.5, help="seconds from one click to the next")
    p.add_argument("--settle", type=float, default=8.0, help="seconds from the start to the first click")
    p.add_argument("--start-on-group", metavar="KEY", help="start with this group selected (as T1), the windows empty")
    p.add_argument("--no-3d", action="store_true", help="the 3-D window closed")
    p.add_argument("--out", default=None, help="folder for the trace, logs and screenshots")
    p.add_argument("--cache", default=None, help="cache folder kept from run to run (Mesa's shaders); default: a new one")
    p.add_argument("--quiet", type=float, default=0.5, help="seconds without a request that end a drawing")
    args = p.parse_args()

    here = os.path.dirname(os.path.abspath(args.program))
    library = args.library or os.path.join(here, "DEFAULT.STG")
    chain = args.chain or os.path.join(here, "SAMPLE.opt")
    out = args.out or tempfile.mkdtemp(prefix="click-times-")
    os.makedirs(out, exist_ok=True)
    home = tempfile.mkdtemp(prefix="click-home-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
               XDG_STATE_HOME=home + "/state", XDG_CACHE_HOME=args.cache or home + "/cache")
    os.makedirs(home + "/config/tarnwell/registry")
    # The tree's band made tall enough to show the groups down to the one
    # clicked, whole; the second and third 2-D windows side by side over the
    # bottom of the main window (the chain), the first and the 3-D window
    # where the program opens them.
    settings = {"Model": 2, "Steps": "200", "CCCount": 3, "3dChartVisible": "False" if args.no_3d else "True",
                "StgSelectedStrategy": args.start_on_group or "T4S6",
                "SDP": 5700, "SPO": 7400, "SOS": 9000}
    charts = [{}, {"Left": 0, "Top": 9000, "Width": 5850, "Height": 5550},
              {"Left": 6000, "Top": 9000, "Width": 5850, "Height": 5550}]
    with open(home + "/config/tarnwell/registry/HKEY_CURRENT_USER.json", "w") as f:
        json.dump(registry(settings, charts), f)

    points = [tuple(int(v) for v in a.split(",")) for a in args.at]
    xvfb, wm = start_display(args.display, args.size, out)
    shown = ":%d" % args.display
    trace = os.path.join(out, "trace.log")
    if os.path.exists(trace):
        os.remove(trace)
    program = None
    try:
        program = subprocess.Popen(
            ["xtrace", "-d", shown, "-D", ":%d" % (args.display + 1), "-n", "--monotonic-timestamps", "-o", trace,
             "--", args.program, "-S", library, "-O", chain],
            env=env, stdout=open(os.path.join(out, "program.log"), "w"), stderr=subprocess.STDOUT,
            start_new_session=True)
        xenv = dict(os.environ, DISPLAY=shown)
        time.sleep(args.settle)
        subprocess.run(["import", "-window", "root", os.path.join(out, "before.png")], env=xenv)
        for k in range(args.clicks):
            x, y = points[k % len(points)]
            subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=xenv)
            time.sleep(1.0)
            subprocess.run(["xdotool", "click", "1"], env=xenv)
            time.sleep(args.interval - 1.0)
            if k < 2:
                subprocess.run(["import", "-window", "root", os.path.join(out, "click%d.png" % (k + 1))], env=xenv)
    finally:
        if program is not None:
            os.killpg(program.pid, signal.SIGTERM)
            program.wait()
        wm.terminate()
        xvfb.terminate()
        wm.wait()
        xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)

    start, times = click_times(trace, args.quiet)
    print("start: %.0f ms" % start)
    print("clicks: " + " ".join("%.0f" % t for t in times))
    if len(times) > 1:
        later = times[1:]
        print("first %.0f ms; later: median %.0f ms, %.0f-%.0f ms (%d clicks)"
              % (times[0], statistics.median(later), min(later), max(later), len(later)))
    print("trace and screenshots in " + out)
    return 0 if len(times) == args.clicks else 1


if __name__ == "__main__":
    sys.exit(main())
