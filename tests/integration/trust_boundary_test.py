"""The trust boundary under attack, with the product itself:

- another process of the user tries to replace the downloaded package and a
  file handed to the setup while they are held for the check and the launch,
  retargets a folder link after the check, or creates the handed files first;
- DLLs planted beside the installer under every name it loads at run time,
  with Wine told to prefer them (as Windows always searches), on the silent
  and the windowed road, the silent one with a relative --browser-setup;
- crafted packages whose resource directory points outside the file or the
  image.

Every Wine process runs on one virtual display (the first process of a
session fixes the display of the later ones)."""

import contextlib
import glob
import os
import shutil
import struct
import subprocess
import tempfile
import threading
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
# Every DLL the installer loads at run time, msimg32, which it no longer
# uses, and the two that wintrust delay-loads by name (Wine takes those from
# the program's folder unless the installer loaded them first). Two names
# cannot be in the list under Wine, because Wine itself loads them from the
# program's folder while the process starts, before the program's first
# instruction, for any program:
# version.dll, which Wine's comctl32 imports (a planted copy without
# GetFileVersionInfoSizeW aborts the start), and uxtheme.dll, which Wine's
# user32 loads and unloads during its initialisation. The installer itself
# does not use version.dll, and loads uxtheme.dll from System32 as the first
# thing it does, before any control exists.
PLANTED = ["crypt32", "wintrust", "gdiplus", "riched20", "cabinet", "msimg32", "wininet", "imagehlp", "dbghelp",
           "windowscodecs", "propsys"]
INSTALL_BUTTON = 1
REGISTRY_KEY = r"HKCU\Software\Korvex\KorvexBrowser"
RUN_FILE_VALUES = ("InstallerData", "ClidsFile", "BrandFile", "PartnerFile")
HANDED_NAMES = ("master_preferences", "clids.xml", "BrandFile", "PartnerFile", "distrib_info")


def packages_left():
    return glob.glob(os.path.join(h.temp_dir(), "**", "kb*.tmp"), recursive=True)


def run_folders():
    return set(glob.glob(os.path.join(h.temp_dir(), "lite-*")))


def run_file_values(env):
    """The registry values of the browser's key that name a run's file."""
    result = h.run_wine(["reg", "query", REGISTRY_KEY], env)
    names = [line.split()[0] for line in result.stdout.decode(errors="replace").splitlines() if line.strip()]
    return [n for n in names if n in RUN_FILE_VALUES]


