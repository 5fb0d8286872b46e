"""scripts/release.sh end to end on the build's own program: a three-line tag
list gives a signed program and three tagged copies that verify, read back
and run with their tags; a bad tag line or a signature that does not verify
publishes nothing. The shipped (i686) program is published; where the Windows
tests run x86_64, its copies cannot run under that Wine, so the test tree's
program is published a second time and its copies run."""

import hashlib
import os
import re
import subprocess
import tempfile
import unittest

import lite_harness as h

RELEASE = os.path.join(h.SOURCE_DIR, "scripts", "release.sh")
TAGS = {
    "lite_installer-01.exe": ("banerid=7&lang=tr", "tr (1055)"),
    "lite_installer-02.exe": ("lang=uk&partner_id=6", "uk (1058)"),
    "lite_installer-03.exe": ("lang=ja&download_date=2026-12-08", "ja (1041)"),
}


def release(tag_list, out, *options, build_dir=h.SHIPPED_BUILD_DIR):
    env = dict(os.environ, LITE_RELEASE_KEEP_WINESERVER="1", LITE_WINEPREFIX=h.WINEPREFIX)
    return subprocess.run([RELEASE, "--build-dir", build_dir, "--reader-dir", h.BUILD_DIR, "--out", out,
                           *options, tag_list],
                          env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          timeout=600, check=False)


def stored_value(name):
    """The value `name` the last run stored under the browser's key."""
    result = subprocess.run([h.WINE_RUN, h.WINEPREFIX, "reg", "query",
                             r"HKCU\Software\Korvex\KorvexBrowser", "/v", name],
                            env=h.wine_env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            text=True, errors="replace", timeout=60, check=False)
    match = re.search(r"^\s*%s\s+REG_SZ\s+(\S*)\s*$" % name, result.stdout, re.MULTILINE)
    return match.group(1) if match else None


def verifies(path, ca_file):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca_file, "-in", path],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          check=False).returncode == 0


class ReleaseTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)
        self.out = os.path.join(self.work.name, "published")

    def write_list(self, text):
        path = os.path.join(self.work.name, "partner.txt")
        with open(path, "wb") as f:
            f.write(text)
        return path

    def assert_nothing_published(self):
        self.assertFalse(os.path.exists(self.out))
        self.assertEqual([], [n for n in os.listdir(self.work.name) if n.startswith(".staging")])

    def publish(self, tag_list, out, build_dir):
        result = release(tag_list, out, build_dir=build_dir)
        self.assertEqual(0, result.returncode, result.stderr)
        self.assertEqual(sorted(["lite_installer.exe", *TAGS]), sorted(os.listdir(out)))

        # The table: one row per file with its size, SHA-256, language and tag.
        rows = {line.split()[0]: line for line in result.stdout.splitlines()
                if line.startswith("lite_installer")}
        for name, (tag, language) in TAGS.items():
            path = os.path.join(out, name)
            with open(path, "rb") as f:
                data = f.read()
            self.assertRegex(rows[name], r"^%s +%d +%s +%s +%s$" % (
                re.escape(name), len(data), hashlib.sha256(data).hexdigest(),
                re.escape(language), re.escape(tag)))
            self.assertTrue(verifies(path, os.path.join(build_dir, "test_pki", "root_ca.pem")), name)
        with open(os.path.join(build_dir, "bin", "lite_installer.exe"), "rb") as f:
            self.assertIn("SHA-256 " + hashlib.sha256(f.read()).hexdigest(), result.stdout)

    def test_three_tags_give_three_signed_copies_that_read_back_and_run(self):
        tag_list = self.write_list(b"banerid=7&lang=tr\n# partner 6\nlang=uk&partner_id=6\r\n\n"
                                   b"lang=ja&download_date=2026-12-08\n")
        self.publish(tag_list, self.out, h.SHIPPED_BUILD_DIR)
        runnable = self.out
        if h.SHIPPED_BUILD_DIR != h.BUILD_DIR:
            runnable = os.path.join(self.work.name, "published-" + h.WIN_ARCH)
            self.publish(tag_list, runnable, h.BUILD_DIR)

        # Each copy runs as the installer and takes its parameters and its
        # language from its own tag: an unsigned package ends the run (402)
        # before any download, after the run's language has been stored.
        module = os.path.join(h.temp_dir(), "release_test_unsigned_setup.exe")
        with open(module, "wb") as f:
            f.write(b"MZ not a signed setup")
        for name, (tag, _) in TAGS.items():
            with self.subTest(copy=name):
                run = h.run_windows(os.path.join(runnable, name),
                                    ["--silent", "--browser-setup=" + h.windows_path(module)])
                self.assertEqual(402, run.returncode)
                # The shipped program removed its run folder; the parameters
                # it read stay in the registry.
                self.assertEqual(tag, stored_value("DistribInfoParams"))
                self.assertEqual(dict(pair.split("=", 1) for pair in tag.split("&"))["lang"], stored_value("lang"))
        h.end_wine_session()

    def test_a_bad_line_or_a_failed_signature_publishes_nothing(self):
        tag_list = self.write_list("lang=tr\nlang=tr&banerid=\u00e9\nbanerid=7\n".encode("utf-8"))
        result = release(tag_list, self.out)
        self.assertNotEqual(0, result.returncode)
        self.assertIn("partner.txt:2: byte 0xc3 at column 17 is not ASCII", result.stderr)
        self.assert_nothing_published()

        for bad, reason in [(b"lang=tr&lang=de\n", "key 'lang' given twice"),
                            (b"lang tr\n", "a space"), (b"x=" + b"7" * 600 + b"\n", "longer than 512"),
                            (b"lang=tr&banerid\n", "is not key=value")]:
            with self.subTest(reason=reason):
                result = release(self.write_list(b"lang=uk\n" + bad), self.out)
                self.assertNotEqual(0, result.returncode)
                self.assertIn("partner.txt:2:", result.stderr)
                self.assertIn(reason, result.stderr)
                self.assert_nothing_published()

        # Signed, but checked against a root that did not issue the certificate.
        other_root = os.path.join(h.SHIPPED_BUILD_DIR, "test_pki", "other_root.pem")
        result = release(self.write_list(b"lang=tr\n"), self.out, "--ca-file", other_root)
        self.assertNotEqual(0, result.returncode)
        self.assertIn("signature does not verify", result.stderr)
        self.assert_nothing_published()


if __name__ == "__main__":
    unittest.main()
