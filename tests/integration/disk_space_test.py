"""The free-space check on real volumes: a 50 MiB tmpfs mounted for the test
and made the user's local application-data folder or the program-files
folder of the test prefix, the build's own disk, and a folder that does not
exist. Needs root for the mount; the prefix's folders are restored after."""

import os
import shutil
import subprocess
import tempfile
import unittest

import lite_harness as h
import servers as s

USER_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
LOCAL_APPDATA = "Local AppData"
MACHINE_FOLDERS = r"HKLM\Software\Microsoft\Windows\CurrentVersion"
PROGRAM_FILES = "ProgramFilesDir"
REQUIRED = 419430400


def wine(*args):
    return h.run_wine(list(args), timeout=60)


def query(key, name):
    """(type, data) of a registry value of the prefix, or None."""
    output = wine("reg", "query", key, "/v", name).stdout.decode("utf-8", "replace")
    for line in output.splitlines():
        line = line.strip()
        if line.startswith(name + "    "):
            kind, data = line[len(name):].split(None, 1)
            return kind, data
    return None


def set_value(key, name, kind, data):
    """Sets a value of the prefix; Wine's reg.exe has been seen to fail once
    in a fresh session, so a failure is retried once before it is an error."""
    for _ in range(2):
        result = wine("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        if result.returncode == 0:
            return
    raise RuntimeError("cannot set %s\\%s: exit %d %r %r"
                       % (key, name, result.returncode, result.stdout, result.stderr))


def decide(*options):
    log = os.path.join(tempfile.gettempdir(), "lite-disk-space-%d.log" % os.getpid())
    if os.path.exists(log):
        os.remove(log)
    text = h.run_wine([h.program("disk_space_probe.exe"), *options, "--log", s.wine_path(log)],
                      timeout=60).stdout.decode()
    records = []
    if os.path.exists(log):
        with open(log, "rb") as f:
            records = [m for _, _, m in h.log_messages(f.read().decode("utf-16-le")[1:])]
        os.remove(log)
    return ("enough=1" in text, "enough=0" in text), records


@unittest.skipUnless(os.geteuid() == 0, "mounting a small volume needs root")
class DiskSpaceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.mount = tempfile.mkdtemp(prefix="lite-small-volume-")
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=50m", "tmpfs", cls.mount],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        if result.returncode != 0:
            os.rmdir(cls.mount)
            raise unittest.SkipTest("cannot mount a tmpfs: %r" % result.stderr)
        cls.saved = {(USER_FOLDERS, LOCAL_APPDATA): query(USER_FOLDERS, LOCAL_APPDATA),
                     (MACHINE_FOLDERS, PROGRAM_FILES): query(MACHINE_FOLDERS, PROGRAM_FILES)}
        for place, value in cls.saved.items():
            if value is None:
                cls.tearDownClass()
                raise unittest.SkipTest("the prefix has no %s" % place[1])

    @classmethod
    def tearDownClass(cls):
        for (key, name), value in cls.saved.items():
            if value is not None:
                set_value(key, name, value[0], value[1])
        subprocess.run(["umount", cls.mount], check=False)
        os.rmdir(cls.mount)

    def setUp(self):
        for (key, name), value in self.saved.items():
            set_value(key, name, value[0], value[1])

    def test_small_volume_is_not_enough_for_the_folder_in_use(self):
        small = os.path.join(self.mount, "Local")
        os.makedirs(small, exist_ok=True)
        set_value(USER_FOLDERS, LOCAL_APPDATA, "REG_EXPAND_SZ", s.wine_path(small))
        (enough, not_enough), records = decide()
        self.assertTrue(not_enough)
        self.assertEqual(["There is not enough disk space to install browser"], records)

        # The system-level decision looks at the program-files folder, which
        # is still on the build's disk.
        free = shutil.disk_usage(os.path.join(h.WINEPREFIX, "drive_c")).free
        (enough, not_enough), records = decide("--system")
        self.assertEqual(free >= REQUIRED, enough)
        if enough:
            self.assertEqual([], records, "enough space is not logged")

        set_value(MACHINE_FOLDERS, PROGRAM_FILES, "REG_SZ", s.wine_path(small))
        (enough, not_enough), records = decide("--system")
        self.assertTrue(not_enough)

    def test_undeterminable_folder_never_blocks(self):
        missing = os.path.join(self.mount, "does-not-exist")
        set_value(USER_FOLDERS, LOCAL_APPDATA, "REG_EXPAND_SZ", s.wine_path(missing))
        (enough, _), records = decide()
        self.assertTrue(enough)
        self.assertEqual(["SHGetFolderPath failed"], records)


def tearDownModule():
    s.wait_for_wineserver(h)


if __name__ == "__main__":
    unittest.main()
