#!/usr/bin/env python3
"""Resize benchmark: one large photo-like 24-bit TGA down to 800 pixels wide with
a Lanczos filter, saved as JPEG at quality 95 with 4:4:4 chroma, by velmora and by
peer tools in one run. Rounds are interleaved (every tool once per round), so a
change in machine load hits all tools alike. Prints the median and the fastest
wall time, the peak resident memory (from /usr/bin/time -v) and ratios to velmora.

Usage: bench/resize.py [--build build] [--runs 5] [--size 8000x6000] [--keep]
Needs the build's velmora and bench/ helpers; peers come from scripts/setup bench
(missing ones are skipped). libvips reads the same pixels from a PPM file.

Two extra lines help read the result: "velmora+hugepages" is the same command
with glibc's transparent-huge-page tunable (same output bytes, fewer page
faults), and a breakdown of the FreeImage calls the pipeline makes, timed alone.
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HUGEPAGES = "glibc.malloc.hugetlb=1"


def first_tool(*candidates):
    for c in candidates:
        path = c if os.path.isabs(c) else shutil.which(c)
        if path and os.path.isfile(path) and os.access(path, os.X_OK):
            return path
    return None


def tga_to_ppm(tga, ppm):
    """Same pixels for tools that do not read TGA: 24-bit, uncompressed, no id."""
    with open(tga, "rb") as f:
        header = f.read(18)
        w, h = int.from_bytes(header[12:14], "little"), int.from_bytes(header[14:16], "little")
        data = f.read(w * h * 3)
    top_down = bool(header[17] & 0x20)
    row = w * 3
    with open(ppm, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (w, h))
        for y in range(h):
            start = (y if top_down else h - 1 - y) * row
            src = data[start:start + row]
            rgb = bytearray(row)
            rgb[0::3], rgb[1::3], rgb[2::3] = src[2::3], src[1::3], src[0::3]
            out.write(rgb)


def tools(build, work, tga, ppm, size, target_w):
    out = os.path.join(work, "out")
    rows = []
    velmora = os.path.join(build, "velmora")
    if os.access(velmora, os.X_OK):
        folder = os.path.join(out, "velmora")
        os.makedirs(folder, exist_ok=True)
        # The height must be non-zero to pass the command-line checks; with the
        # aspect ratio kept only the longer side's target counts.
        argv = [velmora, "-q", "-i", tga, "-o", folder, f"--width={target_w}", "--height=1",
                "--keep-aspect-ratio", "--resize-algorithm=lanczos", "--jpg-quality=95", "--jpg-chroma=none"]
        output = os.path.join(folder, "photo.jpg")
        rows.append(("velmora", "tga", argv, output, None))
        rows.append(("velmora+hugepages", "tga", argv, output, HUGEPAGES))
    else:
        print(f"no velmora at {velmora}; build it first", file=sys.stderr)
    im = first_tool("/usr/bin/convert-im6.q16", "/usr/bin/convert")
    if im:
        o = os.path.join(out, "im.jpg")
        rows.append(("imagemagick", "tga", [im, tga, "-filter", "Lanczos", "-resize", f"{target_w}x",
                                            "-quality", "95", "-sampling-factor", "1x1", o], o, None))
    gm = first_tool("gm")
    if gm:
        o = os.path.join(out, "gm.jpg")
        rows.append(("graphicsmagick", "tga", [gm, "convert", tga, "-filter", "Lanczos", "-resize", f"{target_w}x",
                                               "-quality", "95", "-sampling-factor", "1x1", o], o, None))
    vips = first_tool("vips")
    if vips:
        o = os.path.join(out, "vips.jpg")
        rows.append(("vips resize", "ppm", [vips, "resize", ppm, o + "[Q=95,subsample-mode=off]",
                                            repr(target_w / size[0]), "--kernel", "lanczos3"], o, None))
    return rows


def measure(argv, env, timefile):
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-v", "-o", timefile] + argv, env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    with open(timefile) as f:
        rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", f.read()).group(1))
    return proc.returncode, wall, rss, proc.stderr.decode(errors="replace")


def jpeg_size(path):
    """Width x height from the JPEG's start-of-frame marker."""
    with open(path, "rb") as f:
        data = f.read()
    i = 2
    while i + 9 < len(data) and data[i] == 0xFF:
        marker, length = data[i + 1], int.from_bytes(data[i + 2:i + 4], "big")
        if marker in (0xC0, 0xC1, 0xC2):
            return f"{int.from_bytes(data[i + 7:i + 9], 'big')}x{int.from_bytes(data[i + 5:i + 7], 'big')}"
        i += 2 + length
    return "?"


