#!/usr/bin/env python3
"""The windowed road end to end on this machine: a server on 127.0.0.1 serves
the demo setup package (the stand-in setup, signed for this build);
lite_installer_test.exe shows its window, downloads the package while the
welcome screen is shown, and after the install click verifies and runs it.
The stand-in setup moves the progress bar through the registered messages and
leaves a "browser" that asks the window to close.

With a display (DISPLAY set, LITE_DEMO_HEADLESS unset) the window opens on it
and you click yourself. Headless, it runs on its own Xvfb display, clicks
Install itself and saves screenshots of the welcome screen (also with the
keyboard's focus on the licence link and on a box), the progress screen and
the end into SCREENSHOT_DIR; then it shows the window in English,
Russian, German and Japanese over a download slow enough for the time-left
line and saves welcome_<code>.png and progress_<code>.png (the progress screen
with less than a minute left) there too.
    demo_windowed_road.py WIN32_BUILD_DIR PACKAGE SCREENSHOT_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "servers"))
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))

build_dir = os.path.abspath(sys.argv[1])
package = os.path.abspath(sys.argv[2])
screenshot_dir = os.path.abspath(sys.argv[3])
os.environ.setdefault("LITE_BUILD_DIR", build_dir)
os.environ.setdefault("LITE_SOURCE_DIR", ROOT)
os.environ.setdefault("LITE_WINEPREFIX", os.path.join(build_dir, "wineprefix"))

import lite_harness as h  # noqa: E402
import lite_servers  # noqa: E402

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
VK_TAB = 9
# What the stand-in setup does once started: two install stages and half the
# import, then it starts the "browser", which asks the window to close after
# 6 s; the setup itself exits 3 s later with code 0.
SETUP_ARGS = ["--stand-in-messages=install:5,install:6,import:0:1,import:50:2",
              "--stand-in-browser-ms=9000", "--stand-in-browser-close-ms=6000",
              "--stand-in-sleep-ms=9000", "--stand-in-exit-code=0"]


def run(display, interactive, server):
    host = server.host()
    env = dict(display.env() if display is not None else os.environ)
    env.update({"LITE_TEST_DOWNLOAD_HOST": host, "LITE_TEST_LEGAL_HOST": host,
                "LITE_TEST_STATS_HOST": host, "LITE_TEST_CLICK_STATS_HOST": host})
    h.clear_log()
    print("== Running: lite_installer_test.exe " + " ".join(SETUP_ARGS))
    installer = h.program("lite_installer_test.exe")
    process = h.start_windows_with_exit_code(installer, SETUP_ARGS, env=env)
    if interactive:
        print("== The installer window is open on %s: click Install (or Cancel)." % env.get("DISPLAY"))
        return h.exit_code_of(process, timeout=1800)

    driver = h.UiDriver(display.env())
    hwnd = driver.find("name:lite_installer_test.exe", "#32770", 60000)
    if hwnd is None:
        process.kill()
        raise RuntimeError("the installer window did not appear")
    time.sleep(1)
    shots = []

    def shot(name):
        path = os.path.join(screenshot_dir, name + ".png")
        display.screenshot(path)
        shots.append(path)

    shot("1_welcome")
    # The keyboard's focus, drawn by the window's painters: Tab goes from
    # Install (focused at open) to Cancel, then the licence link, then the
    # first box.
    for _ in range(2):
        driver.key(hwnd, VK_TAB)
    time.sleep(0.3)
    shot("1_focus_link")
    driver.key(hwnd, VK_TAB)
    time.sleep(0.3)
    shot("1_focus_box")
    if not h.wait_for_log("Module downloaded", 120):
        print("== The package was not downloaded; the window stays on its welcome screen.")
    driver.click(hwnd, 1)
    print("== Clicked Install")
    if h.wait_for_log("--> Installer > MainWindow::OnImportProgress: 50", 60):
        time.sleep(0.5)
        shot("2_progress")
        # The last import stage, as a setup sends it at its end.
        driver.send(hwnd, driver.register("korvex.lite.set_import_progress"), 100, 3)
        time.sleep(0.5)
        shot("3_end")
    code = h.exit_code_of(process, timeout=120)
    for path in shots:
        print("== Screenshot: " + path)
    return code


LANGUAGES = ["en", "ru", "de", "ja"]
# The download lasts about this long, so that after its first minute the
# installer finds it slow and shows the time-left line.
SLOW_DOWNLOAD_S = 135
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
SHADOW_PX = 21


def crop_shot(display, driver, hwnd, path, margin):
    """A screenshot of one window (and `margin` pixels around it)."""
    window = driver.dump(hwnd)[0]
    whole = path + ".whole.png"
    display.screenshot(whole)
    converter = shutil.which("convert-im6.q16") or "convert"
    geometry = "%dx%d+%d+%d" % (window["right"] - window["left"] + 2 * margin,
                                window["bottom"] - window["top"] + 2 * margin,
                                max(0, window["left"] - margin), max(0, window["top"] - margin))
    subprocess.run([converter, whole, "-crop", geometry, "+repage", path], check=False, timeout=60)
    os.remove(whole)
    print("== Screenshot: " + path)


def run_languages(display, server):
    """One installer per language, all downloading slowly at once (their
    windows stack at the same place). Each welcome screen is shot when it
    opens; once every window shows its time-left line, the windows are taken
    from the top: install click, the setup's import message with its
    30-second hint, a shot of the progress screen, then Alt+F4."""
    host = server.host()
    env = dict(display.env())
    env.update({"LITE_TEST_DOWNLOAD_HOST": host, "LITE_TEST_LEGAL_HOST": host,
                "LITE_TEST_STATS_HOST": host, "LITE_TEST_CLICK_STATS_HOST": host})
    driver = h.UiDriver(display.env())
    installer = h.program("lite_installer_test.exe")
    sessions = []
    try:
        for code in LANGUAGES:
            process = h.start_windows_with_exit_code(installer,
                                                     ["--distr-info-params=lang=" + code], env=env)
            known = [hwnd for _, _, hwnd in sessions]
            hwnd = None
            deadline = time.time() + 60
            while (hwnd is None or hwnd in known) and time.time() < deadline:
                hwnd = driver.find("name:lite_installer_test.exe", "#32770", 60000)
                time.sleep(0.3)
            if hwnd is None or hwnd in known:
                process.kill()
                raise RuntimeError("no installer window for " + code)
            sessions.append((code, process, hwnd))
            time.sleep(1)
            crop_shot(display, driver, hwnd, os.path.join(screenshot_dir, "welcome_%s.png" % code), SHADOW_PX)

        deadline = time.time() + 110
        while time.time() < deadline:
            if all(driver.controls(hwnd)[1013]["text"] for _, _, hwnd in sessions):
                break
            time.sleep(2)
        import_message = driver.register("korvex.lite.set_import_progress")
        for code, process, hwnd in reversed(sessions):
            driver.click(hwnd, 1)
            time.sleep(1)
            driver.send(hwnd, import_message, 50, 2)
            time.sleep(0.7)
            crop_shot(display, driver, hwnd, os.path.join(screenshot_dir, "progress_%s.png" % code), 0)
            print("== %s: time-left line %r" % (code, driver.controls(hwnd)[1013]["text"]))
            driver.send(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0)
            h.exit_code_of(process, timeout=60)
    finally:
        for _, process, _ in sessions:
            if process.poll() is None:
                process.kill()


def main():
    interactive = bool(os.environ.get("DISPLAY")) and not os.environ.get("LITE_DEMO_HEADLESS")
    site = tempfile.mkdtemp(prefix="lite-demo-window-")
    try:
        target = os.path.join(site, SETUP_PATH.lstrip("/"))
        os.makedirs(os.path.dirname(target))
        shutil.copyfile(package, target)
        os.makedirs(screenshot_dir, exist_ok=True)
        with lite_servers.NginxServer(site) as server:
            print("== Serving the demo package at " + server.url(SETUP_PATH))
            if interactive:
                code = run(None, True, server)
            else:
                # The first Wine process of a session fixes its display.
                h.end_wine_session()
                with h.VirtualDisplay() as display:
                    code = run(display, False, server)
        records = h.log_messages()
        if not interactive:
            size = os.path.getsize(package)
            with lite_servers.NginxServer(site, rate_limit=max(1, size // SLOW_DOWNLOAD_S)) as slow:
                print("== The window in %s, over a slow download" % ", ".join(LANGUAGES))
                h.end_wine_session()
                with h.VirtualDisplay() as display:
                    run_languages(display, slow)
        print("== Installer exit code (the setup's): %d" % code)
        for _, function, message in records:
            if function.startswith("lite_installer::MainWindow::") or message.startswith("Run: "):
                print("== " + message)
        return 0
    finally:
        shutil.rmtree(site, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
