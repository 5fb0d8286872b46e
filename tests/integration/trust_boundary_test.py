"""The trust boundary under attack, with the product itself:

- another process of the user tries to replace the downloaded package and a
  file handed to the setup while they are held for the check and the launch;
- DLLs planted beside the installer under every name it loads at run time,
  with Wine told to prefer them (as Windows always searches), on the silent
  and the windowed road, the silent one with a relative --browser-setup;
- crafted packages whose resource directory points outside the file or the
  image.

Every Wine process runs on one virtual display (the first process of a
session fixes the display of the later ones)."""

import glob
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import lite_harness as h
import servers

FIXTURES = os.path.join(h.BUILD_DIR, "trust_fixtures")
SETUP_PATH = "/browser/int/flash/browser-setup.arc"
SETUP_EXIT_CODE = 7  # given to the stand-in setup with --stand-in-exit-code
ATTACKER_EXIT_CODE = 23  # tests/trust/fixture_program.c
ATTACKER_PREFERENCES = b'{"attacker": true}'
SHARING_VIOLATION = 32
# Every DLL the installer loads at run time, and msimg32, which it no longer
# uses. Two names cannot be in the list under
# Wine, because Wine itself loads them from the program's folder while the
# process starts, before the program's first instruction, for any program:
# version.dll, which Wine's comctl32 imports (a planted copy without
# GetFileVersionInfoSizeW aborts the start), and uxtheme.dll, which Wine's
# user32 loads and unloads during its initialisation. The installer itself
# does not use version.dll, and loads uxtheme.dll from System32 as the first
# thing it does, before any control exists.
PLANTED = ["crypt32", "wintrust", "gdiplus", "riched20", "cabinet", "msimg32", "wininet"]
INSTALL_BUTTON = 1


def packages_left():
    return glob.glob(os.path.join(h.temp_dir(), "**", "kb*.tmp"), recursive=True)


