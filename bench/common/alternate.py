#!/usr/bin/env python3
"""Times our program beside a peer doing the same work, and keeps one row.

  alternate.py run --results FILE --work TEXT --rounds N --core CPU --figure KIND
                   --ours NAME 'COMMAND' [--peer NAME 'COMMAND']
  alternate.py table FILE

`run` starts each contender as its own process, pinned with taskset to the
same core, without a shell: first one unrecorded warm-up each, then ours and
the peer in turn (ours, peer, ours, peer...) for N rounds. A process reports
its own time, which KIND says how to read from its standard output:
  seconds       the first number of the last line
  median-lines  the median of the first number of every line
  gbench        Google Benchmark's JSON (the flag is added): CPU time per iteration
The row keeps each contender's median time, the median of the per-round
ratios (peer time / our time: above 1, ours is faster) with their minimum and
maximum, each contender's peak resident memory over all its runs (from
/usr/bin/time, measured on the process itself), and the 1-minute load
average seen before the runs. A contender that fails stops the run with its
output.

`table` prints the rows as one Markdown table.
"""
import argparse
import json
import os
import shlex
import statistics
import subprocess
import sys
import tempfile


def fail(message):
    sys.exit("alternate.py: " + message)


def read_figure(kind, output, command):
    lines = [line.split() for line in output.splitlines() if line.strip()]
    try:
        if kind == "seconds":
            return float(lines[-1][0])
        if kind == "median-lines":
            return statistics.median(float(line[0]) for line in lines)
        runs = json.loads(output)["benchmarks"]
        if len(runs) != 1:
            fail("%s ran %d benchmarks; its filter must pick one" % (command, len(runs)))
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[runs[0]["time_unit"]]
        return runs[0]["cpu_time"] * scale
    except (IndexError, ValueError, KeyError) as error:
        fail("cannot read a time from %s (%s); it printed:\n%s" % (command, error, output[-2000:]))


def run_once(command, kind, core):
    """Runs one contender; returns its time in seconds and peak RSS in KiB."""
    argv = shlex.split(command)
    if kind == "gbench":
        argv.append("--benchmark_format=json")
    with tempfile.NamedTemporaryFile("r") as peak:
        wrapped = ["taskset", "-c", str(core), "/usr/bin/time", "-f", "%M", "-o", peak.name] + argv
        done = subprocess.run(wrapped, capture_output=True, text=True)
        if done.returncode != 0:
            fail("%s failed (exit %d):\n%s%s" % (command, done.returncode, done.stdout[-2000:], done.stderr[-2000:]))
        rss = int(peak.read().split()[-1])
    return read_figure(kind, done.stdout, command), rss


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def run(args):
    contenders = [args.ours] + ([args.peer] if args.peer else [])
    for _, command in contenders:
        run_once(command, args.figure, args.core)
    times = [[] for _ in contenders]
    peaks = [0 for _ in contenders]
    loads = []
    for _ in range(args.rounds):
        for index, (_, command) in enumerate(contenders):
            loads.append(load_average())
            seconds, rss = run_once(command, args.figure, args.core)
            times[index].append(seconds)
            peaks[index] = max(peaks[index], rss)
    if args.peer:
        ratios = [peer / ours for ours, peer in zip(times[0], times[1])]
        ratio, low, high = statistics.median(ratios), min(ratios), max(ratios)
    else:
        ratio, low, high = float("nan"), min(times[0]), max(times[0])
    row = {
        "work": args.work,
        "ours": args.ours[0], "ours_s": statistics.median(times[0]), "ours_kib": peaks[0],
        "peer": args.peer[0] if args.peer else "", "peer_s": statistics.median(times[1]) if args.peer else None,
        "peer_kib": peaks[1] if args.peer else None,
        "ratio": ratio, "low": low, "high": high, "rounds": args.rounds,
        "load_low": min(loads), "load_high": max(loads),
    }
    with open(args.results, "a") as f:
        f.write(json.dumps(row) + "\n")
    print(format_row(row), flush=True)


def duration(seconds):
    if seconds >= 1:
        return "%.3f s" % seconds
    if seconds >= 1e-3:
        return "%.2f ms" % (seconds * 1e3)
    return "%.1f µs" % (seconds * 1e6)


def memory(kib):
    return "%.1f MiB" % (kib / 1024)


def format_row(row):
    ours = "%s %s, %s" % (row["ours"], duration(row["ours_s"]), memory(row["ours_kib"]))
    if row["peer"]:
        peer = "%s %s, %s" % (row["peer"], duration(row["peer_s"]), memory(row["peer_kib"]))
        ratio = "%.2f" % row["ratio"]
        spread = "%.2f-%.2f" % (row["low"], row["high"])
    else:
        peer, ratio = "none", "-"
        spread = "%s-%s" % (duration(row["low"]), duration(row["high"]))
    load = "%.1f-%.1f" % (row["load_low"], row["load_high"])
    return "| %s | %s | %s | %s | %s | %d | %s |" % (row["work"], ours, peer, ratio, spread, row["rounds"], load)


def table(path):
    print("| work | ours (median time, peak memory) | peer (median time, peak memory) | ratio | spread | runs each"
          " | load average |")
    print("|---|---|---|---|---|---|---|")
    with open(path) as f:
        for line in f:
            if line.strip():
                print(format_row(json.loads(line)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    one = commands.add_parser("run")
    one.add_argument("--results", required=True)
    one.add_argument("--work", required=True)
    one.add_argument("--rounds", type=int, default=5)
    one.add_argument("--core", default=str(os.cpu_count() - 1))
    one.add_argument("--figure", choices=["seconds", "median-lines", "gbench"], required=True)
    one.add_argument("--ours", nargs=2, metavar=("NAME", "COMMAND"), required=True)
    one.add_argument("--peer", nargs=2, metavar=("NAME", "COMMAND"))
    show = commands.add_parser("table")
    show.add_argument("results")
    args = parser.parse_args()
    if args.command == "run":
        run(args)
    else:
        table(args.results)


if __name__ == "__main__":
    main()
