"""The Wine session of one test suite: the suite's own copy of the build's
prefix, one wineserver kept alive from the first Wine run to the end of the
suite, one Xvfb display for every Wine process of the suite, and programs
whose output goes to files.

Why files: a Wine run starts helper processes (wineserver, services,
explorer) that inherit the run's standard handles and outlive the program.
A reader of a pipe sees its end only when the last of them has exited, which
is seconds later, or never while the wineserver is kept alive.

Why one wineserver: each session start costs about a second and every
program of a session shares its desktop, whose display the first process
fixes. Keeping the server for the whole suite makes every later start cheap.

Why a copy: suites change the prefix (Windows version, themes, trusted
roots, registry values); on a copy of their own they can run in parallel."""

import atexit
import os
import select
import shutil
import subprocess
import tempfile
import time

SOURCE_DIR = os.environ.get("LITE_SOURCE_DIR", os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__)))))
PREFIX_SCRIPT = os.path.join(SOURCE_DIR, "scripts", "wine_prefix.sh")
COPY_SCRIPT = os.path.join(SOURCE_DIR, "scripts", "wine_prefix_copy.sh")


def _win_arch():
    """The architecture of the Windows programs and the prefix, as the shell
    helpers choose it (scripts/wine_arch.sh, LITE_WIN_ARCH)."""
    arch = os.environ.get("LITE_WIN_ARCH") or subprocess.run(
        [os.path.join(SOURCE_DIR, "scripts", "wine_arch.sh")], stdout=subprocess.PIPE, text=True,
        check=True).stdout.split("\n")[0]
    os.environ["LITE_WIN_ARCH"] = arch
    return arch


WIN_ARCH = _win_arch()
WINEARCH = {"i686": "win32", "x86_64": "win64"}[WIN_ARCH]
# The Wine loader of that architecture: `wine` prefers the 32-bit one
# whenever it is installed, even where it cannot start.
WINE = {"i686": "wine", "x86_64": "/usr/lib/wine/wine64"}[WIN_ARCH]
LOADER_ENV = {"WINELOADER": WINE} if WIN_ARCH == "x86_64" else {}


def captured_run(argv, env, timeout):
    """Runs argv with stdout and stderr in files; returns the CompletedProcess
    with both as bytes. Raises subprocess.TimeoutExpired (the process killed)
    after `timeout` seconds."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                timeout=timeout, check=False)
        out.seek(0)
        err.seek(0)
        result.stdout = out.read()
        result.stderr = err.read()
    return result


class CapturedProcess(subprocess.Popen):
    """A program started in the background whose stdout goes to a file.
    read_new() gives what it wrote since the last call; communicate() waits
    for the exit and gives the rest, as for a pipe."""

    def __init__(self, argv, env):
        self.lite_output = tempfile.TemporaryFile()
        self.lite_offset = 0
        super().__init__(argv, env=env, stdin=subprocess.DEVNULL, stdout=self.lite_output,
                         stderr=subprocess.DEVNULL)

    def read_new(self):
        chunks = []
        while True:
            chunk = os.pread(self.lite_output.fileno(), 65536, self.lite_offset)
            if not chunk:
                return b"".join(chunks)
            self.lite_offset += len(chunk)
            chunks.append(chunk)

    def communicate(self, input=None, timeout=None):
        self.wait(timeout)
        return self.read_new(), None


def start_xvfb(width, height, timeout=20):
    """Starts Xvfb on a display number it chooses itself (-displayfd: it
    takes the first number whose lock it can create, so concurrent starts
    never collide); returns (process, number) once the display accepts
    clients."""
    read_end, write_end = os.pipe()
    try:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "%dx%dx24" % (width, height), "-nolisten", "tcp"],
                                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        write_end = None
        text = b""
        deadline = time.time() + timeout
        while not text.endswith(b"\n"):
            remaining = deadline - time.time()
            ready, _, _ = select.select([read_end], [], [], max(0, remaining))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                xvfb.kill()
                xvfb.wait()
                raise RuntimeError("Xvfb did not start: %r" % text)
            text += chunk
        return xvfb, int(text)
    finally:
        os.close(read_end)
        if write_end is not None:
            os.close(write_end)


def stop_processes(processes):
    for process in reversed(processes):
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class WineSession:
    """The wineserver of one prefix, kept alive while the suite runs."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.server_running = False
        self.stop_registered = False

    def env(self):
        return {**os.environ, **LOADER_ENV, "WINEPREFIX": self.prefix, "WINEARCH": WINEARCH}

    def ensure_server(self, env):
        """Starts the persistent wineserver unless this session runs one,
        then Wine's own background processes (services, the desktop on the
        display of `env`) through a first run. All get /dev/null as their
        standard handles, so none holds the pipe of a later run's reader."""
        if self.server_running:
            return
        subprocess.run([PREFIX_SCRIPT, self.prefix], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=300)
        # A server left by a Wine run outside this session would not take
        # the -p; it ends a few seconds after its last client.
        subprocess.run(["wineserver", "-w"], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)
        subprocess.run(["wineserver", "-p"], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
        self.server_running = True
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "wine_run.sh"), self.prefix, "reg", "query",
                        r"HKCU\Software\Wine", "/v", "Version"], env={**env, "WINEPREFIX": self.prefix},
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120, check=False)
        if not self.stop_registered:
            atexit.register(self.stop_server)
            self.stop_registered = True

    def stop_server(self, timeout=60):
        """Ends the wineserver and every Wine process of the prefix; the next
        Wine run starts a new session."""
        env = self.env()
        subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout, check=False)
        try:
            subprocess.run(["wineserver", "-w"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout,
                           check=False)
        except subprocess.TimeoutExpired:
            subprocess.run(["wineserver", "-k9"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        self.server_running = False


def copy_prefix(template, prefix):
    """Replaces `prefix` with a fresh copy of the ready prefix `template`."""
    subprocess.run([COPY_SCRIPT, template, prefix], stdin=subprocess.DEVNULL, check=True, timeout=600)


def record_pids(path, processes):
    """Writes the pids of the suite's display processes, so that the suite's
    clean-up can end them if the suite itself was killed."""
    with open(path, "w") as f:
        f.write("".join("%d\n" % p.pid for p in processes))
