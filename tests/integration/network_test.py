"""Hostile networks under Wine: a changed package between attempts, errors
between resumed attempts, statistics replies that are huge or never come,
a claimed length beyond 4 GiB, a silent package server, a redirect from
https to http and a redirect loop, Cancel during a stalled download, and the
downloaded package removed after the run. Each case is one Wine run."""

import glob
import hashlib
import os
import shutil
import tempfile
import time
import unittest

import lite_harness as h
import servers as s
from downloader_test import probe

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
STATUS_PATH = "/get/browser/install"
PACKAGE_SIZE = 1000000


def etag_of(body):
    return '"%s"' % hashlib.sha256(body).hexdigest()[:16]


def leftover_packages():
    """Packages left in the temporary folder or in a run's folder inside it."""
    return glob.glob(os.path.join(h.temp_dir(), "**", "kb*.tmp"), recursive=True)


class NetworkTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.ca = s.install_test_ca(h)
        cls.work = tempfile.mkdtemp(prefix="lite-network-")
        # Two runnable packages of the same size that differ after the
        # program: A and B.
        cls.packages = [s.runnable_package(h.program("stand_in_setup.exe"), cls.work, PACKAGE_SIZE, seed=seed)
                        for seed in (1, 2)]
        cls.output = os.path.join(cls.work, "out.bin")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)
        s.wait_for_wineserver(h)

    def setUp(self):
        h.clear_log()
        for path in leftover_packages():
            os.remove(path)
        self.stats = s.FaultServer(tls=self.ca).start()
        self.stats.route(STATUS_PATH, s.Response(b"ok"))
        self.clicks = s.FaultServer().start()
        self.download = s.FaultServer().start()
        self.copy_path = os.path.join(self.work, "copy.bin")
        if os.path.exists(self.copy_path):
            os.remove(self.copy_path)

    def tearDown(self):
        for server in (self.stats, self.clicks, self.download):
            server.stop()

    def run_probe(self, args=(), **extra):
        env = s.probe_env(self.download, self.stats, self.clicks, os.path.join(self.work, "record.json"),
                          self.copy_path)
        env.update(extra)
        started = time.time()
        result = h.run_windows(h.program("installer_probe.exe"), list(args), env=env, timeout=120)
        return result, time.time() - started

    def ran(self):
        with open(self.copy_path, "rb") as f:
            return f.read()

    def downloaded_counts(self):
        return [dict(pair.partition("=")[::2] for pair in r["query"].split("&")).get("downloaded")
                for r in self.stats.requests(STATUS_PATH) if r["query"].startswith("status=")]

    def test_a_package_changed_between_attempts_is_never_spliced(self):
        a, b = self.packages
        self.download.route(SETUP_PATH, s.Response(a, drop_after=300000), s.Response(b))
        result, _ = self.run_probe(["--silent"])
        self.assertEqual(0, result.returncode)
        self.assertEqual(b, self.ran(), "the file that ran is entirely B")
        self.assertEqual([("", ""), ("bytes=300000-", etag_of(a))],
                         [(r["range"], r["if_range"]) for r in self.download.requests(SETUP_PATH)])
        self.assertEqual(["300000", str(PACKAGE_SIZE)], self.downloaded_counts())
        self.assertEqual([], leftover_packages())

    def test_errors_between_resumed_attempts_keep_the_bytes(self):
        a = self.packages[0]
        self.download.route(SETUP_PATH, s.Response(a, drop_after=300000),
                            s.Response(b"busy\n" * 2000, status=503),
                            s.Response(a, content_range_start=0),
                            s.Response(a))
        result, _ = self.run_probe(["--silent"])
        self.assertEqual(0, result.returncode)
        self.assertEqual(a, self.ran())
        self.assertEqual(["", "bytes=300000-", "bytes=300000-", "bytes=300000-"],
                         [r["range"] for r in self.download.requests(SETUP_PATH)])
        self.assertEqual(["300000", "300000", "300000", str(PACKAGE_SIZE)], self.downloaded_counts())

    def test_cancel_during_a_stalled_download_ends_the_process_at_once(self):
        self.download.route(SETUP_PATH, s.Response(self.packages[0], stall_after=300000,
                                                   stall_seconds=60))
        result, elapsed = self.run_probe([], LITE_PROBE_ROAD="window", LITE_PROBE_CLICK="never",
                                         LITE_PROBE_CANCEL_MS="2000")
        self.assertEqual(500, result.returncode)
        # Cancel at 2 s, then at most 2 s to end, with Wine's start-up.
        self.assertLess(elapsed, 6.0)
        completion = [r["query"] for r in self.stats.requests(STATUS_PATH)]
        self.assertEqual(1, len(completion), "no status report after the cancel")
        self.assertIn("result=cancelled", completion[0])
        self.assertEqual([], leftover_packages())

    def test_package_is_deleted_once_the_browser_it_started_lets_go(self):
        # The stand-in's "browser" runs from the package itself, so the file
        # cannot be deleted while it runs: the windowed road deletes it once
        # the browser is gone; the silent road, which does not wait for the
        # browser, says why it could not.
        self.download.route(SETUP_PATH, s.Response(self.packages[0]))
        result, _ = self.run_probe(["--stand-in-browser-ms=1500"], LITE_PROBE_ROAD="window")
        self.assertEqual(0, result.returncode)
        self.assertEqual([], leftover_packages())
        records = [(level, m.split(":")[0]) for level, f, m in h.log_messages()
                   if f in ("Installer::DeleteDownloadedPackage", "Installer::RetryPackageDelete")]
        self.assertEqual([("WARNING", "The downloaded package is still in use; deleting it later"),
                          ("INFO", "Downloaded package deleted")], records)

        h.clear_log()
        result, _ = self.run_probe(["--silent", "--stand-in-browser-ms=1500"])
        self.assertEqual(0, result.returncode)
        errors = [m for level, f, m in h.log_messages()
                  if f == "Installer::RetryPackageDelete" and level == "ERROR"]
        self.assertEqual(1, len(errors), h.log_messages())
        self.assertIn("Cannot delete the downloaded package: ", errors[0])
        self.assertIn("Last error: ", errors[0], "the system's reason is logged")
        time.sleep(2)

    def test_statistics_replies_are_bounded_in_memory_and_time(self):
        # 1.8 GB at loopback speed (about 2 s under Wine), cut by a shorter
        # request limit.
        self.clicks.route("/huge", s.Response(body_size=1800 * 1000 * 1000))
        huge = probe(self.clicks.url("/huge"), self.output, "--request", "--limit-ms", "700")
        self.assertEqual("0", huge["ok"])
        self.assertEqual("internet_read-12002", huge["error"])
        self.assertLess(int(huge["elapsed_ms"]), 1700)
        self.assertGreater(int(huge["total"]), 1000 * 1000, "the body was being read")
        self.assertLess(int(huge["peak_working_set"]), 64 * 1024 * 1024)
        self.assertEqual(4096, os.path.getsize(self.output), "the sink keeps a few KiB")

        # A host that accepts the connection and never answers.
        self.clicks.route("/stalled", s.Response(b"late", stall_headers_seconds=30))
        stalled = probe(self.clicks.url("/stalled"), self.output, "--request", "--limit-ms", "2000")
        self.assertEqual("0", stalled["ok"])
        self.assertEqual("internet_open_url-12002", stalled["error"])
        self.assertLess(int(stalled["elapsed_ms"]), 3000)

    def test_a_silent_package_server_ends_the_attempt_and_its_bytes_stay(self):
        self.download.route("/pkg", s.Response(self.packages[0], stall_after=300000,
                                               stall_seconds=30))
        result = probe(self.download.url("/pkg"), self.output, "--silence-ms", "1500")
        self.assertEqual("0", result["ok"])
        self.assertEqual("internet_read-12002", result["error"])
        self.assertLess(int(result["elapsed_ms"]), 3000)
        total = int(result["total"])
        self.assertGreaterEqual(total, 300000 - 32768)
        with open(self.output, "rb") as f:
            self.assertEqual(self.packages[0][:total], f.read())

    def test_a_claimed_length_beyond_4_gib_is_never_a_download(self):
        self.download.route("/big", s.Response(body_size=PACKAGE_SIZE, content_length=5000000000,
                                               drop_after=PACKAGE_SIZE))
        result = probe(self.download.url("/big"), self.output)
        self.assertEqual("0", result["ok"])
        self.assertEqual("content_length_too_large-223", result["error"])
        self.assertEqual("0", result["total"])

    def test_https_never_redirects_to_http_and_redirect_loops_end(self):
        with s.FaultServer(tls=self.ca) as secure:
            secure.route(STATUS_PATH, s.Response(redirect=self.clicks.url("/plain")))
            secure.route("/loop", s.Response(redirect="/loop"))
            refused = probe(secure.url(STATUS_PATH), self.output, "--request")
            self.assertEqual("0", refused["ok"])
            self.assertEqual("internet_open_url-12040", refused["error"])
            self.assertEqual(self.clicks.url("/plain"), refused["redirect"])
            self.assertEqual([], self.clicks.requests(), "nothing went over plain http")

            loop = probe(secure.url("/loop"), self.output, "--request")
            self.assertEqual("0", loop["ok"])
            self.assertEqual("internet_open_url-12156", loop["error"])
            self.assertEqual(11, len(secure.requests("/loop")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
