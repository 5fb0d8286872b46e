"""The installer window on the windowed road, under Xvfb with a compositor,
against local servers: lite_installer_test.exe downloads a demo-signed stand-in
setup, which talks to the window through the registered progress messages.
The runs are few and long, so each one checks a group of things:

- a full run over a slow download: welcome-screen geometry, options, links,
  Escape, progress messages and time-left lines before and after the
  slow-download notice, then the install click, the setup's stages and the
  close-window message, the exit code and the order of the statistics;
- cancel, and Alt+F4 on both screens;
- a download that fails before the click: the error dialog after the click;
- the newer-version message on a prefix set to Windows 10;
- the welcome screen in four more languages.
Screenshots land in <build>/screenshots/."""

import json
import os
import re
import shutil
import tempfile
import time
import unittest
import urllib.parse

import lite_harness as h
import servers

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
STATUS_PATH = "/get/browser/install"
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
PBM_GETPOS = 0x0408
WM_APP = 0x8000
VK_ESCAPE = 27
VK_TAB, VK_RETURN, VK_SPACE = 9, 13, 32
WS_TABSTOP = 0x10000

STRINGS_EN = {400: "Install Korvex", 415: "Cancel", 425: "&Make default browser", 417: "Install Adobe Flash Player",
              424: "Help improve Korvex services by sharing anonymous browser usage data with us",
              416: "Privacy policy", 410: "Ultra-fast browser with Korvex Search",
              419: "A simple user-friendly browser"}


def query_pairs(query):
    return [(name, urllib.parse.unquote(value))
            for name, _, value in (part.partition("=") for part in query.split("&"))]


class Session:
    """One lite_installer_test.exe on the display, with its window found."""

    def __init__(self, test, args=(), env=None):
        self.test = test
        self.bar = None
        self.driver = h.UiDriver(test.display.env())
        full_env = dict(test.display.env())
        full_env.update(test.env())
        full_env.update(env or {})
        program = h.program("lite_installer_test.exe")
        self.process = h.start_windows_with_exit_code(program, list(args), env=full_env)
        self.hwnd = self.driver.find("name:lite_installer_test.exe", "#32770", 60000)
        if self.hwnd is None:
            self.process.kill()
            raise AssertionError("no installer window")
        time.sleep(0.7)  # first paint and the shadow

    def controls(self):
        return self.driver.controls(self.hwnd)

    def window(self):
        return self.driver.dump(self.hwnd)[0]

    def position(self):
        # The bar is a control of the dialog's template, the same window for
        # the whole session: found once, each poll is one Wine run.
        if self.bar is None:
            self.bar = self.controls()[1012]["hwnd"]
        return self.driver.send(self.bar, PBM_GETPOS)

    def wait_position(self, expected, timeout=10):
        deadline = time.time() + timeout
        while True:
            value = self.position()
            if value == expected or time.time() > deadline:
                return value
            time.sleep(0.1)

    def wait_position_change(self, timeout=20):
        """Waits until the bar's position differs from its current one."""
        start = self.position()
        deadline = time.time() + timeout
        while time.time() < deadline and self.position() == start:
            time.sleep(0.05)

    def focused(self, expected=None, timeout=3):
        """The ids of the focused controls, once `expected` (if given) is focused."""
        deadline = time.time() + timeout
        while True:
            ids = [c["id"] for c in self.driver.dump(self.hwnd)[1:] if c["focused"]]
            if expected is None or ids == [expected] or time.time() > deadline:
                return ids
            time.sleep(0.1)

    def time_left(self):
        return self.controls()[1013]["text"]

    def second_dialog(self, timeout=30):
        """The installer's other dialog (error or notice) once it is up, or None."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.driver.find("name:lite_installer_test.exe", "#32770", 5000)
            if found is not None and found != self.hwnd:
                return found
            time.sleep(0.2)
        return None

    def exit_code(self, timeout=120):
        return h.exit_code_of(self.process, timeout)

    def close(self):
        """Ends a run that a failed check left behind. Killing the exit-code
        runner leaves the program itself running in Wine, where later runs
        would find its windows, so the whole Wine session is ended."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            h.end_wine_session(timeout=1)