def stage_breakdown(build, tga, size, target_w, env):
    """Medians of three timed runs of the pipeline's FreeImage calls."""
    exe = os.path.join(build, "bench", "bench_resize_stages")
    if not os.access(exe, os.X_OK):
        return
    target_h = round(target_w * size[1] / size[0])
    for label, tunables in (("plain", None), ("hugepages", HUGEPAGES)):
        e = dict(env, GLIBC_TUNABLES=tunables) if tunables else env
        runs = []
        for _ in range(3):
            jpg = os.path.join(os.path.dirname(tga), "stages.jpg")
            text = subprocess.run([exe, tga, str(target_w), str(target_h), jpg],
                                  env=e, capture_output=True, text=True).stdout
            runs.append([float(v) for v in re.findall(r"([\d.]+) ms", text)] +
                        [float(re.search(r"~([\d.]+)", text).group(1))])
        med = [statistics.median(col) for col in zip(*runs)]
        print(f"  {label:<10} load {med[0]:5.0f} ms (allocating and zeroing alone {med[4]:4.0f}), "
              f"rescale {med[1]:5.0f} ms, free {med[2]:3.0f} ms, save {med[3]:3.0f} ms")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--size", default="8000x6000", type=lambda s: tuple(int(v) for v in s.lower().split("x")))
    p.add_argument("--target-width", type=int, default=800)
    p.add_argument("--keep", action="store_true", help="keep the generated files and print where")
    args = p.parse_args()
    build = os.path.abspath(args.build)

    # An interrupted run still removes its files.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    work = tempfile.mkdtemp(prefix="velmora-bench-resize-")
    env = dict(os.environ)
    for var in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"):
        env[var] = os.path.join(work, var.lower())
        os.makedirs(env[var], mode=0o700)
    try:
        tga, ppm = os.path.join(work, "photo.tga"), os.path.join(work, "photo.ppm")
        subprocess.run([os.path.join(build, "bench", "bench_make_tga"), str(args.size[0]), str(args.size[1]), tga],
                       check=True)
        tga_to_ppm(tga, ppm)
        rows = tools(build, work, tga, ppm, args.size, args.target_width)
        timefile = os.path.join(work, "time.txt")
        live = []
        for row in rows:  # warm-up, which also checks that the tool does the job
            name, _, argv, output, tunables = row
            rc, _, _, err = measure(argv, dict(env, GLIBC_TUNABLES=tunables) if tunables else env, timefile)
            if rc != 0 or not os.path.exists(output):
                print(f"{name}: failed (exit {rc}) {err.strip()[:300]}", file=sys.stderr)
            else:
                live.append(row)
        if not live:
            return 1

        print(f"{args.size[0]} x {args.size[1]} 24-bit TGA ({os.path.getsize(tga) / 1e6:.0f} MB) -> "
              f"{args.target_width} wide, Lanczos, JPEG q95 4:4:4; {args.runs} interleaved rounds; "
              f"{os.cpu_count()} CPUs; load average before %.2f" % os.getloadavg()[0])
        walls = {r[0]: [] for r in live}
        rss = {r[0]: [] for r in live}
        for _ in range(args.runs):
            for name, _, argv, _, tunables in live:
                _, wall, kb, _ = measure(argv, dict(env, GLIBC_TUNABLES=tunables) if tunables else env, timefile)
                walls[name].append(wall)
                rss[name].append(kb)

        base = "velmora" if "velmora" in walls else live[0][0]
        base_t, base_m = statistics.median(walls[base]), max(rss[base])
        print(f"\n{'tool':<19}{'input':<7}{'median s':>10}{'min s':>8}{'x velmora':>11}"
              f"{'peak MiB':>10}{'x velmora':>11}{'output':>10}")
        for name, fmt, _, output, _ in live:
            t, m = statistics.median(walls[name]), max(rss[name])
            print(f"{name:<19}{fmt:<7}{t:>10.3f}{min(walls[name]):>8.3f}{t / base_t:>11.2f}"
                  f"{m / 1024:>10.0f}{m / base_m:>11.2f}{jpeg_size(output):>10}")
        peers = [r[0] for r in live if not r[0].startswith("velmora")]
        if base == "velmora" and peers:
            fastest = min(peers, key=lambda n: statistics.median(walls[n]))
            print(f"\nvelmora / fastest peer ({fastest}): median {base_t / statistics.median(walls[fastest]):.2f}x, "
                  f"fastest run {min(walls['velmora']) / min(walls[fastest]):.2f}x")
        print("\nFreeImage calls of the pipeline, timed alone (median of 3):")
        stage_breakdown(build, tga, args.size, args.target_width, env)
        print("load average after %.2f" % os.getloadavg()[0])
        return 0
    finally:
        if args.keep:
            print(f"files kept in {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
