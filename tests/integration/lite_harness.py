"""Shared helpers for the integration tests: run the installer programs under
Wine in the build's own prefix, read its log, and run a virtual display."""

import glob
import os
import shutil
import subprocess
import time

BUILD_DIR = os.environ.get("LITE_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("LITE_SOURCE_DIR", os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__)))))
WINEPREFIX = os.environ.get("LITE_WINEPREFIX", os.path.join(BUILD_DIR, "wineprefix"))
WINE_RUN = os.path.join(SOURCE_DIR, "scripts", "wine_run.sh")
LOG_NAME = "lite_installer.log"


def program(name):
    """Path of a Windows program of the build."""
    path = os.path.join(BUILD_DIR, "bin", name)
    if not os.path.exists(path):
        raise FileNotFoundError(path)
    return path


def wine_env(extra=None):
    env = dict(os.environ)
    env["WINEPREFIX"] = WINEPREFIX
    env.setdefault("WINEDEBUG", "-all")
    if extra:
        env.update(extra)
    return env


def run_windows(exe, args=(), env=None, timeout=120):
    """Runs a Windows program under Wine; returns the CompletedProcess with
    `returncode` set to the program's full 32-bit exit code (Linux keeps
    only 8 bits, so the program is started through exit_code_runner.exe)."""
    runner = program("exit_code_runner.exe")
    result = subprocess.run([WINE_RUN, WINEPREFIX, runner, exe, *args], env=wine_env(env),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=timeout, check=False)
    import re
    match = re.search(rb"exit_code=(-?\d+)", result.stdout)
    if match is None:
        raise RuntimeError("no exit code from %s: %r %r" % (exe, result.stdout, result.stderr))
    result.returncode = int(match.group(1))
    return result


def temp_dir():
    """The Wine user's temporary folder (C:\\users\\<user>\\Temp) on the Linux side."""
    candidates = [p for p in glob.glob(os.path.join(WINEPREFIX, "drive_c", "users", "*", "Temp"))
                  if os.sep + "Public" + os.sep not in p]
    if not candidates:
        raise FileNotFoundError("no Temp folder in " + WINEPREFIX)
    return candidates[0]


def windows_path(path):
    """The Windows name (C:\\...) of a file on the prefix's drive C."""
    drive_c = os.path.join(os.path.abspath(WINEPREFIX), "drive_c")
    relative = os.path.relpath(os.path.abspath(path), drive_c)
    if relative.startswith(".."):
        raise ValueError("%s is not on drive C of %s" % (path, WINEPREFIX))
    return "C:\\" + relative.replace("/", "\\")


def log_path():
    return os.path.join(temp_dir(), LOG_NAME)


def clear_log():
    for suffix in ("", ".old"):
        path = log_path() + suffix
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)


def read_log_bytes():
    with open(log_path(), "rb") as f:
        return f.read()


def read_log():
    """The log as text, without its byte-order mark."""
    data = read_log_bytes()
    text = data.decode("utf-16-le")
    return text[1:] if text.startswith("\ufeff") else text


def log_messages(text=None):
    """(level, function, message) of every record, in order."""
    import re
    text = read_log() if text is None else text
    pattern = re.compile(r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} <\d+> (INFO|WARNING|ERROR): "
                         r"(\S+) \((-?\d+)\): (.*)$")
    records = []
    for line in text.split("\n"):
        m = pattern.match(line)
        if m:
            records.append((m.group(1), m.group(2), m.group(4)))
    return records


class VirtualDisplay:
    """An Xvfb display of its own, with a compositor, for windowed runs."""

    def __init__(self, width=1280, height=900):
        self.width = width
        self.height = height
        self.number = None
        self.processes = []

    def __enter__(self):
        for number in range(90, 160):
            if not os.path.exists("/tmp/.X%d-lock" % number):
                self.number = number
                break
        if self.number is None:
            raise RuntimeError("no free X display number")
        xvfb = subprocess.Popen(["Xvfb", ":%d" % self.number, "-screen", "0",
                                 "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        deadline = time.time() + 20
        while not os.path.exists("/tmp/.X11-unix/X%d" % self.number):
            if time.time() > deadline or xvfb.poll() is not None:
                raise RuntimeError("Xvfb did not start on :%d" % self.number)
            time.sleep(0.1)
        if shutil.which("xcompmgr"):
            self.processes.append(subprocess.Popen(["xcompmgr"], env=self.env(),
                                                   stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL))
        return self

    def env(self):
        return {**os.environ, "DISPLAY": ":%d" % self.number}

    def display(self):
        return ":%d" % self.number

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        importer = shutil.which("import-im6.q16") or "import"
        subprocess.run([importer, "-display", self.display(), "-window", "root", path],
                       check=False, timeout=60)

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        return False
