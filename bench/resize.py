#!/usr/bin/env python3
"""Resize benchmark: one large photo-like TGA down to 800 pixels wide with a
Lanczos filter, saved as JPEG at quality 95 (4:4:4), by velmora and by peer
tools in one run. Prints the median wall time of N runs and the peak resident
memory (from /usr/bin/time -v) of each, with ratios to velmora.

Usage: bench/resize.py [--velmora build/velmora] [--runs 5] [--size 8000x6000]
                       [--workdir DIR] [--keep]
Peers: scripts/setup bench installs them; missing ones are skipped.

Two extra lines help read the result: "velmora+hugepages" is the same command
with glibc's transparent-huge-page tunable (same pixels, fewer page faults),
and a breakdown of the FreeImage calls the pipeline makes, timed one by one.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def real_tool(name, *candidates):
    """The first existing candidate path, else the tool found on PATH."""
    for c in candidates:
        if os.path.isfile(c) and os.access(c, os.X_OK):
            return c
    return shutil.which(name)


def make_inputs(work, size):
    w, h = size
    gen = os.path.join(work, "gen_photo")
    subprocess.run(["cc", "-O2", "-o", gen, os.path.join(HERE, "gen_photo.c"), "-lm"], check=True)
    tga, ppm = os.path.join(work, "photo.tga"), os.path.join(work, "photo.ppm")
    subprocess.run([gen, str(w), str(h), tga, ppm], check=True)
    return tga, ppm


HUGEPAGES = "glibc.malloc.hugetlb=1"


def tools(args, work, tga, ppm, target_w):
    out = os.path.join(work, "out")
    os.makedirs(out, exist_ok=True)
    rows = []
    velmora = os.path.abspath(args.velmora)
    if os.access(velmora, os.X_OK):
        # Height must be non-zero to pass the command-line checks; with the
        # aspect ratio kept only the longer side's target counts.
        rows.append(("velmora", [velmora, "-i", tga, "-o", os.path.join(out, "velmora"),
                                 f"--width={target_w}", "--height=1", "--keep-aspect-ratio",
                                 "--resize-algorithm=lanczos", "--jpg-quality=95", "--jpg-chroma=none"],
                     os.path.join(out, "velmora", "photo.jpg"), "tga", None))
        os.makedirs(os.path.join(out, "velmora"), exist_ok=True)
        rows.append(("velmora+hugepages", rows[-1][1], rows[-1][2], "tga", HUGEPAGES))
    else:
        print(f"velmora not found at {velmora}; build it first", file=sys.stderr)
    im = real_tool("convert", "/usr/bin/convert")
    if im:
        rows.append(("imagemagick", [im, tga, "-filter", "Lanczos", "-resize", f"{target_w}x",
                                     "-quality", "95", "-sampling-factor", "1x1",
                                     os.path.join(out, "im.jpg")], os.path.join(out, "im.jpg"), "tga", None))
    gm = real_tool("gm", "/usr/bin/gm")
    if gm:
        rows.append(("graphicsmagick", [gm, "convert", tga, "-filter", "Lanczos", "-resize", f"{target_w}x",
                                        "-quality", "95", "-sampling-factor", "1x1",
                                        os.path.join(out, "gm.jpg")], os.path.join(out, "gm.jpg"), "tga", None))
    vips = real_tool("vips", "/usr/bin/vips")
    if vips:
        scale = target_w / args.size[0]
        rows.append(("vips resize", [vips, "resize", ppm, os.path.join(out, "vips.jpg[Q=95,subsample-mode=off]"),
                                     repr(scale), "--kernel", "lanczos3"],
                     os.path.join(out, "vips.jpg"), "ppm", None))
    return rows


def measure(argv, env, timefile):
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-v", "-o", timefile] + argv, env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    with open(timefile) as f:
        text = f.read()
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1))
    return proc.returncode, wall, rss, proc.stderr.decode(errors="replace")


def stage_breakdown(work, tga, size, target_w, env):
    """Medians of three timed runs of the pipeline's FreeImage calls."""
    exe = os.path.join(work, "resize_stages")
    built = subprocess.run(["g++", "-O2", "-o", exe, os.path.join(HERE, "resize_stages.cpp"), "-lfreeimage"])
    if built.returncode != 0:
        return
    target_h = round(target_w * size[1] / size[0])
    for label, tunables in (("plain", None), ("hugepages", HUGEPAGES)):
        e = dict(env)
        if tunables:
            e["GLIBC_TUNABLES"] = tunables
        runs = []
        for _ in range(3):
            text = subprocess.run([exe, tga, str(target_w), str(target_h), os.path.join(work, "stages.jpg")],
                                  env=e, capture_output=True, text=True).stdout
            runs.append([float(v) for v in re.findall(r"([\d.]+) ms", text)] +
                        [float(re.search(r"~([\d.]+)", text).group(1))])
        med = [statistics.median(col) for col in zip(*runs)]
        print(f"  {label:<10} load {med[0]:5.0f} ms (allocate+zero alone {med[4]:4.0f}), "
              f"rescale {med[1]:5.0f} ms, free {med[2]:3.0f} ms, save {med[3]:3.0f} ms")


