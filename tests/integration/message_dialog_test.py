"""The message dialogs on a live window under Xvfb with a compositor: their
geometry, texts in several languages, results and keys, the disk-space notice
of the windowed road on a really small volume, and both checkbox paths.
Screenshots land in <build>/screenshots/."""

import os
import subprocess
import tempfile
import time
import unittest

import lite_harness as h

WS_CAPTION = 0x00C00000
WS_POPUP = 0x80000000
WM_CLOSE = 0x0010
VK_ESCAPE = 27

STRINGS = {
    1033: {401: "An error occurred during installation",
           414: "Try to download the installation file and\nrepeat the installation manually.",
           412: "Download", 420: "Cancel",
           407: "Insufficient disk space to\ninstall Korvex Browser",
           402: "Free up at least 400 MB and try again.", 403: "OK"},
    1031: {401: "Bei der Installation ist ein Fehler aufgetreten", 412: "Herunterladen",
           420: "Abbrechen", 403: "OK",
           407: "Nicht genügend Speicherplatz für\ndie Installation von Korvex Browser",
           402: "Geben Sie mindestens 400 MB frei und versuchen Sie es erneut."},
    1049: {401: "Во время установки произошла ошибка", 412: "Скачать", 420: "Отмена",
           407: "Недостаточно места на диске\nдля установки Korvex Browser",
           402: "Освободите не менее 400 МБ и повторите попытку.", 403: "ОК"},
    1041: {401: "インストール中にエラーが発生しました", 412: "ダウンロード", 420: "キャンセル",
           407: "ディスクの空き容量が不足しているため\nKorvex Browser をインストールできません",
           402: "400 MB 以上の空き容量を確保して、もう一度お試しください。", 403: "OK"},
}
CODES = {1033: "en", 1031: "de", 1049: "ru", 1041: "ja"}


