"""What the benchmark scripts share: timing one command with its peak memory."""
import statistics
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


def run_interleaved(cases, runs, env):
    """Runs every (name, command) case `runs` times, one round of all cases at a
    time, so load changes hit every case alike. Returns name -> [(seconds, KiB)]."""
    results = {name: [] for name, _ in cases}
    for _ in range(runs):
        for name, cmd in cases:
            results[name].append(measure(cmd, env))
    return results


def print_ratio_table(title, results, base, label):
    """Median seconds and peak memory of each case, and their ratios to `base`."""
    def medians(name):
        return (statistics.median(t for t, _ in results[name]), statistics.median(m for _, m in results[name]))
    base_t, base_m = medians(base)
    print(f"\n{title}")
    print(f"{label:<18}{'seconds':>10}{'x ' + base:>18}{'peak MiB':>10}{'x ' + base:>18}")
    for name in results:
        t, m = medians(name)
        print(f"{name:<18}{t:>10.3f}{t / base_t:>18.3f}{m / 1024:>10.1f}{m / base_m:>18.2f}")
