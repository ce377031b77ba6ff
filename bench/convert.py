#!/usr/bin/env python3
"""Times velmora against the bare FreeImage path and peer converters on the same
generated photo-like Targa files: medians of N runs and peak memory (max RSS from
/usr/bin/time -v), printed as a table with ratios to the bare FreeImage reference."""
import os, statistics, subprocess, sys, tempfile, time

from benchlib import print_ratio_table, run_interleaved

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
RUNS = int(os.environ.get("RUNS", "5"))
SIZES = [(8000, 6000), (1000, 750)]
FLAGS = str(95 | 0x10000)  # quality 95, no chroma subsampling



def main():
    subprocess.run([os.path.join(ROOT, "scripts", "setup"), "build", "test", "bench"], check=True)
    subprocess.run([os.path.join(ROOT, "scripts", "build"), "build"], check=True)
    work = tempfile.mkdtemp(prefix="velmora-bench-")
    env = dict(os.environ, XDG_RUNTIME_DIR=work, XDG_CONFIG_HOME=work)
    for w, h in SIZES:
        src = os.path.join(work, f"photo{w}.tga")
        subprocess.run([os.path.join(BUILD, "bench", "bench_make_tga"), str(w), str(h), src], check=True)
        out = lambda name: os.path.join(work, name)
        tools = [
            ("bare FreeImage", [os.path.join(BUILD, "bench", "bench_bare_freeimage"), src, out("bare.jpg"), FLAGS]),
            ("velmora", [os.path.join(BUILD, "velmora"), "-q", "-i", src, "-o", work,
                         "--jpg-quality=95", "--jpg-chroma=none"]),
            ("cjpeg", ["sh", "-c", f"cjpeg -quality 95 -sample 1x1 -targa '{src}' > '{out('cjpeg.jpg')}'"]),
            ("ImageMagick", ["/usr/bin/convert-im6.q16", src, "-quality", "95", "-sampling-factor", "1x1", out("im.jpg")]),
            ("GraphicsMagick", ["gm", "convert", src, "-quality", "95", "-sampling-factor", "1x1", out("gm.jpg")]),
            ("ffmpeg", ["ffmpeg", "-loglevel", "error", "-y", "-i", src, "-q:v", "2", "-pix_fmt", "yuvj444p", out("ff.jpg")]),
        ]
        results = run_interleaved(tools, RUNS, env)
        print_ratio_table(f"{w} x {h} 24-bit Targa -> JPEG q95 4:4:4, median of {RUNS} runs",
                          results, "bare FreeImage", "tool")


if __name__ == "__main__":
    main()
