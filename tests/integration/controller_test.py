"""The installer controller under Wine against real servers on 127.0.0.1:
downloads with faults, the statistics requests in order, the setup's command
line and files, and the windowed road's observer calls.

Most runs use installer_probe.exe, the program's own run with the seams only
tests substitute (trust, the pause between attempts, the browser-window poll,
a message-only window); lite_installer_test.exe itself is run where the real
trust check is wanted. Both download from the test's server through
LITE_TEST_DOWNLOAD_HOST.
The setup package is the stand-in setup program padded to 1,000,000 bytes.
"""

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

# The build's default brand package (resource 319) names the brand "int".
SETUP_PATH = "/browser/int/flash/browser-setup.arc"
STATUS_PATH = "/get/browser/install"
PACKAGE_SIZE = 1000000
GUID = r"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"
MISSING = "2216"


def counter_uri(cid, name, ids):
    return "/jclck/dtype=stred/pid=457/cid=%d/path=%s.%s/*" % (cid, name, ".".join(ids))


def successful_run_sequence(ids):
    """The counters of a run whose setup ran, with its two status reports
    ("status") in their places."""
    return [("counter", counter_uri(72977, "ZapuskLiteInstallera", ids)),
            ("counter", counter_uri(72978, "StartZagruzkiSetupArc", ids)),
            "status",
            ("counter", counter_uri(72980, "FinishZagruzkiSetupArc", ids)),
            ("counter", counter_uri(72981, "ZapuskSetupArc", ids)),
            "status",
            ("counter", counter_uri(72982, "FinishUstanovki", ids))]


def query_pairs(query):
    """(name, value) pairs in order, values unescaped."""
    return [(name, urllib.parse.unquote(value))
            for name, _, value in (part.partition("=") for part in query.split("&"))]


class ControllerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.ca = servers.install_test_ca(h)
        cls.work = tempfile.mkdtemp(prefix="lite-controller-")
        cls.package = servers.runnable_package(h.program("stand_in_setup.exe"), cls.work, PACKAGE_SIZE)
        cls.package_path = os.path.join(cls.work, "setup_package.exe")
        with open(cls.package_path, "wb") as f:
            f.write(cls.package)
        # The stand-in signed like a real package (test PKI, demo key), which
        # this build's trust check accepts.
        cls.trusted_path = os.path.join(cls.work, "trusted_setup.exe")
        h.make_demo_package(cls.trusted_path)
        with open(cls.trusted_path, "rb") as f:
            cls.trusted_package = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        h.clear_log()
        self.stats, self.clicks, self.download = servers.start_run_servers(self.ca, STATUS_PATH)
        self.record_path = os.path.join(self.work, "record.json")
        self.copy_path = os.path.join(self.work, "copy.bin")
        for path in (self.record_path, self.copy_path):
            if os.path.exists(path):
                os.remove(path)
        self.ui_file = os.path.join(os.path.dirname(h.temp_dir()), "AppData", "Roaming", "Korvex", "ui")
        if os.path.exists(self.ui_file):
            os.remove(self.ui_file)

    def tearDown(self):
        for server in (self.stats, self.clicks, self.download):
            server.stop()

    # Helpers.

    def env(self, **extra):
        env = servers.probe_env(self.download, self.stats, self.clicks, self.record_path, self.copy_path)
        env.update(extra)
        return env

    def probe(self, args, **extra):
        return h.run_windows(self.program("installer_probe.exe"), args, env=self.env(**extra), timeout=120)

    def program(self, name):
        return h.program(name)

    def statistics(self):
        """Every statistics request in the order sent: ("counter", uri),
        ("click", uri) or ("status", query)."""
        entries = [(r["time"], "status", r["query"]) for r in self.stats.requests()]
        for r in self.clicks.requests():
            kind = "counter" if r["path"].startswith("/jclck/") else "click"
            entries.append((r["time"], kind, r["request_uri"]))
        return [(kind, text) for _, kind, text in sorted(entries)]

    def status_reports(self):
        return [query_pairs(q) for kind, q in self.statistics() if kind == "status"]

    def record(self):
        with open(self.record_path, encoding="utf-8") as f:
            return json.load(f)

    def messages(self, function=None):
        return [m for _, f, m in h.log_messages() if function is None or f == function]

    def setup_url(self):
        return "http://%s%s" % (self.download.host(), SETUP_PATH)

    def assert_status_report(self, pairs, status, attempt, downloaded, error=None, redirect=None):
        names = ["status", "attempt", "downloaded", "ui", "url"]
        if redirect is not None:
            names.append("redirect")
        if error is not None:
            names.append("error")
        self.assertEqual(names, [n for n, _ in pairs])
        values = dict(pairs)
        self.assertEqual(status, values["status"])
        self.assertEqual(str(attempt), values["attempt"])
        self.assertEqual(str(downloaded), values["downloaded"])
        self.assertRegex(values["ui"], "^" + GUID + "$")
        self.assertEqual(self.setup_url(), values["url"])
        if redirect is not None:
            self.assertEqual(redirect, values["redirect"])
        if error is not None:
            self.assertRegex(values["error"], "^" + error)

    def downloaded_module(self):
        """Linux path of the temporary package named in the log."""
        paths = [m[len("Executable path: "):] for m in self.messages("Installer::GetModule")
                 if m.startswith("Executable path: ")]
        self.assertEqual(1, len(paths))
        # The run downloads into a folder of its own inside the temporary
        # folder.
        temp = h.windows_path(h.temp_dir()) + "\\"
        self.assertTrue(paths[0].startswith(temp), paths[0])
        relative = paths[0][len(temp):].split("\\")
        self.assertRegex(relative[-1], r"^kb[0-9A-Fa-f]{1,4}\.tmp$")
        return os.path.join(h.temp_dir(), *relative)

    # Download with faults.

    def test_successful_silent_run_reports_in_order_and_hands_the_setup_its_inputs(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        started = time.time()
        result = self.probe(["--silent", "--distr-info-params=banerid=B1&korvexuid=K2",
                             "--stand-in-exit-code=5"])
        run_seconds = time.time() - started
        # A setup that ran counts as success; its exit code is the result.
        self.assertEqual(5, result.returncode)
        ids = ["int", MISSING, "B1", MISSING, MISSING, "K2"]
        sequence = self.statistics()
        self.assertEqual(successful_run_sequence(ids),
                         [entry if entry[0] == "counter" else entry[0] for entry in sequence])
        reports = self.status_reports()
        self.assert_status_report(reports[0], "success", 1, PACKAGE_SIZE)
        completion = reports[1]
        self.assertEqual(["ui", "result", "time", "download_time", "install_time"],
                         [n for n, _ in completion])
        self.assertEqual(dict(reports[0])["ui"], dict(completion)["ui"])
        self.assertEqual("success", dict(completion)["result"])

        # The package ran as it was served, and was deleted afterwards.
        with open(self.copy_path, "rb") as f:
            self.assertEqual(self.package, f.read())
        self.assertFalse(os.path.exists(self.downloaded_module()))

        record = self.record()
        temp = h.windows_path(h.latest_run_folder()) + "\\"
        q = lambda text: '"%s"' % text if (" " in text or "\\" in text) else text
        # The download's whole seconds depend on the machine's load; they
        # cannot exceed the run's.
        command_line = re.match(
            "^" + re.escape('"' + temp) + r"kb[0-9A-Fa-f]{1,4}\.tmp" + re.escape(
                '" --brand-name=int'
                " --brand-package=" + q(temp + "BrandFile") +
                " --clids-file=" + q(temp + "clids.xml") +
                " --distr-info-file=" + q(temp + "distrib_info") +
                " --distr-info-params=banerid=B1&korvexuid=K2"
                " --do-not-install-flash"
                " --histogram-download-time=") + r"(\d+)" + re.escape(
                " --installerdata=" + q(temp + "master_preferences") +
                " --progress-window=0"
                " --silent --stand-in-exit-code=5 --verbose-logging") + "$", record["command_line"])
        self.assertIsNotNone(command_line, record["command_line"])
        self.assertLessEqual(int(command_line.group(1)), run_seconds)
        files = record["files"]
        with open(os.path.join(h.latest_run_folder(), "master_preferences"), "rb") as f:
            self.assertEqual(f.read().hex(), files["installerdata"]["content_hex"])
        self.assertTrue(files["clids-file"]["exists"])
        self.assertEqual({"banerid": "B1", "korvexuid": "K2"},
                         json.loads(bytes.fromhex(files["distr-info-file"]["content_hex"])))

        # Registry values: stored in order at the start; those naming run files
        # removed when the setup ended, the others after its success.
        stored = [m.split(" = ")[0].split("\\")[-1] for m in
                  self.messages("lite_installer::StoreValueInRegistry")]
        self.assertEqual(["lang", "InstallerData", "ClidsFile", "brand", "BrandFile"],
                         [v for v in stored if v != "DistribInfoParams"][:5])
        removed = [m.split("\\")[-1] for m in self.messages("lite_installer::RemoveValueFromRegistry")]
        self.assertEqual(["InstallerData", "ClidsFile", "BrandFile", "DistribInfoParams", "brand", "BrandFile"],
                         [v for v in removed if v != "PartnerFile"][-6:])

    def test_drop_after_thirty_percent_resumes_where_the_file_ends(self):
        self.download.route(SETUP_PATH, servers.Response(self.package, drop_after=300000),
                            servers.Response(self.package))
        result = self.probe(["--silent"])
        self.assertEqual(0, result.returncode)
        self.assertEqual(["", "bytes=300000-"], [r["range"] for r in self.download.requests(SETUP_PATH)])
        reports = self.status_reports()
        self.assertEqual(3, len(reports))
        self.assert_status_report(reports[0], "failed", 1, 300000, error="internet_read-")
        self.assert_status_report(reports[1], "success", 2, PACKAGE_SIZE)
        with open(self.copy_path, "rb") as f:
            self.assertEqual(self.package, f.read())

    def test_drop_after_five_percent_starts_again_from_zero(self):
        self.download.route(SETUP_PATH, servers.Response(self.package, drop_after=50000),
                            servers.Response(self.package))
        result = self.probe(["--silent"])
        self.assertEqual(0, result.returncode)
        self.assertEqual(["", ""], [r["range"] for r in self.download.requests(SETUP_PATH)])
        reports = self.status_reports()
        # The report tells what the attempt left before the file was emptied.
        self.assert_status_report(reports[0], "failed", 1, 50000, error="internet_read-")
        self.assert_status_report(reports[1], "success", 2, PACKAGE_SIZE)
        with open(self.copy_path, "rb") as f:
            self.assertEqual(self.package, f.read())

    def test_five_failed_attempts_end_with_401(self):
        self.download.route(SETUP_PATH, servers.Response(b"", status=503))
        result = self.probe(["--silent"])
        self.assertEqual(401, result.returncode)
        self.assertEqual(5, len(self.download.requests(SETUP_PATH)))
        sequence = [kind for kind, _ in self.statistics()]
        self.assertEqual(["counter", "counter"] + ["status"] * 6 + ["counter"], sequence)
        reports = self.status_reports()
        for attempt in range(1, 6):
            self.assert_status_report(reports[attempt - 1], "failed", attempt, 0,
                                      error="final_query_info-503-")
        completion = reports[5]
        self.assertEqual(["ui", "result", "time", "download_time"], [n for n, _ in completion])
        self.assertEqual("failed", dict(completion)["result"])
        self.assertEqual("0", dict(completion)["time"])
        errors = [m for level, f, m in h.log_messages() if level == "ERROR"]
        self.assertTrue(any(m.startswith("Max download attempts failed (5)") for m in errors), errors)
        self.assertTrue(any(m.startswith("Module was not downloaded: ") for m in errors))
        self.assertFalse(os.path.exists(self.downloaded_module()))
        self.assertFalse(os.path.exists(self.record_path))

    def test_redirect_to_another_host_is_reported_by_its_host_name(self):
        other = servers.FaultServer().start()
        try:
            other.route("/mirror/setup.arc", servers.Response(self.package, drop_after=300000),
                        servers.Response(self.package))
            target = "http://localhost:%d/mirror/setup.arc" % other.port
            self.download.route(SETUP_PATH, servers.Response(redirect=target))
            result = self.probe(["--silent"])
            self.assertEqual(0, result.returncode)
            reports = self.status_reports()
            self.assert_status_report(reports[0], "failed", 1, 300000, error="internet_read-",
                                      redirect="localhost")
            self.assert_status_report(reports[1], "success", 2, PACKAGE_SIZE, redirect="localhost")
            with open(self.copy_path, "rb") as f:
                self.assertEqual(self.package, f.read())
        finally:
            other.stop()

    # Pre-downloaded package, stored identifier.

    def test_given_package_is_run_unchanged_and_kept(self):
        os.makedirs(os.path.dirname(self.ui_file), exist_ok=True)
        with open(self.ui_file, "w") as f:
            f.write("{0f1e2d3c-4b5a-6978-8a9b-ABCDEF012345}")
        # Files named on the command line are handed on as they are.
        prefs = os.path.join(self.work, "given prefs.json")
        with open(prefs, "wb") as f:
            f.write(b'{"given": true}')
        result = self.probe(["--silent", "--browser-setup=" + servers.wine_path(self.package_path),
                             "--installerdata=" + servers.wine_path(prefs), "--do-not-launch-browser"])
        self.assertEqual(0, result.returncode)
        self.assertEqual([], self.download.requests())
        ids = ["int", MISSING, MISSING, "0f1e2d3c-4b5a-6978-8a9b-ABCDEF012345", MISSING, MISSING]
        self.assertEqual(
            [("counter", counter_uri(72977, "ZapuskLiteInstallera", ids)),
             ("counter", counter_uri(72981, "ZapuskSetupArc", ids)),
             "status",
             ("counter", counter_uri(72982, "FinishUstanovki", ids))],
            [entry if entry[0] == "counter" else entry[0] for entry in self.statistics()])
        completion = self.status_reports()[0]
        self.assertEqual(["ui", "result", "time", "install_time"], [n for n, _ in completion])
        record = self.record()
        self.assertNotIn("histogram-download-time", record["switches"])
        self.assertEqual(servers.wine_path(prefs), record["files"]["installerdata"]["path"])
        self.assertEqual(b'{"given": true}'.hex(), record["files"]["installerdata"]["content_hex"])
        self.assertEqual("success", dict(completion)["result"])
        self.assertEqual(servers.wine_path(self.package_path), record["program"])
        self.assertTrue(os.path.exists(self.package_path))

    def test_a_setup_line_past_the_limit_starts_no_setup(self):
        # The installer's own line fits the limit; with the run's paths added
        # the setup's would not.
        result = self.probe(["--silent", "--browser-setup=" + servers.wine_path(self.package_path),
                             "--padding=" + "x" * 32550])
        self.assertEqual(405, result.returncode)
        self.assertIn("ERROR", [level for level, _, m in h.log_messages()
                                if m.startswith("The setup's command line is too long: ")])
        self.assertFalse(os.path.exists(self.record_path))

    # The product itself, with the real trust check.

    def test_product_refuses_an_unsigned_package_with_402(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        # A 200 KB client-id file counts as absent: the counters stay short.
        os.makedirs(os.path.dirname(self.ui_file), exist_ok=True)
        with open(self.ui_file, "w") as f:
            f.write("{" + "7" * 200000 + "}")
        result = h.run_windows(self.program("lite_installer_test.exe"), ["--silent"], env=self.env(),
                               timeout=120)
        self.assertEqual(402, result.returncode)
        self.assertFalse(os.path.exists(self.record_path))
        counters = [re.search(r"cid=(\d+)", text).group(1) for kind, text in self.statistics()
                    if kind == "counter"]
        self.assertEqual(["72977", "72978", "72980", "72982"], counters)
        self.assertTrue(all(len(text) < 200 and "int.%s.%s.%s." % ((MISSING,) * 3) in text
                            for kind, text in self.statistics() if kind == "counter"))
        self.assertIn("Client id file ignored: unreadable or longer than 256 bytes.",
                      self.messages("Installer::Installer"))
        completion = self.status_reports()[-1]
        self.assertEqual("failed", dict(completion)["result"])
        errors = [m for level, f, m in h.log_messages() if level == "ERROR"]
        self.assertTrue(any(m.startswith("Module verification failed: ") for m in errors), errors)
        self.assertFalse(os.path.exists(self.downloaded_module()))
        self.assertIn("Installer exit with code: 402", self.messages("wWinMain"))

    def test_product_silent_run_with_a_trusted_setup(self):
        self.download.route(SETUP_PATH, servers.Response(self.trusted_package))
        result = h.run_windows(self.program("lite_installer_test.exe"),
                               ["--silent", "--send-statistics", "--make-browser-default-after-import",
                                "--stand-in-exit-code=0"], env=self.env(), timeout=180)
        self.assertEqual(0, result.returncode)
        ids = ["int", MISSING, MISSING, MISSING, MISSING, MISSING]
        self.assertEqual(successful_run_sequence(ids),
                         [entry if entry[0] == "counter" else entry[0] for entry in self.statistics()])
        reports = self.status_reports()
        self.assert_status_report(reports[0], "success", 1, len(self.trusted_package))
        self.assertEqual("success", dict(reports[1])["result"])
        switches = self.record()["switches"]
        self.assertEqual("0", switches["progress-window"])
        self.assertIn("send-statistics", switches)
        # The prefix reports Windows 7: the default-browser switch passes.
        self.assertIn("make-browser-default-after-import", switches)
        self.assertIn("Verification succeeded: " + h.windows_path(self.downloaded_module()),
                      self.messages("Installer::InstallBrowser"))
        self.assertFalse(os.path.exists(self.downloaded_module()))
        self.assertEqual("Installer exit with code: 0", self.messages("wWinMain")[-1])

    # Windowed road.

    def window_records(self):
        return self.messages("ProbeWindow")

    def test_window_follows_download_setup_progress_and_the_browser_window(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        started = time.time()
        result = self.probe(["--stand-in-progress", "--stand-in-browser-ms=1500"], LITE_PROBE_ROAD="window")
        self.assertEqual(0, result.returncode)
        self.assertGreater(time.time() - started, 1.5)
        records = self.window_records()
        self.assertEqual(["SetProgress 5", "OnTimeLeft 239 0"], records[:2])
        after_download = records.index("OnTimeLeft 240 2")
        self.assertEqual("SetProgress 40", records[after_download - 1])
        self.assertEqual(["SetProgress 40",
                          "set_install_progress 5", "set_install_progress 6",
                          "set_import_progress 0 1", "set_import_progress 50 2",
                          "set_import_progress 100 3",
                          "OnFinished", "Window closed.", "Controller destroyed."],
                         records[after_download + 1:])
        record = self.record()
        self.assertNotEqual("0", record["switches"]["progress-window"])
        self.assertTrue(all(m["sent"] for m in record["messages"]))

    def test_close_during_a_long_setup_keeps_the_controller_until_its_worker_ends(self):
        # The browser asks the window to close while the setup still runs:
        # Stop gives up (after 1 s here) and the window closes; the road
        # waits for the worker, so the exit code is the setup's, and the
        # controller is destroyed only after the setup ended and the run was
        # reported.
        result = self.probe(["--browser-setup=" + servers.wine_path(self.package_path),
                             "--stand-in-browser-ms=500", "--stand-in-browser-close-ms=200",
                             "--stand-in-sleep-ms=4000", "--stand-in-exit-code=9"],
                            LITE_PROBE_ROAD="window", LITE_PROBE_STOP_WAIT_MS="1000")
        self.assertEqual(9, result.returncode)
        records = self.window_records()
        self.assertEqual(["close_window", "Stop returned", "Window closed.", "Controller destroyed."],
                         records[-4:])
        order = [m for _, f, m in h.log_messages()
                 if f in ("ProbeWindow", "Installer::RunProcessAndWait", "wWinMain")]
        sequence = [order.index(m) for m in ("Window closed.",
                                             "Setup process exit with code: 9",
                                             "Controller destroyed.",
                                             "Installer exit with code: 9")]
        self.assertEqual(sorted(sequence), sequence, order)
        # The worker finished its run: the completion report and the last
        # counter were sent before the controller went away.
        kind, text = self.statistics()[-1]
        self.assertEqual(("counter", "72982"), (kind, re.search(r"cid=(\d+)", text).group(1)))
        self.assertEqual("success", dict(self.status_reports()[-1])["result"])

    def test_do_not_launch_browser_finishes_at_once(self):
        result = self.probe(["--browser-setup=" + servers.wine_path(self.package_path),
                             "--do-not-launch-browser"], LITE_PROBE_ROAD="window")
        self.assertEqual(0, result.returncode)
        records = self.window_records()
        self.assertEqual(["SetProgress 40", "SetProgress 100", "OnFinished", "Window closed.",
                          "Controller destroyed."], records)

    def test_cancel_before_the_install_click_reports_a_cancelled_run(self):
        # The package downloads while the welcome screen shows; the user
        # cancels instead of clicking install.
        self.download.route(SETUP_PATH, servers.Response(self.package))
        result = self.probe([], LITE_PROBE_ROAD="window", LITE_PROBE_CLICK="never",
                            LITE_PROBE_CANCEL_MS="2500")
        self.assertEqual(500, result.returncode)
        records = self.window_records()
        self.assertEqual(["cancel", "Window closed.", "Controller destroyed."], records[-3:])
        self.assertEqual(["User cancelled installation.", "Installer exit with code: 500"],
                         self.messages("wWinMain")[-2:])
        self.assertFalse(any(r.startswith("OnError") for r in records), records)
        counters = [re.search(r"cid=(\d+)", text).group(1) for kind, text in self.statistics()
                    if kind == "counter"]
        self.assertEqual(["72977", "72978", "72980", "72982"], counters)
        reports = self.status_reports()
        self.assert_status_report(reports[0], "success", 1, PACKAGE_SIZE)
        self.assertEqual(2, len(reports))
        self.assertEqual("cancelled", dict(reports[1])["result"])
        self.assertTrue(any(m.startswith("Installation after download event isn't in signal state or "
                                         "installation was stopped early.")
                            for m in self.messages("Installer::InstallBrowser")))
        self.assertFalse(os.path.exists(self.downloaded_module()))
        self.assertFalse(os.path.exists(self.record_path))

    def test_failed_download_reports_the_error_to_the_window(self):
        self.download.route(SETUP_PATH, servers.Response(b"", status=503))
        result = self.probe([], LITE_PROBE_ROAD="window")
        self.assertEqual(401, result.returncode)
        records = self.window_records()
        self.assertIn("OnError 2", records)
        self.assertEqual(["Window closed.", "Controller destroyed."], records[-2:])


if __name__ == "__main__":
    unittest.main(verbosity=2)