def jpeg_size(path):
    """Width x height from the JPEG's start-of-frame marker."""
    with open(path, "rb") as f:
        data = f.read()
    i = 2
    while i + 9 < len(data):
        if data[i] != 0xFF:
            return "?"
        marker, length = data[i + 1], int.from_bytes(data[i + 2:i + 4], "big")
        if marker in (0xC0, 0xC1, 0xC2):
            h = int.from_bytes(data[i + 5:i + 7], "big")
            w = int.from_bytes(data[i + 7:i + 9], "big")
            return f"{w}x{h}"
        i += 2 + length
    return "?"


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--velmora", default=os.path.join(ROOT, "build", "velmora"))
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--size", default="8000x6000",
                   type=lambda s: tuple(int(v) for v in s.lower().split("x")))
    p.add_argument("--target-width", type=int, default=800)
    p.add_argument("--workdir")
    p.add_argument("--keep", action="store_true", help="keep the generated files")
    args = p.parse_args()

    work = args.workdir or tempfile.mkdtemp(prefix="velmora-bench-")
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ)
    for var in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"):
        env[var] = os.path.join(work, var.lower())
        os.makedirs(env[var], mode=0o700, exist_ok=True)
    try:
        tga, ppm = make_inputs(work, args.size)
        print(f"input: {args.size[0]}x{args.size[1]} 24-bit, {os.path.getsize(tga) / 1e6:.0f} MB TGA "
              f"(vips reads the same pixels as PPM); {args.runs} runs each after one warm-up; "
              f"{os.cpu_count()} CPUs")
        results = []
        print("load average %.2f %.2f %.2f" % os.getloadavg())
        for name, argv, output, fmt, tunables in tools(args, work, tga, ppm, args.target_width):
            tool_env = dict(env)
            if tunables:
                tool_env["GLIBC_TUNABLES"] = tunables
            rc, _, _, err = measure(argv, tool_env, os.path.join(work, "time.txt"))  # warm-up, also a check
            if rc != 0 or not os.path.exists(output):
                print(f"{name}: failed (exit {rc}) {err.strip()[:200]}", file=sys.stderr)
                continue
            walls, rsss = [], []
            for _ in range(args.runs):
                rc, wall, rss, _ = measure(argv, tool_env, os.path.join(work, "time.txt"))
                walls.append(wall)
                rsss.append(rss)
            results.append((name, fmt, statistics.median(walls), min(walls), max(rsss),
                            jpeg_size(output), os.path.getsize(output)))

        if not results:
            return 1
        base = next((r for r in results if r[0] == "velmora"), results[0])
        print()
        print(f"{'tool':<19}{'input':<7}{'median s':>10}{'min s':>8}{'x velmora':>11}"
              f"{'peak MB':>9}{'x velmora':>11}{'output':>12}{'bytes':>10}")
        for name, fmt, med, best, rss, dims, nbytes in results:
            print(f"{name:<19}{fmt:<7}{med:>10.3f}{best:>8.3f}{med / base[2]:>11.2f}"
                  f"{rss / 1024:>9.0f}{rss / base[4]:>11.2f}{dims:>12}{nbytes:>10}")
        peers = [r for r in results if not r[0].startswith("velmora")]
        if base[0] == "velmora" and peers:
            fastest = min(peers, key=lambda r: r[2])
            print(f"\nvelmora / fastest peer ({fastest[0]}): {base[2] / fastest[2]:.2f}x time")
        print("\nFreeImage calls of the pipeline, timed alone (median of 3):")
        stage_breakdown(work, tga, args.size, args.target_width, env)
        print("load average %.2f %.2f %.2f" % os.getloadavg())
        return 0
    finally:
        if not args.keep and not args.workdir:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