def resource_data_entry(image, type_name, name):
    """File offset of the data entry of resource `name` of `type_name` (the
    first language) in a PE image, and the image's SizeOfImage."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    size_of_image = struct.unpack_from("<I", image, optional + 56)[0]
    # The data directories follow the optional header's fields: 96 bytes of
    # them in PE32, 112 in PE32+ (magic 0x20B).
    directories = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        _, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", image, table + 40 * i + 8)
        if virtual_address <= resource_rva < virtual_address + raw_size:
            root = raw_offset + resource_rva - virtual_address
            break
    else:
        raise ValueError("no resource section")

    def entry(directory, wanted):
        named, ids = struct.unpack_from("<HH", image, root + directory + 12)
        for k in range(named + ids):
            entry_name, value = struct.unpack_from("<II", image, root + directory + 16 + 8 * k)
            if wanted is None:
                return value
            if entry_name & 0x80000000:
                at = root + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", image, at)[0]
                if image[at + 2:at + 2 + 2 * length].decode("utf-16-le") == wanted:
                    return value
        raise KeyError(wanted)

    names = entry(0, type_name) & 0x7FFFFFFF
    languages = entry(names, name) & 0x7FFFFFFF
    return root + entry(languages, None), size_of_image


class TrustBoundaryTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="lite-boundary-")
        h.end_wine_session()
        cls.display = h.VirtualDisplay().__enter__()
        cls.ca = servers.install_test_ca(h)
        # The stand-in setup signed like a real package for this build; it
        # records its command line and the bytes of the files it was handed.
        cls.package_path = os.path.join(cls.work, "trusted_setup.exe")
        subprocess.run([os.path.join(h.SOURCE_DIR, "tools", "signing", "make_demo_package.sh"),
                        h.program("stand_in_setup.exe"), cls.package_path, h.BUILD_DIR],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300,
                       env=h.wine_env(cls.display.env()))
        with open(cls.package_path, "rb") as f:
            cls.package = f.read()
        cls.record_path = os.path.join(cls.work, "record.json")

    @classmethod
    def tearDownClass(cls):
        cls.display.__exit__(None, None, None)
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        h.clear_log()
        if os.path.exists(self.record_path):
            os.remove(self.record_path)
        self.stats = servers.FaultServer(tls=self.ca).start()
        self.stats.route_otherwise(servers.Response(b"ok"))
        self.clicks = servers.FaultServer().start()
        self.clicks.route_otherwise(servers.Response(b"ok"))
        self.download = servers.FaultServer().start()

    def tearDown(self):
        for server in (self.stats, self.clicks, self.download):
            server.stop()

    def installer(self):
        """The test program; LITE_TEST_DOWNLOAD_HOST (env) moves its default
        brand's download to this test's server."""
        return h.program("lite_installer_test.exe")

    def env(self, **extra):
        env = dict(self.display.env())
        env.update({"LITE_TEST_DOWNLOAD_HOST": self.download.host(), "LITE_TEST_STATS_HOST": self.stats.host(),
                    "LITE_TEST_CLICK_STATS_HOST": self.clicks.host(), "LITE_TEST_LEGAL_HOST": "legal.test",
                    "LITE_STAND_IN_RECORD": servers.wine_path(self.record_path)})
        env.update(extra)
        return env

    def record(self):
        import json
        with open(self.record_path, encoding="utf-8") as f:
            return json.load(f)

    def wait_for_record(self, prefix, timeout=90):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if os.path.exists(h.log_path()):
                for _, _, message in h.log_messages():
                    if message.startswith(prefix):
                        return message[len(prefix):]
            time.sleep(0.05)
        self.fail("no %r record: %s" % (prefix, h.log_messages()))

    def messages(self):
        return [m for _, _, m in h.log_messages()]

    def test_package_and_handed_file_cannot_be_swapped_between_check_and_launch(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        attacker_preferences = os.path.join(self.work, "preferences.json")
        with open(attacker_preferences, "wb") as f:
            f.write(ATTACKER_PREFERENCES)
        # The windowed road holds the downloaded package, with the same handle
        # through the check to the launch, while it waits for the install
        # click: the swap comes in that wait, then the click.
        installer = h.start_windows_with_exit_code(self.installer(),
                                                   ["--do-not-launch-browser",
                                                    "--stand-in-exit-code=%d" % SETUP_EXIT_CODE],
                                                   env=self.env())
        try:
            package = self.wait_for_record("Module downloaded: ")
            preferences = package.rsplit("\\", 1)[0] + "\\master_preferences"
            swap = h.run_windows(h.program("swap_file.exe"),
                                 [servers.wine_path(os.path.join(FIXTURES, "unsigned.exe")), package,
                                  servers.wine_path(attacker_preferences), preferences], env=self.display.env())
            checked_before_swap = any(m.startswith("Verification succeeded: ") for m in self.messages())
            driver = h.UiDriver(self.display.env())
            self.assertTrue(driver.click(driver.find("name:lite_installer_test.exe", "#32770", 30000), INSTALL_BUTTON))
            code = h.exit_code_of(installer, timeout=120)
        finally:
            if installer.poll() is None:
                installer.kill()
        self.assertFalse(checked_before_swap, "the swap came too late to test anything")
        lines = swap.stdout.decode().splitlines()
        for target in (package, preferences):
            self.assertIn("%s copy=0 copy_error=%d delete=0 delete_error=%d"
                          % (target, SHARING_VIOLATION, SHARING_VIOLATION), lines)
        self.assertEqual(0, swap.returncode)
        # The genuine setup ran, from the verified file, with the genuine
        # preferences.
        self.assertEqual(SETUP_EXIT_CODE, code)
        record = self.record()
        self.assertEqual(package, record["program"])
        self.assertEqual(preferences, record["switches"]["installerdata"])
        handed = bytes.fromhex(record["files"]["installerdata"]["content_hex"])
        with open(os.path.join(h.SOURCE_DIR, "resources", "initial_preferences.json"), "rb") as f:
            self.assertEqual(f.read(), handed)
        # The run's folder is new and private to the run; the package is gone.
        self.assertRegex(package.rsplit("\\", 2)[1], r"^lite-[0-9a-f]{32}$")
        self.assertEqual([], packages_left())

    def run_planted(self, args, windowed):
        """Runs a copy of the installer from a folder holding a marker DLL
        under every planted name, with Wine preferring those copies; returns
        the exit code and the markers left."""
        folder = os.path.join(self.work, "downloads")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name in PLANTED:
            shutil.copy(os.path.join(FIXTURES, "library.dll"), os.path.join(folder, name + ".dll"))
        shutil.copy(self.installer(), folder)
        shutil.copy(h.program("load_by_name.exe"), folder)
        env = h.wine_env(self.env(WINEDLLOVERRIDES="mscoree,mshtml=;%s=n,b" % ",".join(PLANTED)))
        # The control: a program loading by bare name finds the planted copies.
        control = subprocess.run([h.WINE, os.path.join(folder, "load_by_name.exe"), "riched20.dll"], env=env,
                                 capture_output=True, timeout=60, cwd=folder)
        self.assertIn(b"riched20.dll loaded=1", control.stdout)
        self.assertTrue(os.path.exists(os.path.join(folder, "riched20.dll.ran")))
        for marker in glob.glob(os.path.join(folder, "*.ran")):
            os.remove(marker)

        # A relative --browser-setup is resolved against the current folder
        # (the work folder); a decoy of the same name waits beside the exe.
        shutil.copy(os.path.join(FIXTURES, "unsigned.exe"), os.path.join(folder, "setup.exe"))
        shutil.copy(self.package_path, os.path.join(self.work, "setup.exe"))
        process = subprocess.Popen([h.WINE, h.program("exit_code_runner.exe"),
                                    os.path.join(folder, "lite_installer_test.exe"), *args], env=env,
                                   cwd=self.work, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            if windowed:
                driver = h.UiDriver(self.display.env())
                hwnd = driver.find("name:lite_installer_test.exe", "#32770", 60000)
                self.assertIsNotNone(hwnd, "no installer window")
                time.sleep(0.7)
                self.assertTrue(driver.click(hwnd, INSTALL_BUTTON))
            code = h.exit_code_of(process, timeout=120)
        finally:
            if process.poll() is None:
                process.kill()
                h.end_wine_session(timeout=1)
        return code, sorted(os.path.basename(p) for p in glob.glob(os.path.join(folder, "*.ran")))

    def test_planted_dlls_stay_unloaded_on_both_roads(self):
        setup = servers.wine_path(os.path.join(self.work, "setup.exe"))
        for road, windowed, args in [
                ("silent", False, ["--silent", "--browser-setup=setup.exe"]),
                ("windowed", True, ["--browser-setup=setup.exe", "--do-not-launch-browser"])]:
            with self.subTest(road=road):
                h.clear_log()
                code, markers = self.run_planted(args + ["--stand-in-exit-code=%d" % SETUP_EXIT_CODE], windowed)
                self.assertEqual([], markers)
                self.assertEqual(SETUP_EXIT_CODE, code, self.messages())
                self.assertIn("Pre-downloaded module: " + setup, self.messages())
                self.assertIn("Verification succeeded: " + setup, self.messages())
                self.assertEqual(setup, self.record()["program"])

    def test_crafted_packages_end_with_402_and_leave_nothing(self):
        image = bytearray(self.package)
        signature_entry, _ = resource_data_entry(image, "SIGNATURE_DAT", "SIGNATURE.DAT")
        too_big = bytearray(image)
        struct.pack_into("<I", too_big, signature_entry + 4, 16 * 1024 * 1024)
        description_entry, size_of_image = resource_data_entry(image, "TRUSTED_JSON", "TRUSTED.JSON")
        outside = bytearray(image)
        struct.pack_into("<I", outside, description_entry, size_of_image + 0x1000)
        cases = [("size beyond the file", bytes(too_big), "Cannot find resource SIGNATURE_DAT"),
                 ("offset beyond the image", bytes(outside), "Cannot find resource TRUSTED_JSON")]
        for name, package, record in cases:
            with self.subTest(case=name):
                h.clear_log()
                self.download.route(SETUP_PATH, servers.Response(package))
                result = h.run_windows(self.installer(), ["--silent"], env=self.env())
                self.assertEqual(402, result.returncode)
                records = h.log_messages()
                self.assertIn(("ERROR", "KorvexTrustVerifier::GetTrustJsonFromModule"),
                              [(level, f) for level, f, m in records if m.startswith(record)])
                self.assertTrue(any(m.startswith("Module verification failed: ") for _, _, m in records))
                self.assertIn("Installer exit with code: 402", [m for _, _, m in records])
                self.assertFalse(os.path.exists(self.record_path))
                self.assertEqual([], packages_left())


if __name__ == "__main__":
    unittest.main()
