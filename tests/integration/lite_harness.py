"""Shared helpers for the integration tests: run the installer programs under
Wine in the build's own prefix, read its log, and run a virtual display.

Under ctest (LITE_WINEPREFIX_TEMPLATE set) each suite works in a session of
its own (wine_session.py): LITE_WINEPREFIX is a fresh copy of the template
made at import, one Xvfb display serves every Wine process of the suite
(its DISPLAY is set in os.environ, so scripts the tests start get it too)
and one wineserver stays up until the suite ends. Elsewhere (the demo
scripts) the prefix is used as it is and the display is the caller's."""

import atexit
import glob
import os
import re
import shutil
import subprocess
import time

import wine_session

BUILD_DIR = os.environ.get("LITE_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("LITE_SOURCE_DIR", os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__)))))
WINEPREFIX = os.environ.get("LITE_WINEPREFIX", os.path.join(BUILD_DIR, "wineprefix"))
WINE_RUN = os.path.join(SOURCE_DIR, "scripts", "wine_run.sh")
# The Wine loader and architecture of the test programs (wine_session.py).
WINE = wine_session.WINE
WIN_ARCH = wine_session.WIN_ARCH
# The tree of the shipped program (i686): the test tree itself, or a tree of
# its own where the test tree is built for another architecture.
SHIPPED_BUILD_DIR = os.environ.get("LITE_SHIPPED_BUILD_DIR") or BUILD_DIR
LOG_NAME = "lite_installer.log"
PREFIX_TEMPLATE = os.environ.get("LITE_WINEPREFIX_TEMPLATE", "")
DISPLAY_SIZE = (1280, 900)

_SESSION = wine_session.WineSession(WINEPREFIX)
_SUITE_DISPLAY = None


def program(name):
    """Path of a Windows program of the build."""
    path = os.path.join(BUILD_DIR, "bin", name)
    if not os.path.exists(path):
        raise FileNotFoundError(path)
    return path


def wine_env(extra=None):
    """The environment of a Wine run in the prefix. Starts the session's
    wineserver first: every caller is about to run Wine."""
    env = dict(os.environ)
    env["WINEPREFIX"] = WINEPREFIX
    env.update(wine_session.LOADER_ENV)
    env.setdefault("WINEDEBUG", "-all")
    # The test variant keeps its run folder for the suites that read the
    # handed files afterwards; the trust-boundary suite sets "0".
    env["LITE_TEST_KEEP_RUN_FOLDER"] = "1"
    if extra:
        env.update(extra)
    if _SUITE_DISPLAY is not None:
        # One desktop per session: its display is the suite's.
        env["DISPLAY"] = _SUITE_DISPLAY.display()
    _SESSION.ensure_server(env)
    return env


def run_wine(args, env=None, timeout=120):
    """Runs `wine_run.sh PREFIX *args` (a program of the build or of Wine,
    such as "reg"); returns the CompletedProcess, its output read from
    files."""
    return wine_session.captured_run([WINE_RUN, WINEPREFIX, *args], wine_env(env), timeout)


def run_windows(exe, args=(), env=None, timeout=120):
    """Runs a Windows program under Wine; returns the CompletedProcess with
    `returncode` set to the program's full 32-bit exit code (Linux keeps
    only 8 bits, so the program is started through exit_code_runner.exe)."""
    result = run_wine([program("exit_code_runner.exe"), exe, *args], env, timeout)
    match = re.search(rb"exit_code=(-?\d+)", result.stdout)
    if match is None:
        raise RuntimeError("no exit code from %s: %r %r" % (exe, result.stdout, result.stderr))
    result.returncode = int(match.group(1))
    return result


def make_demo_package(out_path, env=None):
    """Signs the stand-in setup like a real package for this build
    (tools/signing/make_demo_package.sh) into `out_path`. Its Wine steps
    can fail when the machine is loaded; one failure is printed and retried,
    a second raises with both outputs."""
    argv = [os.path.join(SOURCE_DIR, "tools", "signing", "make_demo_package.sh"),
            program("stand_in_setup.exe"), out_path, BUILD_DIR]
    failures = []
    for _ in range(2):
        result = wine_session.captured_run(argv, env if env is not None else dict(os.environ), 300)
        if result.returncode == 0:
            return
        failures.append("exit %d\n%s%s" % (result.returncode, result.stdout.decode(errors="replace"),
                                          result.stderr.decode(errors="replace")))
        print("make_demo_package.sh failed, retrying:\n" + failures[-1], flush=True)
    raise RuntimeError("make_demo_package.sh failed twice:\n" + "\n".join(failures))


def end_wine_session(timeout=60):
    """Ends the prefix's wineserver and every Wine process still running in
    it (the registry is saved on the way out); the next Wine run starts a
    new session. `timeout` bounds the wait before the server is killed."""
    _SESSION.stop_server(timeout)


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
    text = read_log() if text is None else text
    pattern = re.compile(r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} <\d+> (INFO|WARNING|ERROR): "
                         r"(\S+) \((-?\d+)\): (.*)$")
    records = []
    for line in text.split("\n"):
        m = pattern.match(line)
        if m:
            records.append((m.group(1), m.group(2), m.group(4)))
    return records


