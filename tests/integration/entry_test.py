"""The installer program's entry under Wine: run modes, the log it writes and
its exit codes, for any command line."""

import os
import re
import unittest

import lite_harness as h


class EntryTest(unittest.TestCase):
    def setUp(self):
        self.exe = h.program("lite_installer.exe")
        h.clear_log()
        # Silent runs are handed an unsigned package: no download is tried,
        # the trust check refuses it and the run ends with 402.
        self.module = os.path.join(h.temp_dir(), "entry_test_unsigned_setup.exe")
        with open(self.module, "wb") as f:
            f.write(b"MZ not a signed setup")
        self.given_module = "--browser-setup=" + h.windows_path(self.module)

    def test_silent_run_writes_the_documented_records(self):
        result = h.run_windows(self.exe, ["--silent", self.given_module])
        self.assertEqual(402, result.returncode)
        data = h.read_log_bytes()
        self.assertEqual(b"\xff\xfe", data[:2])
        text = h.read_log()
        self.assertNotIn("\ufeff", text)
        lines = text.split("\n")
        layout = r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} <\d+> INFO: wWinMain \(\d+\): "
        expected = [
            re.escape("-------------------------------------- Start install."),
            re.escape("Lite installer mode."),
            r"Temporary path is: C:\\users\\[^\\]+\\Temp\\",
            re.escape("Installing in silent mode."),
            re.escape("Installer exit with code: 402"),
        ]
        wwinmain = [line for line in lines if " wWinMain (" in line]
        self.assertEqual(len(expected), len(wwinmain), text)
        for pattern, line in zip(expected, wwinmain):
            self.assertRegex(line, layout + pattern + "$")
        self.assertTrue(text.endswith("\n"))

    def test_every_silent_spelling_takes_the_silent_road(self):
        for argument in ["-silent", "/silent", "--SILENT", "--semi-silent"]:
            with self.subTest(argument=argument):
                h.clear_log()
                result = h.run_windows(self.exe, [argument, self.given_module])
                self.assertEqual(402, result.returncode)
                messages = [m for _, _, m in h.log_messages()]
                self.assertIn("Installing in silent mode.", messages)

    def test_windowed_road_closed_by_the_user_counts_as_cancelled(self):
        # The display is fixed by the first Wine process of a session: end the
        # session that the silent runs may have left.
        h.end_wine_session()
        with h.VirtualDisplay() as display:
            process = h.start_windows_with_exit_code(self.exe, [], env={"DISPLAY": display.display()})
            driver = h.UiDriver(display.env())
            hwnd = driver.find("name:" + os.path.basename(self.exe), "#32770", 60000)
            if hwnd is None:
                process.kill()
            self.assertIsNotNone(hwnd)
            driver.send(hwnd, 0x0112, 0xF060, 0)  # WM_SYSCOMMAND SC_CLOSE, as Alt+F4
            returncode = h.exit_code_of(process, 120)
        self.assertEqual(500, returncode)
        messages = [m for _, _, m in h.log_messages()]
        self.assertNotIn("Installing in silent mode.", messages)
        self.assertEqual(["User cancelled installation.", "Installer exit with code: 500"],
                         messages[-2:])

    def test_hostile_command_lines_never_crash(self):
        arguments = [
            # Close to the 32,767-character limit of a Windows command line.
            ["--silent", "--brand-name=" + "x" * 32000],
            ["--silent", "--=", "-", "/", "--", "\"", "--a=\"b c\"\\"],
            ["--silent", "--distr-info-params=\u00e9\u65e5=\u0000"[:-1], "--\u3000"],
        ]
        for index, args in enumerate(arguments):
            with self.subTest(case=index):
                h.clear_log()
                result = h.run_windows(self.exe, args + [self.given_module])
                self.assertEqual(402, result.returncode)
                # "--=", "-", "/", "--" and "--" with a wide blank (trimmed)
                # name nothing: each is dropped, with a WARNING.
                empty = [m for level, _, m in h.log_messages() if level == "WARNING" and "its name is empty" in m]
                self.assertEqual({1: 4, 2: 1}.get(index, 0), len(empty), empty)

    def test_an_unopenable_log_is_skipped_without_failing_the_run(self):
        os.makedirs(h.log_path())  # a folder where the file should be
        try:
            result = h.run_windows(self.exe, ["--silent", self.given_module])
            self.assertEqual(402, result.returncode)
        finally:
            h.clear_log()


if __name__ == "__main__":
    unittest.main(verbosity=2)
