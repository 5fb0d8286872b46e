"""The test servers of tests/servers, importable from the integration tests:
    from servers import NginxServer, FaultServer, Response, TestCa, make_package
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "servers"))

from lite_servers import (FaultServer, NginxServer, Response, SilentListener, TestCa,  # noqa: E402,F401
                          free_port, make_package, read_requests, runnable_package)


def wine_path(path):
    """The Windows name of a Linux path inside the test prefix (drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for_wineserver(harness):
    """Ends the prefix's Wine session (see lite_harness.end_wine_session)."""
    harness.end_wine_session()


def probe_env(download, stats, clicks, record_path, copy_path, pause_ms=100):
    """The environment of an installer_probe.exe run against the three
    servers: no trust check, short pauses, and the stand-in setup writing its
    record to `record_path` and a copy of itself to `copy_path`."""
    return {
        "LITE_TEST_DOWNLOAD_HOST": download.host(),
        "LITE_TEST_STATS_HOST": stats.host(),
        "LITE_TEST_CLICK_STATS_HOST": clicks.host(),
        "LITE_PROBE_TRUST": "all",
        "LITE_PROBE_PAUSE_MS": str(pause_ms),
        "LITE_PROBE_BROWSER_POLL_MS": "300",
        "LITE_STAND_IN_RECORD": wine_path(record_path),
        "LITE_STAND_IN_COPY": wine_path(copy_path),
    }


def start_run_servers(ca, status_path):
    """The three servers an installer run talks to, started: statistics over
    https with `ca` (answering "ok" at `status_path`), click statistics, and
    downloads. Returns (stats, clicks, download); the caller stops them."""
    stats = FaultServer(tls=ca).start()
    stats.route(status_path, Response(b"ok"))
    return stats, FaultServer().start(), FaultServer().start()


def install_test_ca(harness):
    """The build's https test CA (made once in the build tree), trusted in the
    test prefix's machine Root store through install_test_root.exe (built with
    the trust tests). `harness` is the lite_harness module."""
    import fcntl
    directory = os.path.join(harness.BUILD_DIR, "test_ca")
    # Suites running at once make the CA only once.
    with open(directory + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        ca = TestCa(directory).ensure()
    result = harness.run_windows(harness.program("install_test_root.exe"), [wine_path(ca.ca_der)])
    if result.returncode != 0:
        raise RuntimeError("cannot trust the test CA: %r" % result.stderr)
    return ca
