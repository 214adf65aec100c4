#!/usr/bin/env python3
"""Start to first paint of a small local page (green.html) under Xvfb,
Larkspan beside dillo, netsurf-gtk, links2 -g and a bare Qt 6 window filled
green (the floor: no browser starts faster than a window of its toolkit).

  run_first_paint.py LARKSPAN_BINARY [--build DIR] [--rounds N]

The timer is the shared first_paint.c (built as BUILD/bin/first_paint): it
starts a contender and reports the milliseconds until the screen pixel at
600,300 turns 00ff00, then the contender's resident memory 1.5 s later.
Each run gets a fresh HOME (and a fresh copy of Larkspan's program folder)
and a process group of its own, which is killed afterwards together with
anything else running under that HOME (dillo leaves its dpid behind). A run
starts only once the probe pixel is no longer green. Rounds alternate the
contenders, in an order that rotates each round; each contender's median,
spread (lowest-highest) and median resident memory are printed as one
Markdown table. A Larkspan binary that is not there is skipped with a line
saying so, so the peers can be measured before the program exists.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE = os.path.join(HERE, "..", "inputs", "green.html")
# Below the page's heading and above where links2 puts its first-start
# welcome box (a fresh HOME is a first start).
PROBE = ["600", "300", "00ff00", "1500"]
# A pixel still green from the last contender turns back within this.
CLEAR_WAIT_S = 10
RUN_TIMEOUT_S = 60


def fail(message):
    sys.exit("run_first_paint.py: " + message)


def start_xvfb():
    """A private X server; returns (process, display name)."""
    if not shutil.which("Xvfb"):
        fail("Xvfb is not installed (Debian package xvfb)")
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
                               "tcp", "-br", "-noreset"], pass_fds=[write_end], start_new_session=True,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.endswith(b"\n"):
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number.decode().strip()


def kill_leftovers(group, home):
    """Ends the run's process group and whatever else runs with its HOME."""
    try:
        os.killpg(group, signal.SIGKILL)
    except ProcessLookupError:
        pass
    marker = b"HOME=" + home.encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if marker in f.read():
                    os.kill(int(pid), signal.SIGKILL)
        except (OSError, ProcessLookupError):
            pass


def copy_program(binary, folder):
    """Larkspan and what the build puts beside it (resources, forms/)."""
    source = os.path.dirname(os.path.abspath(binary))
    os.makedirs(folder)
    shutil.copy2(binary, folder)
    for name in os.listdir(source):
        path = os.path.join(source, name)
        if os.path.isfile(path) and not os.access(path, os.X_OK):
            shutil.copy2(path, folder)
    if os.path.isdir(os.path.join(source, "forms")):
        shutil.copytree(os.path.join(source, "forms"), os.path.join(folder, "forms"))
    return os.path.join(folder, os.path.basename(binary))


def prepare_home(home, contender, display):
    """A contender's command and environment for a start in the fresh folder
    home: Larkspan runs from a copy of its program folder there."""
    name, command = contender
    os.makedirs(os.path.join(home, "runtime"), mode=0o700)
    if name == "Larkspan":
        command = [copy_program(command[0], os.path.join(home, "program"))] + command[1:]
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "DISPLAY": display,
           "XDG_RUNTIME_DIR": os.path.join(home, "runtime"), "LANG": "C.UTF-8"}
    return command, env


def run_once(timer, display, contender):
    """One start: (milliseconds to the green pixel, VmRSS KiB 1.5 s later)."""
    name, command = contender
    home = tempfile.mkdtemp(prefix="lark-first-paint-home-")
    try:
        command, env = prepare_home(home, contender, display)
        deadline = time.monotonic() + CLEAR_WAIT_S
        while True:
            run = subprocess.Popen([timer] + PROBE + command, env=env, cwd=home, start_new_session=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            try:
                out, err = run.communicate(timeout=RUN_TIMEOUT_S)
            except subprocess.TimeoutExpired:
                run.kill()
                out, err = run.communicate()
            finally:
                kill_leftovers(run.pid, home)
            if "already has the colour" in err and time.monotonic() < deadline:
                time.sleep(0.1)
                continue
            if run.returncode != 0:
                fail("%s: %s" % (name, (err or out).strip() or "exit %d" % run.returncode))
            milliseconds, rss, _ = out.split()
            return float(milliseconds), int(rss)
    finally:
        shutil.rmtree(home, ignore_errors=True)


def contenders(larkspan, build):
    page_url = "file://" + os.path.abspath(PAGE)
    listed = []
    if larkspan and os.access(larkspan, os.X_OK):
        listed.append(("Larkspan", [os.path.abspath(larkspan), "/home=" + os.path.abspath(PAGE)]))
    else:
        print("Larkspan: skipped, no program at %s (build it first: scripts/build.sh --program)" % larkspan)
    for name, command in [("dillo", ["dillo", page_url]), ("netsurf-gtk", ["netsurf-gtk", page_url]),
                          ("links2 -g", ["links2", "-g", page_url])]:
        if shutil.which(command[0]):
            listed.append((name, command))
        else:
            print("%s: skipped, not installed (scripts/packages.d/bench.txt)" % name)
    floor = os.path.abspath(os.path.join(build, "bin", "bench_bare_qt_window"))
    if not os.access(floor, os.X_OK):
        fail("no %s: build the benchmarks first (scripts/build.sh --bench)" % floor)
    listed.append(("bare Qt 6 window", [floor]))
    return listed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("larkspan")
    parser.add_argument("--build", default="build-bench")
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("LARK_BENCH_ROUNDS", "5")))
    args = parser.parse_args()
    timer = os.path.abspath(os.path.join(args.build, "bin", "first_paint"))
    if not os.access(timer, os.X_OK):
        fail("no %s: build the benchmarks first (scripts/build.sh --bench)" % timer)
    listed = contenders(args.larkspan, args.build)
    server, display = start_xvfb()
    times = {name: [] for name, _ in listed}
    memory = {name: [] for name, _ in listed}
    loads = []
    try:
        for contender in listed:
            run_once(timer, display, contender)  # warm-up, not recorded
        for round_number in range(args.rounds):
            shift = round_number % len(listed)
            for contender in listed[shift:] + listed[:shift]:
                loads.append(os.getloadavg()[0])
                milliseconds, rss = run_once(timer, display, contender)
                times[contender[0]].append(milliseconds)
                memory[contender[0]].append(rss)
    finally:
        server.kill()
        server.wait()
    print("Start to first paint of green.html under Xvfb 1280x1024x24 (pixel 600,300 turns 00ff00), "
          "%d alternated runs each, load average %.1f-%.1f" % (args.rounds, min(loads), max(loads)))
    print()
    print("| contender | first paint, median | spread | resident memory 1.5 s later, median |")
    print("|---|---|---|---|")
    for name, _ in listed:
        print("| %s | %.0f ms | %.0f-%.0f ms | %.1f MiB |" % (name, statistics.median(times[name]), min(times[name]),
                                                            max(times[name]), statistics.median(memory[name]) / 1024))
    if "Larkspan" in times:
        ours = statistics.median(times["Larkspan"])
        print()
        for name, _ in listed[1:]:
            print("%s / Larkspan: %.2f" % (name, statistics.median(times[name]) / ours))


if __name__ == "__main__":
    main()