def plant_handed_files(stop, planted):
    """Another process of the user: creates the handed files first in every
    new run folder, as soon as it sees one."""
    seen = run_folders()
    while not stop.is_set():
        for folder in run_folders() - seen:
            seen.add(folder)
            for name in HANDED_NAMES:
                with contextlib.suppress(OSError), open(os.path.join(folder, name), "xb") as f:
                    f.write(ATTACKER_PREFERENCES)
                    planted.append(name)


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
        h.make_demo_package(cls.package_path, h.wine_env(cls.display.env()))
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
                    "LITE_STAND_IN_RECORD": servers.wine_path(self.record_path),
                    "LITE_TEST_KEEP_RUN_FOLDER": "0"})
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
        # click: the package's swap comes in that wait. The handed files are
        # written after the click and held until the setup ends: their swap
        # comes while the setup runs.
        installer = h.start_windows_with_exit_code(self.installer(),
                                                   ["--do-not-launch-browser", "--stand-in-sleep-ms=3000",
                                                    "--stand-in-exit-code=%d" % SETUP_EXIT_CODE],
                                                   env=self.env())
        try:
            package = self.wait_for_record("Module downloaded: ")
            preferences = package.rsplit("\\", 1)[0] + "\\master_preferences"
            self.assertFalse(os.path.exists(os.path.join(h.latest_run_folder(), "master_preferences")))
            swap = h.run_windows(h.program("swap_file.exe"),
                                 [servers.wine_path(os.path.join(FIXTURES, "unsigned.exe")), package],
                                 env=self.display.env())
            checked_before_swap = any(m.startswith("Verification succeeded: ") for m in self.messages())
            driver = h.UiDriver(self.display.env())
            self.assertTrue(driver.click(driver.find("name:lite_installer_test.exe", "#32770", 30000), INSTALL_BUTTON))
            self.wait_for_record("Process created: ")
            swap_handed = h.run_windows(h.program("swap_file.exe"), [servers.wine_path(attacker_preferences),
                                                                    preferences], env=self.display.env())
            code = h.exit_code_of(installer, timeout=120)
        finally:
            if installer.poll() is None:
                installer.kill()
        self.assertFalse(checked_before_swap, "the swap came too late to test anything")
        for target, result in ((package, swap), (preferences, swap_handed)):
            self.assertIn("%s copy=0 copy_error=%d delete=0 delete_error=%d"
                          % (target, SHARING_VIOLATION, SHARING_VIOLATION), result.stdout.decode().splitlines())
            self.assertEqual(0, result.returncode)
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

    def test_retargeted_folder_link_runs_only_the_verified_file_in_the_run_folder(self):
        """A --browser-setup through a folder link: once the windowed road
        holds the package and waits for the install click, the link is
        pointed at a folder holding an unsigned program of the same name. The
        setup starts in the run's folder, not the installer's."""
        real, evil, link = (os.path.join(self.work, n) for n in ("real", "evil", "link"))
        for folder, program in ((real, self.package_path), (evil, os.path.join(FIXTURES, "unsigned.exe"))):
            os.makedirs(folder)
            shutil.copy(program, os.path.join(folder, "setup.exe"))
        os.symlink(real, link)
        folders_before = run_folders()
        installer = h.start_windows_with_exit_code(
            self.installer(), ["--do-not-launch-browser", "--stand-in-exit-code=%d" % SETUP_EXIT_CODE,
                               "--browser-setup=" + servers.wine_path(os.path.join(link, "setup.exe"))],
            env=self.env())
        try:
            self.wait_for_record("Pre-downloaded module: ")
            driver = h.UiDriver(self.display.env())
            window = driver.find("name:lite_installer_test.exe", "#32770", 30000)
            os.remove(link)
            os.symlink(evil, link)
            self.assertTrue(driver.click(window, INSTALL_BUTTON))
            code = h.exit_code_of(installer, timeout=120)
        finally:
            if installer.poll() is None:
                installer.kill()
        self.assertEqual(SETUP_EXIT_CODE, code, self.messages())
        record = self.record()
        self.assertEqual(servers.wine_path(os.path.join(real, "setup.exe")).lower(), record["program"].lower())
        folder = record["current_folder"].rstrip("\\")
        self.assertRegex(folder.rsplit("\\", 1)[1], r"^lite-[0-9a-f]{32}$")
        # Nothing of the run is left: no folder, no value naming its files.
        self.assertEqual(set(), run_folders() - folders_before)
        self.assertEqual([], run_file_values(self.env()))

    def test_files_created_first_never_reach_the_setup(self):
        self.download.route(SETUP_PATH, servers.Response(self.package))
        stop, planted = threading.Event(), []
        planter = threading.Thread(target=plant_handed_files, args=(stop, planted))
        planter.start()
        try:
            result = h.run_windows(self.installer(), ["--silent", "--stand-in-exit-code=%d" % SETUP_EXIT_CODE],
                                   env=self.env())
        finally:
            stop.set()
            planter.join()
        self.assertTrue(planted, "the planter never saw the run folder")
        if result.returncode == 404:
            self.assertTrue(any(level == "ERROR" and m.startswith("Cannot create the file new: ")
                                for level, _, m in h.log_messages()), self.messages())
            self.assertFalse(os.path.exists(self.record_path))
        else:
            # The planter lost every race: the setup got the files the run wrote.
            self.assertEqual(SETUP_EXIT_CODE, result.returncode, self.messages())
            for content in self.record()["files"].values():
                self.assertNotEqual(ATTACKER_PREFERENCES.hex(), content.get("content_hex"))
        self.assertEqual([], run_file_values(self.env()))

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
                self.assertEqual([], run_file_values(self.env()))


if __name__ == "__main__":
    unittest.main()
