#!/usr/bin/env python3
"""Time until all 20 images of a page are shown, under Xvfb, Larkspan beside
dillo, netsurf-gtk and links2 -g, against the same nginx in the same run.

  run_image_page.py LARKSPAN_BINARY [--build DIR] [--rounds N]

The page holds 20 images of 64 KiB each (a 40x40 PNG of one colour of its
own, padded with a text chunk), served by nginx with limit_rate so that each
takes about 250 ms. The timer (BUILD/bin/images_shown) starts a contender on
the page's URL and reports the milliseconds until every image's colour shows
on the screen, and when the first one did. Larkspan inserts one image per
100 ms tick, a floor of 1.9 s from the first image to the twentieth; its
figure is printed beside that floor. Each run gets a fresh HOME (so no
contender has a cache); rounds alternate the contenders in a rotating order;
medians and spreads are printed as a Markdown table.
"""
import argparse
import os
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "first_paint"))
from run_first_paint import kill_leftovers, prepare_home, start_xvfb  # noqa: E402

IMAGES = 20
IMAGE_BYTES = 64 * 1024
RATE = "256k"
TIMEOUT_MS = "30000"


def fail(message):
    sys.exit("run_image_page.py: " + message)


def colour(i):
    """Twenty colours no browser's own chrome uses."""
    return (0x30 + 9 * i, 0x17 + 5 * i, 0xE0 - 7 * i)


def png(rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + bytes(rgb) * 40 for _ in range(40))
    body = (chunk(b"IHDR", struct.pack(">IIBBBBB", 40, 40, 8, 2, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))
    pad = IMAGE_BYTES - 8 - len(body) - 12
    text = b"Comment\0" + os.urandom(pad).hex().encode()[:pad - 8]
    return b"\x89PNG\r\n\x1a\n" + body[:-12] + chunk(b"tEXt", text) + body[-12:]


def serve(work):
    """nginx on a free port serving the page and its images; (process, URL)."""
    www = os.path.join(work, "www")
    os.makedirs(www)
    os.makedirs(os.path.join(work, "tmp"))
    tags = []
    for i in range(IMAGES):
        with open(os.path.join(www, "img%d.png" % i), "wb") as f:
            f.write(png(colour(i)))
        tags.append('<img src="img%d.png" width=40 height=40 hspace=4 vspace=4>%s' % (i, "<br>" if i % 5 == 4 else ""))
    with open(os.path.join(www, "page.html"), "w") as f:
        f.write("<html><head><title>images</title></head><body bgcolor=white>%s</body></html>" % "".join(tags))
    for root, dirs, files in os.walk(work):
        for name in dirs + files:
            os.chmod(os.path.join(root, name), 0o755)
    os.chmod(work, 0o755)
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    temp = os.path.join(work, "tmp")
    with open(os.path.join(work, "nginx.conf"), "w") as f:
        f.write("worker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\nevents { worker_connections 256; }\n"
                "http {\n  access_log off;\n  client_body_temp_path %s;\n  proxy_temp_path %s;\n"
                "  fastcgi_temp_path %s;\n  uwsgi_temp_path %s;\n  scgi_temp_path %s;\n"
                "  types { text/html html; image/png png; }\n"
                "  server {\n    listen 127.0.0.1:%d;\n    root %s;\n    location ~ \\.png$ { limit_rate %s; }\n"
                "  }\n}\n" % (work, work, temp, temp, temp, temp, temp, port, www, RATE))
    nginx = subprocess.Popen(["nginx", "-p", work, "-c", os.path.join(work, "nginx.conf"), "-g", "daemon off;"],
                             start_new_session=True)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            break
        except OSError:
            time.sleep(0.05)
    return nginx, "http://127.0.0.1:%d/page.html" % port


def run_once(timer, display, contender, colours):
    """One start: (ms until all images show, ms until the first one did)."""
    home = tempfile.mkdtemp(prefix="lark-image-page-home-")
    try:
        command, env = prepare_home(home, contender, display)
        run = subprocess.Popen([timer, TIMEOUT_MS, colours] + command, env=env, cwd=home, start_new_session=True,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            out, err = run.communicate(timeout=60)
        finally:
            kill_leftovers(run.pid, home)
        if run.returncode != 0:
            return None
        shown, first = out.split()
        return float(shown), float(first)
    finally:
        shutil.rmtree(home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("larkspan")
    parser.add_argument("--build", default="build-bench")
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("LARK_BENCH_ROUNDS", "5")))
    args = parser.parse_args()
    timer = os.path.abspath(os.path.join(args.build, "bin", "images_shown"))
    if not os.access(timer, os.X_OK):
        fail("no %s: build the benchmarks first (scripts/build.sh --bench)" % timer)
    work = tempfile.mkdtemp(prefix="lark-image-page-")
    nginx, url = serve(work)
    listed = []
    if os.access(args.larkspan, os.X_OK):
        listed.append(("Larkspan", [os.path.abspath(args.larkspan), "/home=" + url]))
    else:
        print("Larkspan: skipped, no program at %s" % args.larkspan)
    for name, command in [("dillo", ["dillo", url]), ("netsurf-gtk", ["netsurf-gtk", url]),
                          ("links2 -g", ["links2", "-g", url])]:
        if shutil.which(command[0]):
            listed.append((name, command))
        else:
            print("%s: skipped, not installed" % name)
    colours = ",".join("%02x%02x%02x" % colour(i) for i in range(IMAGES))
    server, display = start_xvfb()
    shown = {name: [] for name, _ in listed}
    first = {name: [] for name, _ in listed}
    failed = {name: 0 for name, _ in listed}
    try:
        for round_number in range(args.rounds):
            shift = round_number % len(listed)
            for contender in listed[shift:] + listed[:shift]:
                result = run_once(timer, display, contender, colours)
                if result is None:
                    failed[contender[0]] += 1
                    continue
                shown[contender[0]].append(result[0])
                first[contender[0]].append(result[1])
    finally:
        server.kill()
        nginx.send_signal(signal.SIGTERM)
        nginx.wait()
        shutil.rmtree(work, ignore_errors=True)
    print("All 20 images of 64 KiB shown (nginx limit_rate %s, about 250 ms each), start-up included, "
          "%d alternated runs each" % (RATE, args.rounds))
    print()
    print("| contender | all shown, median | spread | first shown, median | all - first | runs failed |")
    print("|---|---|---|---|---|---|")
    for name, _ in listed:
        if not shown[name]:
            print("| %s | - | - | - | - | %d |" % (name, failed[name]))
            continue
        gaps = [a - b for a, b in zip(shown[name], first[name])]
        print("| %s | %.0f ms | %.0f-%.0f ms | %.0f ms | %.0f ms | %d |" % (
            name, statistics.median(shown[name]), min(shown[name]), max(shown[name]), statistics.median(first[name]),
            statistics.median(gaps), failed[name]))
    if shown.get("Larkspan"):
        ours = statistics.median(shown["Larkspan"])
        gap = statistics.median([a - b for a, b in zip(shown["Larkspan"], first["Larkspan"])])
        print()
        print("Larkspan, first to last image: %.0f ms; the floor of one insertion per 100 ms is 1900 ms "
              "(%.2fx of it)" % (gap, gap / 1900))
        for name, _ in listed[1:]:
            if shown[name]:
                print("%s / Larkspan: %.2f" % (name, statistics.median(shown[name]) / ours))


if __name__ == "__main__":
    main()
