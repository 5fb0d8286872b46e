"""The test servers of tests/servers, importable from the integration tests:
    from servers import NginxServer, FaultServer, Response, TestCa, make_package
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "servers"))

from lite_servers import (FaultServer, NginxServer, Response, TestCa,  # noqa: E402,F401
                          free_port, make_package, read_requests)


def wine_path(path):
    """The Windows name of a Linux path inside the test prefix (drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for_wineserver(harness):
    """Waits until the prefix's wineserver has ended. Tests that run Wine
    with their output in files return while the wineserver lingers; the
    next test's first Wine process must not inherit it (it fixes the X
    display for every later process)."""
    import subprocess
    subprocess.run(["wineserver", "-w"], env=harness.wine_env(), timeout=60, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def install_test_ca(harness):
    """The build's https test CA (made once in the build tree), trusted in the
    test prefix's machine Root store through install_test_root.exe (built with
    the trust tests). `harness` is the lite_harness module."""
    ca = TestCa(os.path.join(harness.BUILD_DIR, "test_ca")).ensure()
    result = harness.run_windows(harness.program("install_test_root.exe"), [wine_path(ca.ca_der)])
    if result.returncode != 0:
        raise RuntimeError("cannot trust the test CA: %r" % result.stderr)
    return ca
