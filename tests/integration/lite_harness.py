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


def end_wine_session(timeout=60):
    """Waits until the prefix's wineserver has ended by itself (it saves the
    registry on the way out), so that the next Wine process starts a new
    session, with the display of its own environment. A server still busy
    after `timeout` seconds is killed."""
    env = wine_env()
    try:
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        subprocess.run(["wineserver", "-k"], env=env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def temp_dir():
    """The Wine user's temporary folder (C:\\users\\<user>\\Temp) on the Linux side."""
    candidates = [p for p in glob.glob(os.path.join(WINEPREFIX, "drive_c", "users", "*", "Temp"))
                  if os.sep + "Public" + os.sep not in p]
    if not candidates:
        raise FileNotFoundError("no Temp folder in " + WINEPREFIX)
    return candidates[0]


def latest_run_folder():
    """The folder of the latest installer run inside the temporary folder
    (lite-<random>), where it writes the files it hands to the setup; the
    temporary folder itself when no run has made one."""
    folders = glob.glob(os.path.join(temp_dir(), "lite-*"))
    return max(folders, key=os.path.getmtime) if folders else temp_dir()

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

    def pixel(self, path, x, y):
        """(r, g, b) of one pixel of a screenshot."""
        converter = shutil.which("convert-im6.q16") or "convert"
        out = subprocess.run([converter, path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8",
                              "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
        return tuple(out[:3])

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        return False


# ---------------------------------------------------------------------------
# UI bench: programs started in the background on a virtual display, the
# window driver, screenshots and the theme switch.

def start_windows(exe, args=(), env=None):
    """Starts a Windows program under Wine without waiting; its stdout is a
    pipe. Use for programs that print their own results (no exit-code
    runner)."""
    return subprocess.Popen([WINE_RUN, WINEPREFIX, exe, *args], env=wine_env(env),
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)


def start_windows_with_exit_code(exe, args=(), env=None):
    """Starts a Windows program through exit_code_runner.exe without waiting;
    finish it with exit_code_of()."""
    runner = program("exit_code_runner.exe")
    return subprocess.Popen([WINE_RUN, WINEPREFIX, runner, exe, *args], env=wine_env(env),
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)


def exit_code_of(process, timeout=60):
    import re
    out, _ = process.communicate(timeout=timeout)
    match = re.search(rb"exit_code=(-?\d+)", out)
    if match is None:
        raise RuntimeError("no exit code: %r" % out)
    return int(match.group(1))


def read_line_with(process, prefix, timeout=30):
    """Reads the program's stdout up to a line that starts with `prefix`;
    returns the rest of that line. Lines read past it are kept for the next
    call."""
    import select
    deadline = time.time() + timeout
    buffer = getattr(process, "lite_buffer", b"")
    while True:
        lines = buffer.split(b"\n")
        for index, line in enumerate(lines[:-1]):
            text = line.strip().decode("utf-8", "replace")
            if text.startswith(prefix):
                process.lite_buffer = b"\n".join(lines[index + 1:])
                return text[len(prefix):]
        if time.time() >= deadline:
            break
        ready, _, _ = select.select([process.stdout], [], [], 0.2)
        if ready:
            chunk = os.read(process.stdout.fileno(), 4096)
            if not chunk:
                break
            buffer += chunk
    process.lite_buffer = buffer
    raise RuntimeError("no %r line from the program: %r" % (prefix, buffer))


def screenshot_path(name):
    return os.path.join(BUILD_DIR, "screenshots", name + ".png")


def wine_reg(*args, env=None):
    """Runs Wine's reg.exe in the prefix. Pass the display's env when a
    display is in use: the first Wine process of a wineserver fixes the
    desktop's display for every later one."""
    subprocess.run([WINE_RUN, WINEPREFIX, "reg", *args], env=wine_env(env),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def set_theme_active(active, env=None):
    """Turns visual themes on or off for programs started afterwards."""
    wine_reg("add", r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager",
             "/v", "ThemeActive", "/d", "1" if active else "0", "/f", env=env)


class UiDriver:
    """ui_driver.exe: finds windows of a process, reads their controls and
    clicks them."""

    def __init__(self, env=None):
        self.exe = program("ui_driver.exe")
        self.env = env

    def _run(self, *args):
        result = subprocess.run([WINE_RUN, WINEPREFIX, self.exe, *[str(a) for a in args]],
                                env=wine_env(self.env), stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=60, check=False)
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def find(self, process, window_class="*", timeout_ms=15000):
        """`process` is a pid or "name:<image name>"."""
        code, out = self._run("find", process, window_class, timeout_ms)
        if code != 0:
            return None
        return int(out.strip().split("=")[1])

    def dump(self, hwnd):
        """The window (first) and its children as dicts."""
        import json
        code, out = self._run("dump", hwnd)
        if code != 0:
            return []
        return [json.loads(line) for line in out.splitlines() if line.strip()]

    def controls(self, hwnd):
        return {c["id"]: c for c in self.dump(hwnd)[1:]}

    def click(self, hwnd, control_id):
        return self._run("click", hwnd, control_id)[0] == 0

    def mouse(self, hwnd, control_id):
        """Posts a left click to the first child with `control_id`."""
        return self._run("mouse", hwnd, control_id)[0] == 0

    def key(self, hwnd, virtual_key):
        return self._run("key", hwnd, virtual_key)[0] == 0

    def send(self, hwnd, message, wparam=0, lparam=0):
        code, out = self._run("send", hwnd, message, wparam, lparam)
        return int(out.strip().split("=")[1]) if code == 0 else None

    def register(self, name):
        """The id of the registered window message `name` (the same in
        every process of the Wine session)."""
        code, out = self._run("register", name)
        return int(out.strip().split("=")[1]) if code == 0 else None

    def gone(self, hwnd, timeout_ms=10000):
        return self._run("gone", hwnd, timeout_ms)[0] == 0