def wait_for_log(text, timeout=120, interval=0.3):
    """True once a record of the log contains `text`, False after `timeout`
    seconds. A log being written or not yet there counts as no record."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            if any(text in m for _, _, m in log_messages()):
                return True
        except (OSError, UnicodeDecodeError):
            pass
        time.sleep(interval)
    return False


class VirtualDisplay:
    """An Xvfb display of its own, with a compositor, for windowed runs.
    Within a suite session every VirtualDisplay of the default size is the
    suite's display, shared and kept until the suite ends."""

    def __init__(self, width=DISPLAY_SIZE[0], height=DISPLAY_SIZE[1]):
        self.width = width
        self.height = height
        self.number = None
        self.processes = []

    def __enter__(self):
        if _SUITE_DISPLAY is not None and (self.width, self.height) == DISPLAY_SIZE:
            self.number = _SUITE_DISPLAY.number
            return self
        xvfb, self.number = wine_session.start_xvfb(self.width, self.height)
        self.processes.append(xvfb)
        if shutil.which("xcompmgr"):
            self.processes.append(subprocess.Popen(["xcompmgr"], env=self.env(),
                                                   stdin=subprocess.DEVNULL,
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
        wine_session.stop_processes(self.processes)
        self.processes = []
        return False


# ---------------------------------------------------------------------------
# UI bench: programs started in the background on a virtual display, the
# window driver, screenshots and the theme switch.

def start_windows(exe, args=(), env=None):
    """Starts a Windows program under Wine without waiting; its stdout goes
    to a file that read_line_with() and communicate() read. Use for
    programs that print their own results (no exit-code runner)."""
    return wine_session.CapturedProcess([WINE_RUN, WINEPREFIX, exe, *args], wine_env(env))


def start_windows_with_exit_code(exe, args=(), env=None):
    """Starts a Windows program through exit_code_runner.exe without waiting;
    finish it with exit_code_of()."""
    runner = program("exit_code_runner.exe")
    return wine_session.CapturedProcess([WINE_RUN, WINEPREFIX, runner, exe, *args], wine_env(env))


def exit_code_of(process, timeout=60):
    out, _ = process.communicate(timeout=timeout)
    match = re.search(rb"exit_code=(-?\d+)", out)
    if match is None:
        raise RuntimeError("no exit code: %r" % out)
    return int(match.group(1))


def read_line_with(process, prefix, timeout=30):
    """Reads the program's stdout up to a line that starts with `prefix`;
    returns the rest of that line. Lines read past it are kept for the next
    call."""
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
        exited = process.poll() is not None
        chunk = process.read_new()
        if not chunk and exited:
            break
        buffer += chunk
        if not chunk:
            time.sleep(0.05)
    process.lite_buffer = buffer
    raise RuntimeError("no %r line from the program: %r" % (prefix, buffer))


def screenshot_path(name):
    return os.path.join(BUILD_DIR, "screenshots", name + ".png")


def wine_reg(*args, env=None):
    """Runs Wine's reg.exe in the prefix; raises CalledProcessError when it
    fails. Outside a suite session pass the display's env when a display is
    in use: the first Wine process of a wineserver fixes the desktop's
    display for every later one."""
    result = run_wine(["reg", *args], env)
    if result.returncode != 0:
        raise subprocess.CalledProcessError(result.returncode, ["reg", *args], result.stdout, result.stderr)


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
        result = run_wine([self.exe, *[str(a) for a in args]], self.env, timeout=60)
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

    def click_tick(self, hwnd, control_id):
        """Clicks; the tick count (GetTickCount) when the click was posted."""
        code, out = self._run("click", hwnd, control_id)
        return int(out.strip().split("=")[1]) if code == 0 else None

    def ping(self, hwnd, count, period_ms):
        """Sends WM_NULL `count` times; (longest round trip in ms, unanswered)."""
        out = self._run("ping", hwnd, count, period_ms)[1]
        return tuple(int(part.split("=")[1]) for part in out.split())

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


def _start_suite_session():
    """The suite's own prefix copy and display (see the module's text)."""
    global _SUITE_DISPLAY
    wine_session.copy_prefix(PREFIX_TEMPLATE, WINEPREFIX)
    display = VirtualDisplay().__enter__()
    pids = WINEPREFIX + ".display.pids"
    wine_session.record_pids(pids, display.processes)

    def stop_display():
        display.__exit__(None, None, None)
        os.remove(pids)
    atexit.register(stop_display)
    _SUITE_DISPLAY = display
    os.environ["DISPLAY"] = display.display()
    os.environ["LITE_WINEPREFIX"] = WINEPREFIX


if PREFIX_TEMPLATE:
    _start_suite_session()
