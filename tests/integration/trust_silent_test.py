"""The silent road on real packages: the installer runs a package given with
"browser-setup" only when it passes the trust check, and ends with 402
otherwise. The packages come from tests/trust/make_trust_fixtures.sh; the test
root is trusted in the build's prefix first."""

import os
import socket
import unittest

import lite_harness as h

FIXTURES = os.path.join(h.BUILD_DIR, "trust_fixtures")
SETUP_EXIT_CODE = 23  # tests/trust/fixture_program.c


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def closed_port():
    """A local port nobody listens on: statistics requests fail at once."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class TrustSilentTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        result = h.run_windows(h.program("install_test_root.exe"),
                               [windows_path(os.path.join(FIXTURES, "pki", "root_ca.der"))])
        if result.returncode != 0:
            raise RuntimeError("test root not trusted: %d" % result.returncode)
        host = "127.0.0.1:%d" % closed_port()
        cls.env = {name: host for name in ("LITE_TEST_DOWNLOAD_HOST", "LITE_TEST_LEGAL_HOST",
                                           "LITE_TEST_STATS_HOST", "LITE_TEST_CLICK_STATS_HOST")}

    def run_package(self, name):
        h.clear_log()
        path = windows_path(os.path.join(FIXTURES, name))
        result = h.run_windows(h.program("lite_installer_test.exe"),
                               ["--silent", "--browser-setup=" + path], env=self.env)
        return result.returncode, path, h.log_messages()

    def test_runs_a_correctly_signed_package(self):
        for name in ["good_sha1.exe", "good_sha256.exe"]:
            with self.subTest(name=name):
                code, path, records = self.run_package(name)
                self.assertEqual(SETUP_EXIT_CODE, code, records)
                self.assertIn(("INFO", "KorvexTrustVerifier::VerifyModule", "Verify module."), records)
                self.assertTrue(any(m == "Verification succeeded: " + path for _, _, m in records), records)

    def test_refuses_every_untrusted_package_with_402(self):
        cases = {
            "altered_description.exe": "Verify error",
            "key_256.exe": "Cannot find key 256",
            "key_10.exe": "Cannot find key 10",
            "short_signature.exe": "Cannot find resource SIGNATURE_DAT",
            "not_a_pe.exe": "GetTrustJsonFromModule library isn't valid. ",
            "not_listed.exe": None,
            "unsigned.exe": None,
            "changed_after_signing.exe": None,
            "untrusted_root.exe": None,
        }
        for name, record in cases.items():
            with self.subTest(name=name):
                code, path, records = self.run_package(name)
                self.assertEqual(402, code, records)
                errors = [m for level, f, m in records if level == "ERROR"]
                self.assertTrue(any(m.startswith("Module verification failed: " + path) for m in errors),
                                records)
                if record is not None:
                    self.assertTrue(any(m.startswith(record) for level, f, m in records
                                        if f == "KorvexTrustVerifier::GetTrustJsonFromModule"), records)


if __name__ == "__main__":
    unittest.main()
