"""What the benchmark scripts share: timing one command with its peak memory."""
import subprocess
import time


def measure(cmd, env=None):
    """Wall time in seconds and max RSS in KiB of one run."""
    start = time.perf_counter()
    p = subprocess.run(["/usr/bin/time", "-v"] + cmd, capture_output=True, text=True, env=env)
    elapsed = time.perf_counter() - start
    if p.returncode != 0:
        raise SystemExit(f"failed: {' '.join(cmd)}\n{p.stdout}\n{p.stderr}")
    rss = next(int(l.split(":")[1]) for l in p.stderr.splitlines() if "Maximum resident set size" in l)
    return elapsed, rss
