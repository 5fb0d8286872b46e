"""The fault matrix behind scripts/fault_matrix.sh: runs the silent road
(installer_probe.exe) through each network fault and prints, per fault, the
expected and actual exit code, whether the file that ran is byte-identical
to a package the server served, the requests the download server saw, the
peak memory of the installer process and the wall time against its bound."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "integration"))
import lite_harness as h  # noqa: E402
import servers as s  # noqa: E402

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
STATUS_PATH = "/get/browser/install"
SIZE = 1000000
PAUSE_MS = 1000
SILENCE_S = 30      # the package's silence limit
STATS_S = 15        # the statistics request limit
CONNECT_S = 10      # the connect limit, handshake included


class PeakMemory:
    """Samples the peak resident size (VmHWM) of the Wine processes running
    `name` in this build's prefix (other builds may run the same program)
    until stopped."""

    def __init__(self, name):
        self.name = name
        self.prefix = ("WINEPREFIX=" + h.WINEPREFIX).encode()
        self.peak_kib = 0
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)

    def _run(self):
        while not self.done.wait(0.2):
            for status in glob.glob("/proc/[0-9]*/status"):
                pid_dir = os.path.dirname(status)
                try:
                    with open(os.path.join(pid_dir, "cmdline"), "rb") as f:
                        cmdline = f.read()
                    if self.name not in cmdline or b"exit_code_runner" in cmdline:
                        continue
                    with open(os.path.join(pid_dir, "environ"), "rb") as f:
                        if self.prefix not in f.read().split(b"\0"):
                            continue
                    with open(status) as f:
                        for line in f:
                            if line.startswith("VmHWM:"):
                                self.peak_kib = max(self.peak_kib, int(line.split()[1]))
                except OSError:
                    pass

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.done.set()
        self.thread.join()


class Matrix:
    def __init__(self, work):
        self.work = work
        self.ca = s.install_test_ca(h)
        with open(h.program("stand_in_setup.exe"), "rb") as f:
            stand_in = f.read()
        self.packages = []
        for seed in (1, 2):
            filler = s.make_package(os.path.join(work, "filler%d" % seed), SIZE - len(stand_in), seed)
            with open(filler, "rb") as f:
                self.packages.append(stand_in + f.read())
        self.rows = []

    def env(self, servers, copy_path, extra=None):
        download, stats, clicks = servers
        env = s.probe_env(download, stats, clicks, copy_path + ".json", copy_path, pause_ms=PAUSE_MS)
        env.update(extra or {})
        return env

    def start(self, servers, copy_path, args, extra):
        # LITE_TEST_DOWNLOAD_HOST moves the default brand's setup address to
        # this fault's server.
        return h.start_windows_with_exit_code(h.program("installer_probe.exe"), args,
                                              env=self.env(servers, copy_path, extra))

    def verdict_of_copy(self, copy_path):
        if not os.path.exists(copy_path):
            return "-"
        with open(copy_path, "rb") as f:
            ran = f.read()
        return "yes" if ran in self.packages else "NO"

    def run(self, name, expected, bound_s, routes=None, status_to_http=False, click_route=None,
            download=None, args=("--silent",), extra=None, instances=1, before=None, after=None):
        stats = s.FaultServer(tls=self.ca).start()
        clicks = s.FaultServer().start()
        stats.route(STATUS_PATH, s.Response(b"ok"))
        if status_to_http:
            # Every status report is redirected to plain http on the click host.
            stats.route(STATUS_PATH, s.Response(redirect=clicks.url("/plain")))
        if click_route is not None:
            clicks.route_otherwise(click_route)
        own_download = download is None
        if own_download:
            download = s.FaultServer().start()
            for path, responses in (routes or {}).items():
                download.route(path, *responses)
        copies = [os.path.join(self.work, "ran%d.bin" % i) for i in range(instances)]
        for path in copies:
            if os.path.exists(path):
                os.remove(path)
        h.clear_log()
        context = before() if before else None
        started = time.time()
        try:
            with PeakMemory(b"installer_probe") as memory:
                processes = [self.start((download, stats, clicks), c, list(args), extra)
                             for c in copies]
                codes = [h.exit_code_of(p, timeout=600) for p in processes]
            elapsed = time.time() - started
        finally:
            if after:
                after(context)
        identical = ",".join(self.verdict_of_copy(c) for c in copies)
        requests = len(download.requests()) if own_download else len(
            [r for r in download.requests() if r["path"] == SETUP_PATH])
        extra_note = ""
        if status_to_http:
            refused = sum(1 for _, _, m in h.log_messages()
                          if m.startswith("Redirect from https to http refused"))
            extra_note = " reports_refused=%d http_target_requests=%d" % (
                refused, len(clicks.requests("/plain")))
        for server in (stats, clicks):
            server.stop()
        if own_download:
            download.stop()
        # Packages left in the temporary folder or in a run's folder inside it.
        leftovers = len(glob.glob(os.path.join(h.temp_dir(), "**", "kb*.tmp"), recursive=True))
        row = {
            "name": name, "expected": expected, "actual": codes, "identical": identical,
            "requests": requests, "seconds": elapsed, "bound": bound_s,
            "peak_mib": memory.peak_kib / 1024.0, "leftovers": leftovers,
        }
        row["survived"] = (all(c == expected for c in codes) and "NO" not in identical
                           and elapsed <= bound_s)
        self.rows.append(row)
        print("%-34s expected=%-3d actual=%-9s identical=%-7s requests=%-3d peak=%5.1fMiB "
              "kb_tmp_left=%d time=%6.1fs bound=%4ds %s%s" % (
                  name, expected, ",".join(str(c) for c in codes), identical, requests,
                  row["peak_mib"], leftovers, elapsed, bound_s,
                  "ok" if row["survived"] else "FAILED", extra_note), flush=True)

    def window_run(self, name, bound_s):
        """The product's own windowed road (lite_installer_test.exe on a display
        of its own) with a counter host that never answers: the time until
        its window shows (at most 1 s more than a plain notice started the
        same way first, which also pays for Wine's desktop), the longest
        answer to a message while the counter stalls (bound 100 ms), and
        Cancel to the process's end."""
        stats = s.FaultServer(tls=self.ca).start()
        stats.route(STATUS_PATH, s.Response(b"ok"))
        clicks = s.FaultServer().start()
        clicks.route_otherwise(s.Response(b"late", stall_headers_seconds=120))
        download = s.FaultServer().start()
        download.route(SETUP_PATH, s.Response(self.packages[0]))
        h.clear_log()
        # The first Wine process of a session fixes its display.
        h.end_wine_session()
        with h.VirtualDisplay() as display:
            env = dict(display.env(), LITE_TEST_DOWNLOAD_HOST=download.host(),
                       LITE_TEST_STATS_HOST=stats.host(), LITE_TEST_CLICK_STATS_HOST=clicks.host())
            driver = h.UiDriver(display.env())
            notice = h.start_windows(h.program("ui_driver.exe"), ["run", "10000", h.program(
                "message_dialog_runner.exe"), "notice", "1033", "413", "418", "403"], env=env)
            notice_hwnd, reference_ms = h.read_line_with(notice, "hwnd=", 30).split(" visible_ms=")
            driver.click(notice_hwnd, 1010)
            h.read_line_with(notice, "exit_tick=", 30)
            with PeakMemory(b"lite_installer_test") as memory:
                run = h.start_windows(h.program("ui_driver.exe"),
                                      ["run", "10000", h.program("lite_installer_test.exe")], env=env)
                hwnd, visible_ms = h.read_line_with(run, "hwnd=", 30).split(" visible_ms=")
                driver.click(hwnd, 1003)  # a click report behind the stalled counter
                longest, unanswered = driver.ping(hwnd, 40, 50)
                cancel_tick = driver.click_tick(hwnd, 1010)
                exit_tick, code = h.read_line_with(run, "exit_tick=", 60).split(" exit_code=")
            h.end_wine_session()
        for server in (stats, clicks, download):
            server.stop()
        close_s = (int(exit_tick) - cancel_tick) / 1000.0
        row = {"name": name, "identical": "-", "seconds": close_s, "bound": bound_s,
               "survived": (code == "500" and int(visible_ms) < int(reference_ms) + 1000 and longest < 100
                            and unanswered == 0 and close_s <= bound_s)}
        self.rows.append(row)
        print("%-34s expected=500 actual=%-9s visible=%dms (plain notice %dms) longest_answer=%dms unanswered=%d "
              "peak=%5.1fMiB close=%4.1fs bound=%4ds %s" % (
                  name, code, int(visible_ms), int(reference_ms), longest, unanswered, memory.peak_kib / 1024.0,
                  close_s, bound_s, "ok" if row["survived"] else "FAILED"), flush=True)

    def summary(self):
        tried = len(self.rows)
        survived = sum(1 for r in self.rows if r["survived"])
        corrupted = sum(1 for r in self.rows if "NO" in r["identical"])
        late = sum(1 for r in self.rows if r["seconds"] > r["bound"])
        print("faults tried: %d, survived: %d, packages corrupted: %d, runs past their time "
              "bound: %d" % (tried, survived, corrupted, late))
        return survived == tried and corrupted == 0 and late == 0


def main():
    only = sys.argv[1] if len(sys.argv) > 1 else ""
    work = tempfile.mkdtemp(prefix="lite-fault-matrix-")
    m = Matrix(work)
    a, b = m.packages
    R = s.Response
    pause = PAUSE_MS / 1000.0
    # A normal run takes a few seconds; each extra attempt adds a pause.
    base = 15
    cases = []

    def case(name, *args, **kwargs):
        if only in name:
            cases.append((name, args, kwargs))

    for percent in (0, 5, 30, 99):
        case("drop at %d%%" % percent, 0, base + 2 * pause,
             routes={SETUP_PATH: [R(a, drop_after=SIZE * percent // 100), R(a)]})
    case("stall before the headers", 0, base + SILENCE_S + pause,
         routes={SETUP_PATH: [R(a, stall_headers_seconds=SILENCE_S + 10), R(a)]})
    case("stall in the middle of the body", 0, base + SILENCE_S + pause,
         routes={SETUP_PATH: [R(a, stall_after=SIZE // 2, stall_seconds=SILENCE_S + 10), R(a)]})
    case("200 to a Range request", 0, base + pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(a, ignore_range=True)]})
    case("wrong Content-Range start", 0, base + 2 * pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(a, content_range_start=0), R(a)]})
    case("wrong Content-Range total", 0, base + 2 * pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(a, content_range_total=SIZE + 1), R(a)]})
    case("package changed (new ETag)", 0, base + pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(b)]})
    case("416", 0, base + 2 * pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(b"", status=416), R(a)]})
    case("404 with a body", 401, base + 4 * pause,
         routes={SETUP_PATH: [R(b"<html>gone</html>" * 500, status=404)]})
    case("503 with a body", 0, base + pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(b"busy" * 5000, status=503), R(a)]})
    case("redirect loop", 401, base + 4 * pause,
         routes={SETUP_PATH: [R(redirect=SETUP_PATH)]})
    case("https status redirected to http", 0, base,
         routes={SETUP_PATH: [R(a)]}, status_to_http=True)
    case("huge statistics reply (1.8 GB)", 0, base + 5 * STATS_S,
         routes={SETUP_PATH: [R(a)]}, click_route=R(body_size=1800 * 1000 * 1000))
    # Reports wait on their own thread; the exit gives them at most 1.5 s.
    case("stalled statistics host", 0, base + 2,
         routes={SETUP_PATH: [R(a)]}, click_route=R(b"late", stall_headers_seconds=120))
    case("Cancel with a stalled statistics host", 500, 3 + 2 + 5,
         routes={SETUP_PATH: [R(a)]}, click_route=R(b"late", stall_headers_seconds=120),
         args=(), extra={"LITE_PROBE_ROAD": "window", "LITE_PROBE_CLICK": "never",
                         "LITE_PROBE_CANCEL_MS": "3000"})
    case("two installers at once", 0, base,
         routes={SETUP_PATH: [R(a)]}, instances=2)
    case("header flood", 0, base + pause,
         routes={SETUP_PATH: [R(header_flood=True), R(a)]})
    # The last 20,000 bytes at 500 B/s: 40 s, longer than the silence limit,
    # never silent for more than 0.2 s.
    case("drip under the silence limit", 0, base + 40,
         routes={SETUP_PATH: [R(a, drip=(100, 0.2, SIZE - 20000))]})
    case("chunked body cut before its last chunk", 0, base,
         routes={SETUP_PATH: [R(a, chunked=True, drop_after=300000), R(a)]})
    case("body without length cut short", 0, base,
         routes={SETUP_PATH: [R(a, omit_length=True, etag=False, drop_after=300000),
                              R(a, etag=False)]})
    case("206 with another validator", 0, base + 2 * pause,
         routes={SETUP_PATH: [R(a, drop_after=300000), R(b, ignore_if_range=True), R(a)]})
    # Each package attempt ends at the connect limit: five, four pauses.
    silent = s.SilentListener().start()
    refusing = s.SilentListener(accept=False).start()
    case("handshake that never comes (package)", 401, base + 5 * CONNECT_S + 4 * pause,
         routes={SETUP_PATH: [R(redirect=silent.url(SETUP_PATH))]})
    case("connection attempts dropped (package)", 401, base + 5 * CONNECT_S + 4 * pause,
         routes={SETUP_PATH: [R(redirect=refusing.url(SETUP_PATH, "http"))]})
    # The status and completion reports: one connect limit each.
    case("handshake that never comes (statistics)", 0, base + 2 * CONNECT_S,
         routes={SETUP_PATH: [R(a)]},
         extra={"LITE_TEST_STATS_HOST": "127.0.0.1:%d" % silent.port})

    # nginx: a 10 KB/s link, Cancel after 3 s on the windowed road (the
    # window's Cancel gives 500).
    root = os.path.join(work, "www")
    os.makedirs(os.path.dirname(os.path.join(root, SETUP_PATH.lstrip("/"))), exist_ok=True)
    with open(os.path.join(root, SETUP_PATH.lstrip("/")), "wb") as f:
        f.write(a)
    if only in "10 KB/s link, Cancel after 3 s (nginx)":
        with s.NginxServer(root, rate_limit=10 * 1024) as nginx:
            m.run("10 KB/s link, Cancel after 3 s (nginx)", 500, 3 + 2 + 3, download=nginx,
                  args=(), extra={"LITE_PROBE_ROAD": "window", "LITE_PROBE_CLICK": "never",
                                  "LITE_PROBE_CANCEL_MS": "3000"})
    if only in "no fault (nginx)":
        with s.NginxServer(root) as nginx:
            m.run("no fault (nginx)", 0, base, download=nginx)

    for name, args, kwargs in cases:
        m.run(name, *args, **kwargs)

    if only in "full disk in the middle" and os.geteuid() == 0:
        temp = h.temp_dir()

        def mount():
            saved = tempfile.mkdtemp(prefix="lite-temp-saved-")
            for entry in os.listdir(temp):
                shutil.move(os.path.join(temp, entry), saved)
            subprocess.run(["mount", "-t", "tmpfs", "-o", "size=600k", "tmpfs", temp], check=True)
            return saved

        def unmount(saved):
            subprocess.run(["umount", temp], check=False)
            for entry in os.listdir(saved):
                shutil.move(os.path.join(saved, entry), temp)
            os.rmdir(saved)

        m.run("full disk in the middle", 401, base + 4 * pause,
              routes={SETUP_PATH: [R(a)]}, before=mount, after=unmount)
    elif only in "full disk in the middle":
        print("full disk in the middle: skipped (needs root)")

    if only in "stalled counter, windowed road":
        m.window_run("stalled counter, windowed road", 2)

    silent.stop()
    refusing.stop()
    ok = m.summary()
    shutil.rmtree(work, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
