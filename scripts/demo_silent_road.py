#!/usr/bin/env python3
"""The silent road end to end on this machine: a server on 127.0.0.1 serves a
demo setup package (signed with the test PKI, carrying a description signed
with a demo key); lite_installer_test.exe downloads it, verifies it and runs
it. Prints the installer's exit code (the setup's), the setup's command line
and the tail of the log.
    demo_silent_road.py WIN32_BUILD_DIR PACKAGE"""

import json
import os
import shutil
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "servers"))
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))

build_dir = os.path.abspath(sys.argv[1])
package = os.path.abspath(sys.argv[2])
os.environ.setdefault("LITE_BUILD_DIR", build_dir)
os.environ.setdefault("LITE_SOURCE_DIR", ROOT)
os.environ.setdefault("LITE_WINEPREFIX", os.path.join(build_dir, "wineprefix"))

import lite_harness as h  # noqa: E402
import lite_servers  # noqa: E402
import servers  # noqa: E402

# The default brand's setup URL path (http://<download host>/browser/int/flash/browser-setup.arc).
SETUP_PATH = "/browser/int/flash/browser-setup.arc"


def main():
    site = tempfile.mkdtemp(prefix="lite-demo-site-")
    try:
        target = os.path.join(site, SETUP_PATH.lstrip("/"))
        os.makedirs(os.path.dirname(target))
        shutil.copyfile(package, target)
        # The status endpoint speaks https with the build's test CA, trusted in
        # the project's prefix only; the counters go to a plain http endpoint.
        ca = servers.install_test_ca(h)
        ok = lite_servers.Response(b"ok\n")
        with lite_servers.NginxServer(site) as server, \
                lite_servers.FaultServer(tls=ca) as status, \
                lite_servers.FaultServer() as counters:
            status.route_otherwise(ok)
            counters.route_otherwise(ok)
            host = server.host()
            # The stand-in setup writes what it received here.
            record_path = os.path.join(site, "setup_record.json")
            env = {"LITE_TEST_DOWNLOAD_HOST": host, "LITE_TEST_LEGAL_HOST": host,
                   "LITE_TEST_STATS_HOST": status.host(),
                   "LITE_TEST_CLICK_STATS_HOST": counters.host(),
                   "LITE_STAND_IN_RECORD": "Z:" + record_path.replace("/", "\\")}
            h.clear_log()
            print("== Serving the demo package at " + server.url(SETUP_PATH))
            print("== Running: lite_installer_test.exe --silent")
            installer = h.program("lite_installer_test.exe")
            result = h.run_windows(installer, ["--silent"], env=env, timeout=300)
            requests = server.requests()
            reports = sorted(status.requests() + counters.requests(), key=lambda r: r["time"])
        received = None
        if os.path.exists(record_path):
            with open(record_path, encoding="utf-8") as f:
                received = json.load(f).get("command_line")
        text = h.read_log()
        records = h.log_messages(text)
        print("== Installer exit code (the setup's): %d" % result.returncode)
        runs = [m for level, f, m in records if m.startswith("Run: ")]
        if received is not None:
            print("== Setup command line (as the setup received it): " + received)
        else:
            print("== Setup command line: " + (runs[-1][len("Run: "):] if runs else "(the setup was not run)"))
        verdicts = [m for level, f, m in records
                    if m.startswith("Verification succeeded: ") or m.startswith("Module verification failed: ")]
        for verdict in verdicts:
            print("== " + verdict)
        print("== Requests the package server received: %d (package downloads: %d)"
              % (len(requests), sum(1 for r in requests if r.get("path") == SETUP_PATH)))
        print("== Statistics the endpoints received, in order:")
        for report in reports:
            print("   " + report["request_uri"])
        print("== Tail of the installer log (%s):" % h.log_path())
        sys.stdout.write("\n".join(text.rstrip("\n").split("\n")[-25:]) + "\n")
        return 0
    finally:
        shutil.rmtree(site, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
