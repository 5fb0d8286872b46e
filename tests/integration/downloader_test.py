"""The downloader under Wine against real servers: resumption by byte range
with If-Range, bodies cut short, refused partial answers, error statuses,
redirects, a stop during a blocked read, https with a trusted test CA, and
the request function used for statistics."""

import hashlib
import os
import shutil
import subprocess
import tempfile
import unittest

import lite_harness as h
import servers as s

PACKAGE_SIZE = 1000000


def probe(url, output, *options):
    """Runs download_probe.exe; returns its key=value lines as a dict (the
    time_left lines as a list)."""
    result = h.run_wine([h.program("download_probe.exe"), *options, url, s.wine_path(output)])
    text = result.stdout.decode("utf-8", "replace")
    errors = result.stderr.decode("utf-8", "replace")
    values = {"time_left": [], "attempt": []}
    for line in text.splitlines():
        key, _, value = line.partition("=")
        if key in ("time_left", "attempt"):
            values[key].append(value)
        elif key:
            values[key] = value
    if "ok" not in values:
        raise RuntimeError("download_probe failed: %r %r" % (text, errors))
    return values


def etag_of(body):
    """The entity tag FaultServer sends for `body`."""
    return '"%s"' % hashlib.sha256(body).hexdigest()[:16]


def read(path):
    with open(path, "rb") as f:
        return f.read()


class DownloaderTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lite-download-")
        cls.package_path = s.make_package(os.path.join(cls.work, "package.bin"), PACKAGE_SIZE)
        cls.package = read(cls.package_path)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        self.server = s.FaultServer().start()
        self.output = os.path.join(self.work, "out-%s.bin" % self._testMethodName)
        if os.path.exists(self.output):
            os.remove(self.output)

    def tearDown(self):
        self.server.stop()

    def test_cut_body_fails_keeps_its_bytes_and_the_next_attempt_resumes(self):
        self.server.route("/pkg", s.Response(self.package, drop_after=300000),
                          s.Response(self.package))
        log = os.path.join(self.work, "cut.log")
        result = probe(self.server.url("/pkg"), self.output, "--attempts", "2",
                       "--log", s.wine_path(log))
        self.assertEqual(["1 ok=0 error=internet_read-12031 kept=300000 total=300000",
                          "2 ok=1 error= kept=1000000 total=1000000"], result["attempt"])
        self.assertEqual("1", result["ok"], result)
        self.assertEqual(str(PACKAGE_SIZE), result["content_length"],
                         "the whole package's length, not the remaining part's")
        self.assertEqual(self.package, read(self.output))
        self.assertEqual(["-1 0", "0 2"], result["time_left"],
                         "a fresh start announces itself, a resumption does not")
        self.assertEqual("1.0000", result["progress_last"])
        self.assertEqual("1", result["progress_monotonic"])
        with open(log, "rb") as f:
            self.assertIn("Download chunk error.", f.read().decode("utf-16-le", "replace"))

        requests = self.server.requests("/pkg")
        self.assertEqual([("", ""), ("bytes=300000-", etag_of(self.package))],
                         [(r["range"], r["if_range"]) for r in requests])
        for r in requests:
            self.assertEqual("Korvex.Browser lite installer", r["user_agent"])
            self.assertIn("*/*", r["accept"])

    def test_body_cut_before_its_first_byte_is_not_a_success(self):
        self.server.route("/pkg", s.Response(self.package, drop_after=0))
        result = probe(self.server.url("/pkg"), self.output)
        self.assertEqual("0", result["ok"])
        self.assertEqual("internet_read-12031", result["error"])
        self.assertEqual("0", result["total"])
        self.assertEqual(b"", read(self.output))

    def resume_known(self, path, response):
        """Continues a file holding the package's first 300,000 bytes from
        `path`, the package's identity known as after a first attempt."""
        with open(self.output, "wb") as f:
            f.write(self.package[:300000])
        self.server.route(path, response)
        return probe(self.server.url(path), self.output, "--resume",
                     "--validator", etag_of(self.package), "--length", str(PACKAGE_SIZE))

    def test_answers_to_a_resumed_request_never_splice_and_keep_bytes_unless_changed(self):
        # Refused answers keep the bytes for the next attempt; only evidence
        # of another package empties the file.
        cases = {
            "206 from another offset": (s.Response(self.package, content_range_start=0),
                                        r"^final_query_info-206-12016$", 300000),
            "503 with a body": (s.Response(b"busy\n" * 1000, status=503),
                                r"^final_query_info-503-\d+$", 300000),
            "206 with another total": (s.Response(self.package, content_range_total=1200000),
                                       r"^internet_set_file_pointer-12016$", 0),
            "416": (s.Response(b"", status=416), r"^internet_set_file_pointer-12016$", 0),
            "206 of another package": (s.Response(self.package[::-1], ignore_if_range=True),
                                       r"^internet_set_file_pointer-12016$", 0),
        }
        for name, (response, error, kept) in cases.items():
            with self.subTest(name):
                path = "/%d" % len(self.server.routes)
                result = self.resume_known(path, response)
                self.assertEqual("0", result["ok"])
                self.assertRegex(result["error"], error)
                self.assertEqual(self.package[:kept], read(self.output))
                self.assertEqual(["bytes=300000-"], [r["range"] for r in self.server.requests(path)])

        # A 200 (the validator no longer matches, or ranges ignored) starts
        # the file again from byte 0 with that body, in the same attempt.
        other = s.make_package(os.path.join(self.work, "other.bin"), PACKAGE_SIZE, seed=2)
        with open(other, "rb") as f:
            other = f.read()
        for name, response, body in [("new package", s.Response(other), other),
                                     ("ranges ignored", s.Response(self.package, ignore_range=True),
                                      self.package)]:
            with self.subTest(name):
                path = "/%d" % len(self.server.routes)
                result = self.resume_known(path, response)
                self.assertEqual("1", result["ok"], result)
                self.assertEqual(body, read(self.output))

    def test_hostile_answers_end_bounded_and_a_cut_is_never_whole(self):
        # Headers without end: cut at a bounded cost, and the next attempt works.
        self.server.route("/flood", s.Response(header_flood=True), s.Response(self.package))
        flood = probe(self.server.url("/flood"), self.output, "--attempts", "2")
        self.assertEqual("1 ok=0 error=response_headers_too_large-12152 kept=0 total=0",
                         flood["attempt"][0])
        self.assertEqual("1", flood["ok"])
        self.assertLess(int(flood["peak_working_set"]), 64 * 1024 * 1024)
        self.server.route("/big", s.Response(b"x", headers={"X-%d" % i: "b" * 90 for i in range(700)}))
        self.assertEqual("response_headers_too_large-12152", probe(self.server.url("/big"), self.output)["error"])
        # A body cut without its length or before its last chunk, or whole in
        # chunks: one request for the rest, within the same attempt, settles it.
        for name, first in [("cut without length", dict(omit_length=True, drop_after=300000, etag=False)),
                            ("cut chunked", dict(chunked=True, drop_after=300000)),
                            ("whole chunked", dict(chunked=True))]:
            with self.subTest(name):
                path = "/%d" % len(self.server.routes)
                self.server.route(path, s.Response(self.package, **first),
                                  s.Response(self.package, etag=first.get("etag")))
                result = probe(self.server.url(path), self.output, "--attempts", "1")
                self.assertEqual("1", result["ok"], result)
                self.assertEqual(self.package, read(self.output))
                asked = [(r["range"], r["if_range"]) for r in self.server.requests(path)]
                self.assertEqual(("bytes=%d-" % (300000 if "cut" in name else PACKAGE_SIZE),
                                  "" if "length" in name else etag_of(self.package)), asked[1])
        # A few hundred bytes a second, never silent for long, arrive whole.
        self.server.route("/drip", s.Response(self.package[:1500], drip=(100, 0.1, 0)))
        drip = probe(self.server.url("/drip"), self.output, "--silence-ms", "1000")
        self.assertEqual(("1", self.package[:1500]), (drip["ok"], read(self.output)))
        # No connection, or no handshake, within the connect limit.
        for listener in (s.SilentListener(), s.SilentListener(accept=False)):
            with listener:
                result = probe(listener.url("/pkg", "https" if listener.accept else "http"),
                               self.output, "--connect-ms", "1000")
                self.assertEqual(("0", "internet_open_url-12002"), (result["ok"], result["error"]))
                self.assertLess(int(result["elapsed_ms"]), 2000)

    def test_error_status_is_named_and_its_body_never_becomes_package_bytes(self):
        body = b"<html>no such package</html>\n" * 100
        self.server.route("/missing", s.Response(body, status=404))
        log = os.path.join(self.work, "404.log")
        result = probe(self.server.url("/missing"), self.output, "--log", s.wine_path(log))
        self.assertEqual("0", result["ok"])
        self.assertRegex(result["error"], r"^final_query_info-404-\d+$")
        self.assertEqual("0", result["total"])
        self.assertEqual(b"", read(self.output))
        with open(log, "rb") as f:
            self.assertIn("Unsuccessful download: " + self.server.url("/missing"),
                          f.read().decode("utf-16-le", "replace"))

    def test_redirect_target_is_recorded_also_when_the_download_then_fails(self):
        with s.FaultServer() as other:
            target = "http://localhost:%d/pkg" % other.port
            other.route("/pkg", s.Response(self.package[:1000]))
            self.server.route("/r", s.Response(redirect=target))
            result = probe(self.server.url("/r"), self.output)
            self.assertEqual("1", result["ok"], result)
            self.assertEqual(target, result["redirect"])
            self.assertEqual(self.package[:1000], read(self.output))

            self.server.route("/r404", s.Response(redirect="http://localhost:%d/none" % other.port))
            failed = probe(self.server.url("/r404"), self.output)
            self.assertEqual("0", failed["ok"])
            self.assertRegex(failed["error"], r"^final_query_info-404-")
            self.assertEqual("http://localhost:%d/none" % other.port, failed["redirect"])

            # A resumed attempt through a redirect still asks for the rest only.
            other.route("/big", s.Response(self.package))
            self.server.route("/rbig", s.Response(redirect="http://localhost:%d/big" % other.port))
            with open(self.output, "wb") as f:
                f.write(self.package[:500000])
            resumed = probe(self.server.url("/rbig"), self.output, "--resume", "--validator",
                            etag_of(self.package), "--length", str(PACKAGE_SIZE))
            self.assertEqual("1", resumed["ok"], resumed)
            self.assertEqual(self.package, read(self.output))
            self.assertEqual(["bytes=500000-"], [r["range"] for r in other.requests("/big")])

    def test_small_and_empty_bodies(self):
        self.server.route("/small", s.Response(self.package[:1234]))
        small = probe(self.server.url("/small"), self.output)
        self.assertEqual(("1", "1234", "1234"), (small["ok"], small["content_length"], small["total"]))
        self.assertEqual(self.package[:1234], read(self.output))

        self.server.route("/empty", s.Response(b""))
        empty = probe(self.server.url("/empty"), self.output)
        self.assertEqual("1", empty["ok"])
        self.assertEqual("0", empty["content_length"])
        self.assertEqual("2", empty["progress_calls"], "only the start and end calls")
        self.assertEqual(["-1 0", "0 2"], empty["time_left"])

    def test_a_stalled_body_is_waited_for(self):
        self.server.route("/pkg", s.Response(self.package, stall_after=100000, stall_seconds=1.5))
        result = probe(self.server.url("/pkg"), self.output)
        self.assertEqual("1", result["ok"], result)
        self.assertEqual(self.package, read(self.output))

    def test_stop_during_a_blocked_read_ends_it_at_once_and_keeps_the_bytes(self):
        self.server.route("/pkg", s.Response(self.package, stall_after=300000, stall_seconds=30.0))
        result = probe(self.server.url("/pkg"), self.output, "--stop-after-ms", "500")
        self.assertEqual("0", result["ok"])
        self.assertEqual("", result["error"])
        self.assertLess(int(result["elapsed_ms"]), 1500, "the stalled read does not hold the stop")
        # The read that was pending is given up; what the file holds is
        # exactly what was counted.
        total = int(result["total"])
        self.assertGreaterEqual(total, 300000 - 32768)
        self.assertLessEqual(total, 300000)
        self.assertEqual(self.package[:total], read(self.output))

    def test_stop_before_the_first_chunk_fails_without_error_text(self):
        self.server.route("/pkg", s.Response(self.package))
        result = probe(self.server.url("/pkg"), self.output, "--stop")
        self.assertEqual("0", result["ok"])
        self.assertEqual("", result["error"])
        self.assertEqual("0", result["total"])

    def test_unreachable_host_fails_to_open(self):
        port = s.free_port()
        with open(self.output, "wb") as f:
            f.write(b"kept")
        result = probe("http://127.0.0.1:%d/pkg" % port, self.output, "--resume")
        self.assertEqual("0", result["ok"])
        self.assertEqual("internet_open_url-12029", result["error"])
        self.assertEqual(b"kept", read(self.output))

    def test_request_function_starts_afresh_and_logs_the_url(self):
        self.server.route("/stat", s.Response(b"ok"))
        log = os.path.join(self.work, "request.log")
        url = self.server.url("/stat") + "?cid=1&x=2"
        result = probe(url, self.output, "--request", "--log", s.wine_path(log))
        self.assertEqual("1", result["ok"])
        self.assertEqual(b"ok", read(self.output), "the sink's earlier content is dropped")
        with open(log, "rb") as f:
            self.assertIn("`anonymous-namespace'::Download", f.read().decode("utf-16-le", "replace"))
        with open(log, "rb") as f:
            self.assertIn("Attempt to download module: " + url,
                          f.read().decode("utf-16-le", "replace"))
        self.assertEqual([("/stat", "cid=1&x=2", "")],
                         [(r["path"], r["query"], r["range"]) for r in self.server.requests()])

    def test_nginx_serves_ranges_to_a_resumed_download(self):
        root = os.path.join(self.work, "www")
        os.makedirs(root, exist_ok=True)
        shutil.copy(self.package_path, os.path.join(root, "setup.bin"))
        target = self.server.url("/moved")
        self.server.route("/moved", s.Response(self.package[:100]))
        with s.NginxServer(root, redirects={"/old.bin": target}) as nginx:
            moved = probe(nginx.url("/old.bin"), self.output)
            self.assertEqual(("1", target), (moved["ok"], moved["redirect"]))
            self.assertEqual(self.package[:100], read(self.output))
            self.assertEqual([("/old.bin", 302)],
                             [(r["path"], r["status"]) for r in nginx.requests()])

            with open(self.output, "wb") as f:
                f.write(self.package[:300000])
            # nginx's entity tag: modification time and size in hexadecimal.
            stat = os.stat(os.path.join(root, "setup.bin"))
            etag = '"%x-%x"' % (int(stat.st_mtime), stat.st_size)
            result = probe(nginx.url("/setup.bin"), self.output, "--resume", "--validator", etag,
                           "--length", str(PACKAGE_SIZE))
            self.assertEqual("1", result["ok"], result)
            self.assertEqual(str(PACKAGE_SIZE), result["content_length"])
            self.assertEqual(self.package, read(self.output))
            self.assertLess(int(result["progress_calls"]), 700000 // 8192, "reads past 8 KiB")
            records = nginx.requests()[1:]
            self.assertEqual(1, len(records))
            self.assertEqual(("/setup.bin", "bytes=300000-", 206, 700000),
                             (records[0]["path"], records[0]["range"], records[0]["status"],
                              records[0]["bytes_sent"]))
            self.assertEqual("Korvex.Browser lite installer", records[0]["user_agent"])


@unittest.skipUnless(os.geteuid() == 0, "mounting a small volume needs root")
class DiskFullTest(unittest.TestCase):
    def test_a_full_volume_fails_the_write_and_leaves_only_counted_bytes(self):
        # 100 KiB hold three 32 KiB chunks and part of a fourth: the system
        # writes that part and reports success with fewer bytes.
        mount = tempfile.mkdtemp(prefix="lite-full-volume-")
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=100k", "tmpfs", mount],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        if result.returncode != 0:
            os.rmdir(mount)
            self.skipTest("cannot mount a tmpfs: %r" % result.stderr)
        try:
            package = os.urandom(300000)
            with s.FaultServer() as server:
                server.route("/pkg", s.Response(package))
                output = os.path.join(mount, "package.bin")
                log = os.path.join(tempfile.gettempdir(), "lite-disk-full-%d.log" % os.getpid())
                result = probe(server.url("/pkg"), output, "--log", s.wine_path(log))
                with open(log, "rb") as f:
                    text = f.read().decode("utf-16-le", "replace")
                os.remove(log)
            self.assertEqual("0", result["ok"])
            self.assertEqual("write_file-112", result["error"], "ERROR_DISK_FULL")
            self.assertIn("Write file error.", text)
            kept = read(output)
            self.assertEqual(int(result["total"]), len(kept),
                             "the file holds exactly the counted bytes, so a resumption fits")
            self.assertEqual(package[:len(kept)], kept)
        finally:
            subprocess.run(["umount", mount], check=False)
            os.rmdir(mount)


class HttpsTest(unittest.TestCase):
    def test_https_request_with_the_trusted_test_ca(self):
        ca = s.install_test_ca(h)
        work = tempfile.mkdtemp(prefix="lite-https-")
        try:
            output = os.path.join(work, "body.bin")
            with s.FaultServer(tls=ca) as server:
                server.route("/get/browser/install", s.Response(b"accepted"))
                url = server.url("/get/browser/install") + "?status=success&downloaded=1&ui="
                result = probe(url, output, "--request")
                self.assertEqual("1", result["ok"], result)
                self.assertEqual(b"accepted", read(output))
                self.assertEqual(["status=success&downloaded=1&ui="],
                                 [r["query"] for r in server.requests()])

            # A certificate from a CA the prefix does not trust is refused.
            stranger = s.TestCa(os.path.join(work, "stranger")).ensure()
            with s.FaultServer(tls=stranger) as server:
                server.route("/get/browser/install", s.Response(b"accepted"))
                result = probe(server.url("/get/browser/install"), output, "--request")
                self.assertEqual("0", result["ok"])
                self.assertRegex(result["error"], r"^internet_open_url-\d+$")
        finally:
            shutil.rmtree(work, ignore_errors=True)


def tearDownModule():
    s.wait_for_wineserver(h)


if __name__ == "__main__":
    unittest.main()