class MainWindowBase(unittest.TestCase):
    """The set-up every run of the window needs; each class below is also
    run as a ctest suite of its own, so the long full run overlaps the
    others."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lite-window-")
        # The display comes first: the first Wine process of the session fixes
        # the display of every later one, so an earlier session is ended.
        h.end_wine_session()
        cls.display = h.VirtualDisplay().__enter__()
        os.environ["DISPLAY"] = cls.display.display()
        cls.ca = servers.install_test_ca(h)
        # The stand-in setup, signed like a real package for this test build.
        cls.package_path = os.path.join(cls.work, "browser-setup.arc")
        h.make_demo_package(cls.package_path)
        with open(cls.package_path, "rb") as f:
            cls.package = f.read()
        # Link clicks: Wine's browser is a recorder that writes the address.
        cls.link_file = os.path.join(cls.work, "links.txt")
        cls.recorder = os.path.join(cls.work, "browser.sh")
        with open(cls.recorder, "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$1\" >> '%s'\n" % cls.link_file)
        os.chmod(cls.recorder, 0o755)
        h.wine_reg("add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", cls.recorder, "/f",
                   env=cls.display.env())

    @classmethod
    def tearDownClass(cls):
        h.wine_reg("delete", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/f", env=cls.display.env())
        cls.display.__exit__(None, None, None)
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        h.clear_log()
        self.stats, self.clicks, self.download = servers.start_run_servers(self.ca, STATUS_PATH)
        self.record_path = os.path.join(self.work, "record.json")
        if os.path.exists(self.record_path):
            os.remove(self.record_path)
        if os.path.exists(self.link_file):
            os.remove(self.link_file)
        self.sessions = []

    def tearDown(self):
        for session in self.sessions:
            session.close()
        for server in (self.stats, self.clicks, self.download):
            server.stop()

    def env(self):
        return {"LITE_TEST_DOWNLOAD_HOST": self.download.host(), "LITE_TEST_STATS_HOST": self.stats.host(),
                "LITE_TEST_CLICK_STATS_HOST": self.clicks.host(), "LITE_TEST_LEGAL_HOST": "legal.test",
                "LITE_STAND_IN_RECORD": servers.wine_path(self.record_path)}

    def start(self, args=(), env=None):
        session = Session(self, args, env)
        self.sessions.append(session)
        return session

    def statistics(self):
        """("counter", cid), ("click", value), ("status", result or status) in the order sent."""
        entries = []
        for r in self.stats.requests():
            pairs = dict(query_pairs(r["query"]))
            entries.append((r["time"], "status", pairs.get("result") or pairs.get("status")))
        for r in self.clicks.requests():
            uri = r["request_uri"]
            if r["path"].startswith("/jclck/"):
                entries.append((r["time"], "counter", re.search(r"cid=(\d+)", uri).group(1)))
            else:
                match = re.search(r"&(clicked_button|clicked_link|choosen_checkbox)=(.*)$", uri)
                entries.append((r["time"], "click", match.group(1) + "=" + urllib.parse.unquote(match.group(2))))
        return [(kind, text) for _, kind, text in sorted(entries)]

    def messages(self, function):
        return [m for _, f, m in h.log_messages() if f == function]

    def wait_for_log(self, text, timeout=120):
        return h.wait_for_log(text, timeout, interval=0.5)

    def record(self):
        with open(self.record_path, encoding="utf-8") as f:
            return json.load(f)

    def send_setup_message(self, session, name, wparam=0, lparam=0):
        return session.driver.send(session.hwnd, session.driver.register(name), wparam, lparam)


class SlowDownloadTest(MainWindowBase):
    def test_full_run_over_a_slow_download(self):
        # The download lasts about 135 s, so the controller's first estimate
        # (after one minute) finds it slow (over 120 s in all) while the
        # welcome screen is still shown.
        rate = max(1, len(self.package) // 135)
        # In 32 KiB pieces, each read at once (a few reads, a few ms apart).
        self.download.route(SETUP_PATH, servers.Response(self.package, drip=(32768, 32768 / rate, 0)))
        # The browser asks the window to close 5 s after the import ends:
        # time for the half dozen ui_driver runs that read the progress
        # screen first (each about 0.5 s under 64-bit Wine).
        session = self.start(["--stand-in-messages=install:5,install:6,import:0:1,import:50:2,import:100:3",
                              "--stand-in-browser-ms=8000", "--stand-in-browser-close-ms=5000",
                              "--stand-in-exit-code=7"])
        started = time.time()
        self.display.screenshot(h.screenshot_path("main_window_welcome_en"))

        # Geometry and texts of the welcome screen (a brand without Flash).
        window = session.window()
        self.assertEqual((648, 254), (window["client_width"], window["client_height"]))
        self.assertEqual("Korvex", window["text"])
        controls = session.controls()
        rect = lambda c: (c["left"], c["top"], c["right"], c["bottom"])
        self.assertEqual((180, 23, 557, 46), rect(controls[1000]))
        self.assertEqual((180, 99, 482, 119), rect(controls[1002]))
        self.assertEqual((0, 0, 0, 0), rect(controls[1004]))
        self.assertEqual(0, controls[1004]["visible"])
        self.assertEqual(1, controls[1004]["check"])
        self.assertEqual((180, 120, 600), rect(controls[1003])[:3])
        self.assertGreaterEqual(controls[1003]["bottom"] - 120, 15)
        self.assertEqual((203, controls[1003]["bottom"], 600, 181), rect(controls[1021]))
        self.assertEqual((180, 185, 376, 219), rect(controls[1]))
        self.assertEqual((386, 185, 489, 219), rect(controls[1010]))
        self.assertEqual((24, 219, 154, 230, 0), rect(controls[1012]) + (controls[1012]["visible"],))
        self.assertEqual((6, 233, 172, 245, 1), rect(controls[1013]) + (controls[1013]["visible"],))
        self.assertEqual(1, controls[1002]["visible"])  # Windows 7 prefix
        # The default brand ("int") asks for the alternate title.
        for control_id, string_id in ((1, 400), (1010, 415), (1002, 425), (1004, 417), (1003, 424), (1021, 416),
                                      (1000, 419)):
            self.assertEqual(STRINGS_EN[string_id], controls[control_id]["text"])
        pieces = [c for c in session.driver.dump(session.hwnd)[1:] if c["id"] in (-1, 1020)]
        self.assertEqual("By using Korvex browser, you agree to the terms and conditions of the License Agreement.",
                         "".join(p["text"] for p in pieces))
        self.assertEqual(["License Agreement"], [p["text"] for p in pieces if p["id"] == 1020])
        self.assertTrue(all(p["left"] >= 180 and p["right"] <= 540 and (p["top"] - 56) % 17 == 0 for p in pieces))

        # Options, links and Escape: statistics, and the window stays.
        self.assertTrue(session.driver.click(session.hwnd, 1003))
        self.assertTrue(session.driver.mouse(session.hwnd, 1020))
        self.assertTrue(session.driver.mouse(session.hwnd, 1021))
        self.assertTrue(session.driver.key(session.hwnd, VK_ESCAPE))
        time.sleep(2)
        self.assertEqual(0, session.controls()[1003]["check"])
        self.assertIsNone(session.process.poll())

        # Setup messages before the install click move the hidden bar; the
        # time-left hints are dropped before any slow-download notice. Each
        # piece of the slow body sets the bar back to the download's
        # position, so each message goes right after a piece came (the bar
        # changed) and is read before the next one. An unknown stage (None)
        # leaves the bar where it was.
        message_ids = {}
        for name, wparam, lparam, expected in (
                ("korvex.lite.set_install_progress", 5, 0, 75), ("korvex.lite.set_install_progress", 6, 0, 79),
                ("korvex.lite.set_install_progress", 7, 0, None), ("korvex.lite.set_import_progress", 0, 1, 80),
                ("korvex.lite.set_import_progress", 50, 2, 90), ("korvex.lite.set_import_progress", 100, 3, 100)):
            message_ids.setdefault(name, session.driver.register(name))
            session.wait_position_change()
            before = session.position()
            self.assertEqual(0, session.driver.send(session.hwnd, message_ids[name], wparam, lparam))
            if expected is None:
                time.sleep(0.3)  # a wrong position would have been posted by now
                self.assertEqual(before, session.position(), (name, wparam))
            else:
                self.assertEqual(expected, session.wait_position(expected), (name, wparam))
        session.driver.send(session.hwnd, WM_APP + 3, 59, 1)
        self.assertEqual("", session.time_left())

        # After a minute the controller finds the download slow and its
        # estimate shows; then the line follows the time-left messages.
        deadline = started + 100
        line = ""
        while time.time() < deadline and not line:
            line = session.time_left()
            time.sleep(1)
        self.assertRegex(line, r"^\d+ mins left$")
        self.assertGreaterEqual(int(line.split()[0]), 4)
        for seconds, kind, expected in ((59, 1, "Less than 59 secs left"), (60, 1, "1 mins left"),
                                        (180, 2, "Less than 3 mins left"), (30, 2, "Less than 30 secs left"),
                                        (0xFFFFFFFF, 1, "%d mins left" % (0xFFFFFFFF // 60)),
                                        (500, 0, ""), (75, 2, "Less than 1 mins left"), (500, 9, "")):
            session.driver.send(session.hwnd, WM_APP + 3, seconds, kind)
            self.assertEqual(expected, session.time_left(), (seconds, kind))
        self.display.screenshot(h.screenshot_path("main_window_welcome_time_left"))

        # The install click after the download: the progress screen.
        self.assertTrue(self.wait_for_log("Module downloaded", 120))
        self.assertEqual("Less than 4 mins left", session.time_left())
        before = session.window()
        self.assertTrue(session.driver.click(session.hwnd, 1))
        self.assertTrue(self.wait_for_log("--> Installer > MainWindow::OnImportProgress: 100", 60))
        after = session.window()
        self.assertEqual(178, after["right"] - after["left"])
        self.assertEqual(before["left"] + (648 - 178) // 2, after["left"])
        self.assertEqual(before["top"], after["top"])
        controls = session.controls()
        self.assertEqual([1012, 1013], sorted(controls))
        self.assertEqual(1, controls[1012]["visible"])
        self.assertEqual(100, session.wait_position(100))
        self.assertEqual("Less than 10 secs left", session.time_left())
        self.display.screenshot(h.screenshot_path("main_window_progress"))
        # Enter (the dialog's default command) does not run the install again.
        session.driver.send(session.hwnd, 0x0111, 1, 0)

        # The browser's close-window message ends the window; the process
        # exits with the setup's code.
        self.assertEqual(7, session.exit_code())
        self.display.screenshot(h.screenshot_path("main_window_end"))
        self.assertEqual(["--> Installer > MainWindow::OnInstallProgress: 75",
                          "--> Installer > MainWindow::OnInstallProgress: 79",
                          "--> Installer > MainWindow::OnInstallProgress: 0",
                          "--> Installer > MainWindow::OnInstallProgress: 75",
                          "--> Installer > MainWindow::OnInstallProgress: 79"],
                         self.messages("lite_installer::MainWindow::OnInstallProgress"))
        self.assertEqual(["--> Installer > MainWindow::OnImportProgress: %d" % p for p in (0, 50, 100, 0, 50, 100)],
                         self.messages("lite_installer::MainWindow::OnImportProgress"))
        self.assertEqual(["--> Installer > MainWindow::OnCloseWindow"],
                         self.messages("lite_installer::MainWindow::OnCloseWindow"))
        record = self.record()
        self.assertEqual(str(session.hwnd), record["switches"]["progress-window"])
        self.assertTrue(all(m["sent"] for m in record["messages"]))
        # The unticked statistics box reached the setup's command line.
        self.assertNotIn("send-statistics", record["switches"])
        self.assertIn("make-browser-default-after-import", record["switches"])

        with open(self.link_file) as f:
            links = f.read().split()
        # The brand's licence and privacy addresses with the interface language;
        # the click statistics carry exactly what the shell was given.
        self.assertEqual(2, len(links), links)
        self.assertRegex(links[0], r"^http://[^/?]+/browser_agreement/\?lang=en$")
        self.assertRegex(links[1], r"^http://[^/?]+/confidential/\?lang=en$")
        stats = self.statistics()
        clicks = [text for kind, text in stats if kind == "click"]
        self.assertEqual(["choosen_checkbox=sendstat", "clicked_link=" + links[0], "clicked_link=" + links[1],
                          "clicked_button=cancel", "clicked_button=install"], clicks)
        order = [text for kind, text in stats if kind == "counter" or text == "clicked_button=install"]
        self.assertEqual(["72977", "72978", "72980", "clicked_button=install", "72979", "72981", "72982"], order)
        self.assertEqual("success", [text for kind, text in stats if kind == "status"][-1])


class MainWindowTest(MainWindowBase):
    def test_cancel_and_system_close(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        # Cancel on the welcome screen: 500, the completion report says so,
        # and no status report follows the click.
        session = self.start()
        # The keyboard first: Install has the focus at once; the Tab order is
        # the reading order (the licence sentence's link above the boxes, the
        # privacy link after the box its sentence belongs to); Enter on the
        # licence link opens it and does not install; Space toggles a box.
        self.assertEqual([1], session.focused())
        tab_order = [c["id"] for c in session.driver.dump(session.hwnd)[1:] if c["style"] & WS_TABSTOP and c["visible"]]
        self.assertEqual([1020, 1002, 1003, 1021, 1, 1010], tab_order)
        self.assertEqual("Installing Korvex.Browser", session.controls()[1012]["text"], "the bar's name")
        for _ in range(2):
            session.driver.key(session.hwnd, VK_TAB)
        self.assertEqual([1020], session.focused(1020))
        session.driver.key(session.hwnd, VK_RETURN)
        session.driver.key(session.hwnd, VK_TAB)
        self.assertEqual([1002], session.focused(1002))
        self.display.screenshot(h.screenshot_path("main_window_focus_box"))
        session.driver.key(session.hwnd, VK_SPACE)
        for _ in range(2):
            session.driver.key(session.hwnd, VK_TAB)
        self.assertEqual([1021], session.focused(1021))
        self.display.screenshot(h.screenshot_path("main_window_focus_privacy"))
        self.assertTrue(self.wait_for_log("Module downloaded", 60))
        self.assertEqual(0, session.controls()[1002]["check"])
        deadline = time.time() + 10
        while not os.path.exists(self.link_file) and time.time() < deadline:
            time.sleep(0.2)
        with open(self.link_file) as f:
            self.assertRegex(f.read(), r"^http://[^/?]+/browser_agreement/\?lang=en\n$")
        self.assertTrue(session.driver.click(session.hwnd, 1010))
        self.assertEqual(500, session.exit_code())
        stats = self.statistics()
        self.assertNotIn(("click", "clicked_button=install"), stats)
        self.assertIn(("click", "choosen_checkbox=default"), stats)
        cancel = stats.index(("click", "clicked_button=cancel"))
        self.assertEqual([], [s for s in stats[cancel:] if s[0] == "status" and s[1] != "cancelled"])
        self.assertIn(("status", "cancelled"), stats)
        self.assertIn("User cancelled installation.", self.messages("wWinMain"))

        # Alt+F4 on the welcome screen.
        session = self.start()
        self.assertEqual(0, session.driver.send(session.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
        self.assertEqual(500, session.exit_code())

        # Alt+F4 on the progress screen, while the setup still runs.
        session = self.start(["--stand-in-sleep-ms=3000", "--stand-in-exit-code=7"])
        self.assertTrue(self.wait_for_log("Module downloaded", 60))
        session.driver.click(session.hwnd, 1)
        self.assertTrue(self.wait_for_log("Process created", 60))
        self.assertEqual(0, session.driver.send(session.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
        self.assertEqual(500, session.exit_code())

    def test_stalled_counter_host_never_holds_the_window(self):
        # Counters and clicks go to a host that accepts and never answers.
        # ui_driver starts each program and times its window; a plain notice
        # first pays for Wine's desktop and shows what a start costs here.
        self.clicks.route_otherwise(servers.Response(b"late", stall_headers_seconds=60))
        self.download.route(SETUP_PATH, servers.Response(self.package))
        env = dict(self.display.env(), **self.env())
        driver = h.UiDriver(self.display.env())

        def start(*program):
            run = h.start_windows(h.program("ui_driver.exe"), ["run", "10000", h.program(program[0]), *program[1:]],
                                  env=env)
            return (run, *map(int, h.read_line_with(run, "hwnd=", 30).split(" visible_ms=")))

        notice, notice_hwnd, reference_ms = start("message_dialog_runner.exe", "notice", "1033", "413", "418", "403")
        driver.click(notice_hwnd, 1010)
        h.read_line_with(notice, "exit_tick=", 30)
        run, hwnd, visible_ms = start("lite_installer_test.exe")
        try:
            self.assertLess(visible_ms, reference_ms + 1000, "a plain notice: %d ms" % reference_ms)
            self.assertTrue(driver.click(hwnd, 1003))  # a click report behind the stalled counter
            longest, unanswered = driver.ping(hwnd, 20, 50)
            self.assertEqual((0, True), (unanswered, longest < 100), longest)
            cancel_tick = driver.click_tick(hwnd, 1010)
            exit_tick, exit_code = map(int, h.read_line_with(run, "exit_tick=", 30).split(" exit_code="))
            self.assertEqual((500, True), (exit_code, exit_tick - cancel_tick < 2000), exit_tick - cancel_tick)
            print("window visible after %d ms (plain notice %d ms), longest answer %d ms, Cancel to exit %d ms"
                  % (visible_ms, reference_ms, longest, exit_tick - cancel_tick))
        finally:
            if run.poll() is None:
                run.kill()
                h.end_wine_session(timeout=1)
        # Only the first counter reached the host; everything behind it, the
        # completion report and both clicks included, is logged as not sent.
        self.assertEqual(["72977"], [re.search(r"cid=(\d+)", r["path"]).group(1) for r in self.clicks.requests()])
        not_sent = [f for level, f, m in h.log_messages() if level == "WARNING" and m.startswith("Report not sent")]
        self.assertEqual((1, 2), (not_sent.count("Installer::ReportInstallationFinished"),
                                  not_sent.count("Installer::SendClickStat")))

    def test_failed_download_shows_the_error_after_the_click(self):
        self.download.route(SETUP_PATH, servers.Response(b"", status=503))
        session = self.start()
        # Five attempts with four pauses of 15 s; nothing is shown meanwhile.
        self.assertTrue(self.wait_for_log("Module was not downloaded", 120))
        time.sleep(1)
        self.assertEqual(1, session.window()["visible"])
        self.assertEqual(1, len([c for c in session.controls().values() if c["id"] == 1 and c["visible"]]))
        self.assertTrue(session.driver.click(session.hwnd, 1))
        error = session.second_dialog()
        self.assertIsNotNone(error)
        time.sleep(0.5)
        self.display.screenshot(h.screenshot_path("main_window_error"))
        # The main window switched and shrank before it was hidden.
        window = session.window()
        self.assertEqual((0, 178), (window["visible"], window["right"] - window["left"]))
        self.assertEqual([1012, 1013], sorted(session.controls()))
        error_controls = session.driver.controls(error)
        self.assertEqual("An error occurred during installation", error_controls[1000]["text"])
        clicks_before = self.statistics()
        self.assertEqual([("click", "clicked_button=install"), ("counter", "72979")],
                         [s for s in clicks_before if s in (("click", "clicked_button=install"), ("counter", "72979"))])
        self.assertTrue(session.driver.click(error, 1010))
        self.assertEqual(401, session.exit_code())

    def test_newer_version_on_windows_10(self):
        h.wine_reg("add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win10", "/f", env=self.display.env())
        try:
            self.download.route(SETUP_PATH, servers.Response(self.package))
            session = self.start(["--stand-in-messages=install:5,higher", "--stand-in-exit-code=3"])
            controls = session.controls()
            self.assertEqual(0, controls[1002]["visible"])
            self.assertEqual(0, controls[1002]["check"])
            self.assertTrue(self.wait_for_log("Module downloaded", 60))
            session.driver.click(session.hwnd, 1)
            notice = session.second_dialog()
            self.assertIsNotNone(notice)
            self.assertEqual(0, session.window()["visible"])
            notice_controls = session.driver.controls(notice)
            self.assertEqual("OK", notice_controls[1]["text"])
            self.display.screenshot(h.screenshot_path("main_window_newer_version"))
            self.assertTrue(session.driver.click(notice, 1))
            self.assertEqual(3, session.exit_code())
            record = self.record()
            self.assertNotIn("make-browser-default-after-import", record["switches"])
            self.assertEqual([], self.messages("lite_installer::MainWindow::OnCloseWindow"))
        finally:
            h.wine_reg("add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win7", "/f", env=self.display.env())

    def test_setup_messages_in_any_order_and_quick_clicks(self):
        # Odd stages and values, then the newer-version notice, and the
        # close-window message while the notice is still open; the install
        # button clicked twice and Enter at once.
        self.download.route(SETUP_PATH, servers.Response(self.package))
        session = self.start(["--stand-in-messages=install:-1,import:150:9,import:-20:0,higher,close,install:6",
                              "--stand-in-exit-code=5"])
        self.assertTrue(self.wait_for_log("Module downloaded", 60))
        session.driver.click(session.hwnd, 1)
        session.driver.click(session.hwnd, 1)
        # Enter: the dialog's default command, id 1 (sent to the installer
        # window itself; a key could land on the notice once it is up).
        session.driver.send(session.hwnd, 0x0111, 1, 0)
        notice = session.second_dialog()
        self.assertIsNotNone(notice)
        self.assertTrue(self.wait_for_log("--> Installer > MainWindow::OnCloseWindow", 30))
        # The close request stopped the controller, but the notice stays
        # until the user closes it, and the installer window stays hidden.
        time.sleep(1)
        self.assertIsNone(session.process.poll())
        self.assertEqual(0, session.window()["visible"])
        self.assertTrue(session.driver.click(notice, 1))
        self.assertEqual(5, session.exit_code())
        # The window stays (hidden) until the notice closes, so the last
        # stage still reaches it.
        self.assertEqual(["--> Installer > MainWindow::OnInstallProgress: 0",
                          "--> Installer > MainWindow::OnInstallProgress: 79"],
                         self.messages("lite_installer::MainWindow::OnInstallProgress"))
        self.assertEqual(["--> Installer > MainWindow::OnImportProgress: 150",
                          "--> Installer > MainWindow::OnImportProgress: -20"],
                         self.messages("lite_installer::MainWindow::OnImportProgress"))
        self.assertEqual(1, len([s for s in self.statistics() if s == ("click", "clicked_button=install")]))
        self.assertEqual(1, len([s for s in self.statistics() if s == ("counter", "72979")]))
        self.assertEqual([True] * 6, [m["sent"] for m in self.record()["messages"]])

    def test_welcome_screen_in_other_languages(self):
        self.download.route(SETUP_PATH, servers.Response(b"", status=404))
        expected = {"de": "Abbrechen", "ru": "Отмена", "ja": "キャンセル", "tr": "İptal"}
        for code, cancel in expected.items():
            session = self.start(["--distr-info-params=lang=" + code])
            controls = session.controls()
            if cancel is not None:
                self.assertEqual(cancel, controls[1010]["text"], code)
            self.assertNotEqual(STRINGS_EN[400], controls[1]["text"], code)
            self.assertNotEqual("", controls[1000]["text"], code)
            self.display.screenshot(h.screenshot_path("main_window_welcome_" + code))
            self.assertEqual(0, session.driver.send(session.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
            self.assertEqual(500, session.exit_code())

        # The "tb" brand asks for Flash: its row pushes the lower rows down.
        session = self.start(["--brand-name=tb"])
        controls = session.controls()
        rect = lambda c: (c["left"], c["top"], c["right"], c["bottom"])
        self.assertEqual((180, 120, 482, 140, 1, 1), rect(controls[1004]) + (controls[1004]["visible"],
                                                                              controls[1004]["check"]))
        self.assertEqual((180, 140, 600), rect(controls[1003])[:3])
        self.assertEqual((203, controls[1003]["bottom"], 600, 201), rect(controls[1021]))
        self.assertEqual((180, 205, 376, 239), rect(controls[1]))
        self.assertEqual((386, 205, 489, 239), rect(controls[1010]))
        self.display.screenshot(h.screenshot_path("main_window_welcome_flash"))
        self.assertEqual(0, session.driver.send(session.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
        self.assertEqual(500, session.exit_code())


if __name__ == "__main__":
    unittest.main(verbosity=2)
