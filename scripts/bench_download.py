#!/usr/bin/env python3
"""Download benchmark: the installer's downloader under Wine against a bare
WinINet read loop under Wine and native curl, on one nginx on 127.0.0.1 and
one package; then the same with nginx limiting the rate; then the peak
memory of our program for a small and a large package.

    scripts/bench_download.sh [--size-mib 256] [--rate-mib 20] [--runs 3]

Figures are printed; nothing is asserted. Output files go to /dev/shm so
that the disk does not take part.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "servers"))

import lite_servers as servers  # noqa: E402

BUILD = os.environ.get("LITE_BUILD_DIR", os.path.join(ROOT, "build", "win32"))
PREFIX = os.environ.get("LITE_WINEPREFIX", os.path.join(BUILD, "wineprefix"))
WINE_RUN = os.path.join(ROOT, "scripts", "wine_run.sh")
BENCH = os.path.join(BUILD, "bin", "download_bench.exe")
MIB = 1024 * 1024


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_bench(mode, url, output):
    env = dict(os.environ, WINEDEBUG="-all")
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE_RUN, PREFIX, BENCH, mode, url, wine_path(output)], env=env,
                       stdout=out, stderr=subprocess.DEVNULL, timeout=600, check=False)
        out.seek(0)
        values = dict(line.split("=", 1) for line in out.read().decode().split() if "=" in line)
    if values.get("ok") != "1":
        raise RuntimeError("%s download failed: %r" % (mode, values))
    return {"seconds": float(values["seconds"]), "bytes": int(values["bytes"]),
            "peak": int(values["peak_working_set"]), "cpu": float(values["cpu_seconds"]),
            "chunks": int(values["chunks"])}


def run_curl(url, output):
    result = subprocess.run(["curl", "-s", "-o", output, "-w", "%{time_total} %{size_download}",
                             url], stdout=subprocess.PIPE, check=True, timeout=600)
    seconds, size = result.stdout.decode().split()
    return {"seconds": float(seconds), "bytes": int(float(size)), "peak": 0, "cpu": 0.0,
            "chunks": 0}


def measure(url, output, size, runs, modes):
    """Seconds of each run of each mode (runs interleaved), the peak working
    set, the processor seconds and the read count of the Windows programs."""
    times = {mode: [] for mode in modes}
    cpu = {mode: [] for mode in modes}
    chunks = {mode: [] for mode in modes}
    peaks = {mode: 0 for mode in modes}
    for _ in range(runs):
        for mode in modes:
            result = run_curl(url, output) if mode == "curl" else run_bench(mode, url, output)
            if result["bytes"] != size:
                raise RuntimeError("%s got %d of %d bytes" % (mode, result["bytes"], size))
            times[mode].append(result["seconds"])
            cpu[mode].append(result["cpu"])
            chunks[mode].append(result["chunks"])
            peaks[mode] = max(peaks[mode], result["peak"])
            os.remove(output)
    return times, cpu, chunks, peaks


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size-mib", type=int, default=256)
    parser.add_argument("--small-mib", type=int, default=16)
    parser.add_argument("--rate-mib", type=float, default=20.0)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    if not os.path.exists(BENCH):
        sys.exit("build first: %s is missing" % BENCH)

    work = tempfile.mkdtemp(prefix="lite-bench-", dir="/dev/shm")
    try:
        www = os.path.join(work, "www")
        os.makedirs(www)
        size = args.size_mib * MIB
        small = args.small_mib * MIB
        servers.make_package(os.path.join(www, "package.bin"), size)
        servers.make_package(os.path.join(www, "small.bin"), small, seed=2)
        output = os.path.join(work, "out.bin")
        modes = ["ours", "ours-nostop", "bare", "bare-read", "curl"]

        print("== unlimited: %d MiB from nginx on 127.0.0.1, %d runs each, interleaved"
              % (args.size_mib, args.runs))
        with servers.NginxServer(www) as nginx:
            times, cpu, chunks, peaks = measure(nginx.url("/package.bin"), output, size,
                                                args.runs, modes)
            _, _, _, small_peaks = measure(nginx.url("/small.bin"), output, small, 1, ["ours"])
        best = {m: min(t) for m, t in times.items()}
        for mode in modes:
            print("%-12s best %7.3f s  median %7.3f s  %8.1f MiB/s  processor median %6.3f s"
                  "  reads %7d" % (
                      mode, best[mode], statistics.median(times[mode]), size / MIB / best[mode],
                      statistics.median(cpu[mode]), statistics.median(chunks[mode])))
        median = {m: statistics.median(t) for m, t in times.items()}
        print("ratios                                       best     median")
        for label, a, b in [("ours / bare WinINet loop (writing the file)", "ours", "bare"),
                            ("ours / bare WinINet loop (reading only)", "ours", "bare-read"),
                            ("ours without stop event / bare (writing)", "ours-nostop", "bare"),
                            ("ours / curl", "ours", "curl"),
                            ("bare WinINet loop / curl", "bare", "curl")]:
            print("%-44s %.3fx   %.3fx" % (label + ":", best[a] / best[b], median[a] / median[b]))

        rate = int(args.rate_mib * MIB)
        print("== rate limited by nginx to %.1f MiB/s (%d bytes/s)" % (args.rate_mib, rate))
        with servers.NginxServer(www, rate_limit=rate) as nginx:
            limited, _, _, _ = measure(nginx.url("/package.bin"), output, size, 1, ["ours", "curl"])
        ideal = size / rate
        for mode in ["ours", "curl"]:
            seconds = limited[mode][0]
            print("%-10s %7.3f s  %6.2f MiB/s  %.2f %% of the link rate (ideal %.3f s)" % (
                mode, seconds, size / MIB / seconds, 100.0 * ideal / seconds, ideal))

        print("== peak working set of our program (PeakWorkingSetSize)")
        print("%4d MiB package: %7.1f MiB" % (args.small_mib, small_peaks["ours"] / MIB))
        print("%4d MiB package: %7.1f MiB" % (args.size_mib, peaks["ours"] / MIB))
        print("bare loop, %d MiB: %7.1f MiB" % (args.size_mib, peaks["bare"] / MIB))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
