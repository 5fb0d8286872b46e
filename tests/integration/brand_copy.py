"""Copies of the installer programs for a test download server.

The default brand package (resource 319) names its setup address on the
build's download host. Tests that serve the setup package themselves run a
copy of the program whose resource 319 is the same document with the address
on their server (same path, same file name of the program), written with
the suite's resource editor."""

import json
import os
import shutil
import subprocess
import tempfile

import lite_harness as h

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
_made = {}
_packages = {}


def _work_dir():
    path = os.path.join(h.BUILD_DIR, "brand_copies")
    os.makedirs(path, exist_ok=True)
    return path


def document(host):
    """The build's default brand document with its setup address on `host`."""
    path = os.path.join(h.BUILD_DIR, "resources", "packages", "default", "brand_config")
    with open(path, "rb") as f:
        text = f.read()
    build_url = json.loads(text)["setup_url"]
    return text.replace(build_url.encode(), ("http://%s%s" % (host, SETUP_PATH)).encode())


def package(host):
    """The cabinet that replaces resource 319 for `host` (made once: a
    cabinet records the time it was made)."""
    if host not in _packages:
        _packages[host] = _make_package(host)
    return _packages[host]


def _make_package(host):
    staging = tempfile.mkdtemp(prefix="brand_copy_")
    try:
        member = os.path.join(staging, "brand_config")
        with open(member, "wb") as f:
            f.write(document(host))
        cab = os.path.join(staging, "default.cab")
        subprocess.run(["gcab", "-c", "-z", "-n", cab, member], check=True, timeout=60)
        with open(cab, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(staging, ignore_errors=True)


def program(name, host, env=None):
    """Path of a copy of the build's program `name` whose default brand
    package downloads from `host`; made once per program and host."""
    key = (name, host)
    if key not in _made:
        folder = os.path.join(_work_dir(), host.replace(":", "_"))
        os.makedirs(folder, exist_ok=True)
        copy = os.path.join(folder, name)
        shutil.copy(h.program(name), copy)
        data = os.path.join(folder, "319.cab")
        with open(data, "wb") as f:
            f.write(package(host))
        result = h.run_windows(h.program("bin_resource_editor.exe"), [copy, "319", data], env=env)
        if result.returncode != 0:
            raise RuntimeError("resource 319 not replaced in %s: %d" % (copy, result.returncode))
        _made[key] = copy
    return _made[key]