class DialogSession:
    """One message_dialog_runner.exe with its dialog found."""

    def __init__(self, display, args, window_class="#32770"):
        self.driver = h.UiDriver(display.env())
        self.process = h.start_windows(h.program("message_dialog_runner.exe"), args,
                                       env=display.env())
        self.dpi = int(h.read_line_with(self.process, "dpi="))
        pid = h.read_line_with(self.process, "pid=")
        self.hwnd = self.driver.find(pid, window_class)
        if self.hwnd is None:
            self.process.kill()
            raise AssertionError("no window for %r" % (args,))
        # Let the first paint and the shadow settle before reading pixels.
        time.sleep(0.5)

    def result(self):
        return int(h.read_line_with(self.process, "result="))

    def output(self, timeout=30):
        out, _ = self.process.communicate(timeout=timeout)
        return (getattr(self.process, "lite_buffer", b"") + out).decode("utf-8", "replace")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class MessageDialogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.display = h.VirtualDisplay().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.display.__exit__(None, None, None)

    def assert_layout(self, session, notice):
        items = session.driver.dump(session.hwnd)
        window, controls = items[0], {c["id"]: c for c in items[1:]}
        self.assertEqual((400, 176), (window["client_width"], window["client_height"]))
        self.assertEqual(0, window["style"] & WS_CAPTION)
        self.assertTrue(window["style"] & WS_POPUP)
        rect = lambda c: (c["left"], c["top"], c["right"], c["bottom"])
        self.assertEqual((40, 30, 370, 78), rect(controls[1000]))
        self.assertEqual((40, 78, 370, 128), rect(controls[-1]))
        self.assertEqual((40, 128, 160, 156), rect(controls[1]))
        self.assertEqual((170, 128, 290, 156), rect(controls[1010]))
        self.assertEqual(1, controls[1]["visible"])
        self.assertEqual(0 if notice else 1, controls[1010]["visible"])
        # Centred on the 1280 x 900 screen's work area.
        self.assertLessEqual(abs((window["left"] + window["right"]) / 2 - 640), 1)
        return controls

    def test_error_dialog_geometry_escape_and_cancel(self):
        session = DialogSession(self.display, ["error", "1033", "http://example.invalid/full"])
        try:
            controls = self.assert_layout(session, notice=False)
            texts = STRINGS[1033]
            self.assertEqual(texts[401], controls[1000]["text"])
            self.assertEqual(texts[414], controls[-1]["text"])
            self.assertEqual(texts[412], controls[1]["text"])
            self.assertEqual(texts[420], controls[1010]["text"])
            shot = h.screenshot_path("error_dialog_en")
            self.display.screenshot(shot)
            # The layered shadow really composites: darker just below the
            # dialog than on the bare screen further down, and the panel white.
            window = session.driver.dump(session.hwnd)[0]
            centre = (window["left"] + window["right"]) // 2
            below = self.display.pixel(shot, centre, window["bottom"] + 2)
            bare = self.display.pixel(shot, centre, window["bottom"] + 40)
            self.assertLess(sum(below) + 20, sum(bare))
            self.assertEqual((255, 255, 255), self.display.pixel(shot, centre, window["top"] + 10))
            # Escape does not close a message dialog.
            self.assertTrue(session.driver.key(session.hwnd, VK_ESCAPE))
            self.assertFalse(session.driver.gone(session.hwnd, 1500))
            self.assertTrue(session.driver.click(session.hwnd, 1010))
            self.assertEqual(1010, session.result())
        finally:
            session.close()

    def test_download_opens_the_address_with_the_shell_and_ends_with_1(self):
        # A URL scheme of the test prefix whose handler records the address.
        record_dir = tempfile.mkdtemp(prefix="lite_open_")
        record = os.path.join(record_dir, "opened.log")
        peer = "Z:" + h.program("log_peer.exe").replace("/", "\\")
        target = "Z:" + record.replace("/", "\\")
        key = r"HKCR\litetestopen"
        reg = lambda *args: h.wine_reg(*args, env=self.display.env())
        reg("add", key, "/ve", "/d", "URL:lite test", "/f")
        reg("add", key, "/v", "URL Protocol", "/d", "", "/f")
        reg("add", key + r"\shell\open\command", "/ve", "/d",
            '"%s" write "%s" 1 "%%1"' % (peer, target), "/f")
        session = DialogSession(self.display, ["error", "1049", "litetestopen://download/page"])
        try:
            controls = session.driver.controls(session.hwnd)
            self.assertEqual(STRINGS[1049][412], controls[1]["text"])
            self.assertTrue(session.driver.click(session.hwnd, 1))
            self.assertEqual(1, session.result())
            deadline = time.time() + 20
            while not os.path.exists(record) and time.time() < deadline:
                time.sleep(0.2)
            with open(record, "rb") as f:
                text = f.read().decode("utf-16-le", "replace")
            self.assertIn("litetestopen://download/page", text)
        finally:
            session.close()
            reg("delete", key, "/f")

    def test_notice_hides_cancel_and_ends_with_ok(self):
        session = DialogSession(self.display, ["notice", "1033", "407", "402", "403"])
        try:
            controls = self.assert_layout(session, notice=True)
            self.assertEqual(STRINGS[1033][407], controls[1000]["text"])
            self.assertEqual(STRINGS[1033][402], controls[-1]["text"])
            self.assertEqual("OK", controls[1]["text"])
            self.assertTrue(session.driver.key(session.hwnd, VK_ESCAPE))
            self.assertFalse(session.driver.gone(session.hwnd, 1000))
            self.assertTrue(session.driver.click(session.hwnd, 1))
            self.assertEqual(1, session.result())
        finally:
            session.close()

    def test_120_dpi_screen_keeps_images_fonts_and_layout(self):
        key = r"HKCU\Control Panel\Desktop"
        h.wine_reg("add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "120", "/f",
                   env=self.display.env())
        try:
            session = DialogSession(self.display, ["notice", "1033", "407", "402", "403"])
            try:
                self.assertEqual(120, session.dpi)
                # No twin images exist: buttons keep the 120 x 28 frames of
                # scale 1, and the fixed layout is unchanged.
                self.assert_layout(session, notice=True)
                self.display.screenshot(h.screenshot_path("notice_120dpi_en"))
                self.assertTrue(session.driver.click(session.hwnd, 1))
                self.assertEqual(1, session.result())
            finally:
                session.close()
        finally:
            h.wine_reg("delete", key, "/v", "LogPixels", "/f", env=self.display.env())

    def test_error_dialog_in_german_russian_and_japanese(self):
        for language in (1031, 1049, 1041):
            with self.subTest(language=language):
                session = DialogSession(self.display, ["error", str(language), "http://x.invalid/"])
                try:
                    controls = self.assert_layout(session, notice=False)
                    texts = STRINGS[language]
                    self.assertEqual(texts[401], controls[1000]["text"])
                    self.assertEqual(texts[412], controls[1]["text"])
                    self.assertEqual(texts[420], controls[1010]["text"])
                    self.display.screenshot(h.screenshot_path("error_dialog_" + CODES[language]))
                    self.assertTrue(session.driver.click(session.hwnd, 1010))
                    self.assertEqual(1010, session.result())
                finally:
                    session.close()

    def check_link_text(self, pieces, expected_text):
        self.assertEqual(expected_text.replace("((", "").replace("))", ""),
                         "".join(p["text"] for p in pieces))
        link = expected_text.split("((")[1].split("))")[0]
        self.assertEqual([link], [p["text"] for p in pieces if p["id"] == 1020])
        lines = {}
        for piece in pieces:
            self.assertEqual(17, piece["bottom"] - piece["top"])
            self.assertEqual(0, (piece["top"] - 56) % 17)
            lines.setdefault(piece["top"], []).append(piece)
        self.assertGreaterEqual(len(lines), 2)
        for row in lines.values():
            self.assertEqual(180, row[0]["left"])
            for previous, piece in zip(row, row[1:]):
                self.assertEqual(previous["right"], piece["left"])
            if len(row) > 1:
                self.assertLessEqual(row[-1]["right"], 180 + 360)

    def test_link_text_and_progress_bar_on_a_live_window(self):
        english = ("By using Korvex browser, you agree to the terms and conditions of the "
                   "((License Agreement)).")
        session = DialogSession(self.display, ["welcome", "1033", "50"],
                                window_class="LiteWelcomeBench")
        try:
            items = session.driver.dump(session.hwnd)
            window = items[0]
            self.assertEqual((648, 254), (window["client_width"], window["client_height"]))
            self.check_link_text([c for c in items[1:] if c["class"] == "Static"], english)
            shot = h.screenshot_path("welcome_pieces_en")
            self.display.screenshot(shot)
            # 50 % of a 130-pixel bar: 65 pixels of fill, then the track.
            x, y = window["left"] + 180, window["top"] + 185
            for offset in (3, 30, 63):
                r, g, b = self.display.pixel(shot, x + offset, y)
                self.assertTrue(r > 200 and b < 100, (offset, r, g, b))
            for offset in (66, 100, 126):
                r, g, b = self.display.pixel(shot, x + offset, y)
                self.assertTrue(abs(r - b) < 20 and r > 180, (offset, r, g, b))
            # A click on the link is command 1020 with notification 0.
            self.assertTrue(session.driver.mouse(session.hwnd, 1020))
            deadline = time.time() + 5
            while time.time() < deadline:
                if session.driver.dump(session.hwnd)[0]["text"].endswith("=1"):
                    break
                time.sleep(0.1)
            session.driver.send(session.hwnd, WM_CLOSE)
            self.assertIn("link_clicks=1", session.output())
        finally:
            session.close()

    def test_german_link_text_and_empty_progress_bar(self):
        german = ("Durch die Nutzung des Korvex Browsers stimmen Sie den Bedingungen der "
                  "((Lizenzvereinbarung)) zu.")
        session = DialogSession(self.display, ["welcome", "1031", "0"],
                                window_class="LiteWelcomeBench")
        try:
            items = session.driver.dump(session.hwnd)
            self.check_link_text([c for c in items[1:] if c["class"] == "Static"], german)
            shot = h.screenshot_path("welcome_pieces_de")
            self.display.screenshot(shot)
            r, g, b = self.display.pixel(shot, items[0]["left"] + 183, items[0]["top"] + 185)
            self.assertTrue(abs(r - b) < 20 and r > 180, (r, g, b))
            session.driver.send(session.hwnd, WM_CLOSE)
        finally:
            session.close()

    def run_checkbox_bench(self, themed):
        h.set_theme_active(themed, self.display.env())
        session = DialogSession(self.display, ["checkbox", "0"], window_class="LiteCheckboxBench")
        try:
            before = session.driver.dump(session.hwnd)
            self.assertEqual("checkbox-bench checked=0", before[0]["text"])
            box = {c["id"]: c for c in before[1:]}[1001]
            owner_drawn = (box["style"] & 0xF) == 0xB  # BS_OWNERDRAW
            self.assertEqual(not themed, owner_drawn)
            self.assertTrue(session.driver.click(session.hwnd, 1001))
            deadline = time.time() + 5
            title = ""
            while time.time() < deadline:
                title = session.driver.dump(session.hwnd)[0]["text"]
                if title.endswith("=1"):
                    break
                time.sleep(0.1)
            self.assertEqual("checkbox-bench checked=1", title)
            self.display.screenshot(h.screenshot_path(
                "checkbox_" + ("themed" if themed else "unthemed")))
            session.driver.send(session.hwnd, WM_CLOSE)
            out = session.output()
        finally:
            session.close()
        counters = dict(item.split("=") for item in out.split() if "=" in item)
        return counters

    def test_checkbox_themed_and_unthemed_paths(self):
        try:
            themed = self.run_checkbox_bench(True)
            self.assertEqual("0", themed["unthemed"])
            self.assertGreater(int(themed["custom_draw"]), 0)
            self.assertEqual("0", themed["draw_item"])
            self.assertEqual("1", themed["checked"])
            unthemed = self.run_checkbox_bench(False)
            self.assertEqual("1", unthemed["unthemed"])
            self.assertGreater(int(unthemed["draw_item"]), 0)
            self.assertEqual("0", unthemed["custom_draw"])
            # The painter's own state followed the click.
            self.assertEqual("1", unthemed["checked"])
        finally:
            h.set_theme_active(True, self.display.env())


