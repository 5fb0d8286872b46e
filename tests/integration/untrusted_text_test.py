"""Outside text stays data, under Wine: a distribution tag edited in a signed
copy, and switches meant to rewrite the setup's command line, change neither
the log's records, nor the counters' paths, nor what the setup receives."""

import json
import os
import re
import shutil
import tempfile
import unittest

import brand_test
import lite_harness as h
import servers

stamper = brand_test.stamper
STATUS_PATH = "/get/browser/install"
# The build's default brand package (resource 319) names the brand "int".
SETUP_PATH = "/browser/int/flash/browser-setup.arc"
COUNTER = re.compile(r"^/jclck/dtype=stred/pid=457/cid=(\d+)/path=([A-Za-z]+)\.([^/?#]*)/\*$")
RECORD = re.compile(r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} <\d+> (INFO|WARNING|ERROR): .+? \(-?\d+\): ")


class UntrustedTextTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lite-untrusted-")
        cls.ca = servers.install_test_ca(h)
        cls.stats = servers.FaultServer(tls=cls.ca).start()
        cls.stats.route(STATUS_PATH, servers.Response(b"ok"))
        cls.clicks = servers.FaultServer().start()
        cls.clicks.route_otherwise(servers.Response(b"ok"))
        cls.download = servers.FaultServer().start()
        with open(h.program("stand_in_setup.exe"), "rb") as f:
            cls.download.route(SETUP_PATH, servers.Response(f.read()))
        cls.signing = brand_test.SignedCopy(cls.work)

    @classmethod
    def tearDownClass(cls):
        for server in (cls.stats, cls.clicks, cls.download):
            server.stop()
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        h.clear_log()
        self.record_path = os.path.join(self.work, "record.json")
        # No identifier stored by an earlier run: the counters' fourth value is 2216.
        ui_file = os.path.join(os.path.dirname(h.temp_dir()), "AppData", "Roaming", "Korvex", "ui")
        for path in (self.record_path, os.path.join(h.temp_dir(), "distrib_info"), ui_file):
            if os.path.exists(path):
                os.remove(path)

    def stamped(self, name, tag):
        """A signed copy of program `name` carrying `tag` (bytes, written as
        they are)."""
        signed = self.signing.sign(h.program(name), "signed_" + name)
        with open(signed, "rb") as f:
            data = stamper.stamp(f.read(), tag)
        path = os.path.join(self.work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def run_program(self, path, args):
        env = {"LITE_TEST_DOWNLOAD_HOST": self.download.host(), "LITE_TEST_STATS_HOST": self.stats.host(), "LITE_TEST_CLICK_STATS_HOST": self.clicks.host(),
               "LITE_PROBE_TRUST": "all", "LITE_PROBE_PAUSE_MS": "100",
               "LITE_STAND_IN_RECORD": servers.wine_path(self.record_path)}
        return h.run_windows(path, ["--silent", *args], env=env, timeout=180)

    def counters(self, since):
        """(cid, identifiers) of every counter request after `since` requests."""
        found = []
        for request in self.clicks.requests()[since:]:
            match = COUNTER.match(request["request_uri"])
            self.assertIsNotNone(match, request["request_uri"])
            self.assertEqual("", request["query"])
            found.append((match.group(1), match.group(3)))
        return found

    def test_tampered_tag_is_no_tag_and_forges_no_record(self):
        forged = b"2016-05-12 07:41:03 <1> ERROR: wWinMain (1): forged record"
        tag = b"lang=tr\r\n" + forged + b"\r\n&banerid=7/../../../evil/x?y=1#&korvexuid=k\x00zz"
        seen = len(self.clicks.requests())
        result = self.run_program(self.stamped("lite_installer_test.exe", tag), [])
        self.assertEqual(402, result.returncode, "the stand-in is not signed for this build")

        text = h.read_log()
        lines = [line for line in text.replace("\r\n", "\n").split("\n") if line]
        self.assertTrue(all(RECORD.match(line) for line in lines), [l for l in lines if not RECORD.match(l)])
        self.assertNotIn("forged", text)
        warnings = [m for level, f, m in h.log_messages()
                    if level == "WARNING" and f == "DistribInfoParams::Load"]
        self.assertEqual(["The distribution tag ignored: it holds characters other than printable ASCII."],
                         warnings)
        self.assertFalse(os.path.exists(os.path.join(h.temp_dir(), "distrib_info")))
        counters = self.counters(seen)
        self.assertEqual(["72977", "72978", "72980"], [cid for cid, _ in counters][:3])
        self.assertTrue(all(ids == "int.2216.2216.2216.2216.2216" for _, ids in counters), counters)

    def test_setup_receives_exactly_the_controllers_switches_and_the_callers_values(self):
        tag = b"banerid=7/../../../evil/x?y=1#&korvexuid=a b\"c&lang=#x&custom=1"
        seen = len(self.clicks.requests())
        hostile = ["--x --make-browser-default-after-import", "--x --clids-file=C:\\evil.xml",
                   "--\u0120silent", "--a\u013db", "--z\u0100", "--a\"b"]
        kept = ["--tab=one\ttwo", "--q=\"x\" --y", "--path=C:\\dir with\\ \\", "--lang=ru"]
        result = self.run_program(self.stamped("installer_probe.exe", tag), hostile + kept)
        self.assertEqual(0, result.returncode)

        with open(self.record_path, encoding="utf-8") as f:
            record = json.load(f)
        switches = record["switches"]
        temp = h.windows_path(h.latest_run_folder()) + "\\"
        self.assertEqual({"tab": "one\ttwo", "q": "\"x\" --y", "path": "C:\\dir with\\ \\", "lang": "ru"},
                         {k: switches[k] for k in ("tab", "q", "path", "lang")})
        self.assertEqual(temp + "clids.xml", switches["clids-file"])
        self.assertNotIn("make-browser-default-after-import", switches)
        self.assertEqual(sorted(["brand-name", "brand-package", "clids-file", "distr-info-file",
                                 "do-not-install-flash", "histogram-download-time", "installerdata",
                                 "progress-window", "silent", "verbose-logging", "lang", "path", "q", "tab"]),
                         sorted(switches))
        dropped = [m for level, f, m in h.log_messages()
                   if level == "WARNING" and f == "ProcessSwitches::Current"]
        self.assertEqual(len(hostile), len(dropped), dropped)
        # The file handed on holds the tag's values as they stand.
        handed = json.loads(bytes.fromhex(record["files"]["distr-info-file"]["content_hex"]))
        self.assertEqual(
            {"banerid": "7/../../../evil/x?y=1#", "korvexuid": "a b\"c", "lang": "#x", "custom": "1"}, handed)
        # Every counter keeps its shape; the values are encoded inside it.
        counters = self.counters(seen)
        self.assertEqual(["72977", "72978", "72980", "72981", "72982"], [cid for cid, _ in counters])
        self.assertTrue(all(ids == "int.2216.7%2F..%2F..%2F..%2Fevil%2Fx%3Fy%3D1%23.2216.2216.a%20b%22c"
                            for _, ids in counters), counters)


if __name__ == "__main__":
    unittest.main()
