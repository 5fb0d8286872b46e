"""The start-up benchmark behind scripts/bench_startup.sh: startup_bench.exe
starts the installer and the reference dialog in turn and times each to its
first visible window; this prints every time, both medians and the ratio.
Nothing is asserted: the figures are for people to read (the goal is a
ratio of at most 1.3)."""

import argparse
import os
import socket
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "integration"))
import lite_harness as h  # noqa: E402


def dead_port():
    """A local port nobody listens on: connections to it are refused at once."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=15)
    args = parser.parse_args()
    host = "127.0.0.1:%d" % dead_port()
    # The first Wine process of a session fixes its display.
    h.end_wine_session()
    with h.VirtualDisplay() as display:
        env = dict(display.env(), LITE_TEST_DOWNLOAD_HOST=host, LITE_TEST_STATS_HOST=host,
                   LITE_TEST_CLICK_STATS_HOST=host, LITE_TEST_KEEP_RUN_FOLDER="0")
        # One warm-up start of each, not counted: Wine's first start in a
        # session pays for the desktop and the fonts.
        h.run_windows(h.program("startup_bench.exe"), ["1", h.program("lite_installer_test.exe"),
                                                       h.program("startup_reference.exe")], env=env)
        result = h.run_wine([h.program("startup_bench.exe"), str(args.rounds),
                             h.program("lite_installer_test.exe"), h.program("startup_reference.exe")],
                            env=env, timeout=60 * args.rounds + 60)
        h.end_wine_session()
    times = {"installer": [], "reference": []}
    for line in result.stdout.decode(errors="replace").split():
        name, _, value = line.partition("_ms=")
        if name in times:
            times[name].append(float(value) if value.replace(".", "", 1).isdigit() else None)
    for name, values in times.items():
        print("%-9s ms: %s" % (name, " ".join("%.0f" % v if v is not None else "none" for v in values)))
    if result.returncode != 0 or any(v is None for values in times.values() for v in values) or \
            not all(times.values()):
        print("a window did not show (exit %d): %r" % (result.returncode, result.stderr[-2000:]))
        return 1
    installer = statistics.median(times["installer"])
    reference = statistics.median(times["reference"])
    print("median to a visible window over %d interleaved rounds: installer %.0f ms, reference %.0f ms, "
          "ratio %.2f" % (args.rounds, installer, reference, installer / reference))
    return 0


if __name__ == "__main__":
    sys.exit(main())