@unittest.skipUnless(os.geteuid() == 0, "mounting a small volume needs root")
class DiskSpaceNoticeTest(unittest.TestCase):
    """The windowed road on a 50 MB volume: the notice, then exit code 403."""

    @classmethod
    def setUpClass(cls):
        # The user's folder is the one that holds the temporary folder.
        cls.local = os.path.join(os.path.dirname(h.temp_dir()), "AppData", "Local")
        os.makedirs(cls.local, exist_ok=True)
        cls.saved = cls.local + ".lite-saved"
        os.rename(cls.local, cls.saved)
        cls.display = None
        try:
            cls.display = h.VirtualDisplay().__enter__()
            os.makedirs(cls.local)
            subprocess.run(["mount", "-t", "tmpfs", "-o", "size=50m", "tmpfs", cls.local],
                           check=True)
        except Exception:
            # tearDownClass does not run after a failed set-up: restore here.
            if os.path.isdir(cls.local):
                os.rmdir(cls.local)
            os.rename(cls.saved, cls.local)
            if cls.display is not None:
                cls.display.__exit__(None, None, None)
            raise

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["umount", cls.local], check=False)
        os.rmdir(cls.local)
        os.rename(cls.saved, cls.local)
        cls.display.__exit__(None, None, None)

    def run_notice(self, language, env_extra=None, args=()):
        h.clear_log()
        env = dict(self.display.env())
        env.update(env_extra or {})
        exe = h.program("lite_installer_test.exe")
        process = h.start_windows_with_exit_code(exe, list(args), env=env)
        driver = h.UiDriver(env)
        hwnd = driver.find("name:lite_installer_test.exe", "#32770", 30000)
        try:
            self.assertIsNotNone(hwnd)
            time.sleep(0.5)
            items = driver.dump(hwnd)
            controls = {c["id"]: c for c in items[1:]}
            self.assertEqual((400, 176), (items[0]["client_width"], items[0]["client_height"]))
            self.assertEqual(STRINGS[language][407], controls[1000]["text"])
            self.assertEqual(STRINGS[language][402], controls[-1]["text"])
            self.assertEqual(STRINGS[language][403], controls[1]["text"])
            self.assertEqual(0, controls[1010]["visible"])
            self.display.screenshot(h.screenshot_path("disk_space_notice_" + CODES[language]))
            self.assertTrue(driver.click(hwnd, 1))
            self.assertEqual(403, h.exit_code_of(process))
        finally:
            if process.poll() is None:
                process.kill()
        messages = [m for _, _, m in h.log_messages()]
        self.assertIn("There is not enough disk space to install browser", messages)
        self.assertFalse([m for m in messages if m.startswith("Installer exit with code")])

    def test_english_notice_and_exit_code_403(self):
        self.run_notice(1033, args=["--distr-info-params=lang=en"])

    def test_german_run_shows_german_texts(self):
        self.run_notice(1031, env_extra={"LC_ALL": "de_DE.UTF-8"})

    def test_russian_and_japanese_notices(self):
        self.run_notice(1049, args=["--distr-info-params=lang=ru"])
        self.run_notice(1041, args=["--distr-info-params=lang=ja"])


if __name__ == "__main__":
    unittest.main()
