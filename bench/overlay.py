#!/usr/bin/env python3
"""Times the overlays against the plain conversion of the same 12-megapixel
photo-like Targa: velmora with a solid frame and a text watermark must cost at
most 1.3 times the plain run. Medians of RUNS (5) interleaved runs, with peak
memory from /usr/bin/time -v. BUILD names the build folder (default build)."""
import os, statistics, subprocess, sys, tempfile, time

from benchlib import print_ratio_table, run_interleaved

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, os.environ.get("BUILD", "build"))
RUNS = int(os.environ.get("RUNS", "5"))
WIDTH, HEIGHT = 4000, 3000
BUDGET = 1.3

FRAME = ["--fr-solid-left=40", "--fr-solid-right=40", "--fr-solid-top=40", "--fr-solid-bottom=60",
         "--fr-solid-top-color=203040", "--fr-solid-bottom-color=203040", "--fr-solid-opacity=220"]
TEXT = ["--wm-text=%filename% %width%x%height%%eol%(c) Varnello", "--wm-font-size=28", "--wm-text-antialiasing",
        "--wm-back-opacity=120", "--wm-text-padding=8", "--wm-text-boundary=frame"]



def main():
    subprocess.run([os.path.join(ROOT, "scripts", "setup"), "build"], check=True)
    subprocess.run([os.path.join(ROOT, "scripts", "build"), os.path.relpath(BUILD, ROOT)], check=True)
    work = tempfile.mkdtemp(prefix="velmora-bench-overlay-")
    env = dict(os.environ, XDG_RUNTIME_DIR=work, XDG_CONFIG_HOME=work)
    src = os.path.join(work, "photo.tga")
    subprocess.run([os.path.join(BUILD, "bench", "bench_make_tga"), str(WIDTH), str(HEIGHT), src], check=True)
    logo = os.path.join(work, "logo.bmp")
    with open(logo, "wb") as f:  # a 300 x 120 24-bit BMP of mid grey
        row = bytes([128, 128, 128]) * 300
        size = 54 + len(row) * 120
        f.write(b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little"))
        f.write((40).to_bytes(4, "little") + (300).to_bytes(4, "little") + (120).to_bytes(4, "little"))
        f.write((1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
        f.write(row * 120)
    base = [os.path.join(BUILD, "velmora"), "-q", "-i", src, "-o", work]
    cases = [
        ("plain", []),
        ("frame", FRAME),
        ("text", TEXT),
        ("frame + text", FRAME + TEXT),
        ("frame + picture", FRAME + ["--wm-image=" + logo, "--wm-image-opacity=128"]),
    ]
    results = run_interleaved([(name, base + extra) for name, extra in cases], RUNS, env)
    print_ratio_table(f"{WIDTH} x {HEIGHT} 24-bit Targa -> JPEG, median of {RUNS} runs", results, "plain", "case")
    plain = statistics.median(t for t, _ in results["plain"])
    ratio = statistics.median(t for t, _ in results["frame + text"]) / plain
    verdict = "within" if ratio <= BUDGET else "OVER"
    print(f"\nframe + text costs {ratio:.3f} x the plain conversion: {verdict} the budget of {BUDGET}")
    return 0 if ratio <= BUDGET else 1


if __name__ == "__main__":
    sys.exit(main())
