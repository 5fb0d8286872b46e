#!/usr/bin/env python3
"""The windowed road end to end on this machine: a server on 127.0.0.1 serves
the demo setup package (the stand-in setup, signed for this build);
lite_installer_test.exe shows its window, downloads the package while the
welcome screen is shown, and after the install click verifies and runs it.
The stand-in setup moves the progress bar through the registered messages and
leaves a "browser" that asks the window to close.

With a display (DISPLAY set, LITE_DEMO_HEADLESS unset) the window opens on it
and you click yourself. Headless, it runs on its own Xvfb display, clicks
Install itself and saves screenshots of the welcome screen, the progress
screen and the end into SCREENSHOT_DIR.
    demo_windowed_road.py WIN32_BUILD_DIR PACKAGE SCREENSHOT_DIR"""

import os
import shutil
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

import brand_copy  # noqa: E402
import lite_harness as h  # noqa: E402
import lite_servers  # noqa: E402

SETUP_PATH = "/browser/int/flash/browser-setup.arc"
# What the stand-in setup does once started: two install stages and half the
# import, then it starts the "browser", which asks the window to close after
# 6 s; the setup itself exits 3 s later with code 0.
SETUP_ARGS = ["--stand-in-messages=install:5,install:6,import:0:1,import:50:2",
              "--stand-in-browser-ms=9000", "--stand-in-browser-close-ms=6000",
              "--stand-in-sleep-ms=9000", "--stand-in-exit-code=0"]


def wait_for_log(text, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            if any(text in m for _, _, m in h.log_messages()):
                return True
        except (OSError, UnicodeDecodeError):
            pass
        time.sleep(0.3)
    return False


def run(display, interactive, server):
    host = server.host()
    env = dict(display.env() if display is not None else os.environ)
    env.update({"LITE_TEST_DOWNLOAD_HOST": host, "LITE_TEST_LEGAL_HOST": host,
                "LITE_TEST_STATS_HOST": host, "LITE_TEST_CLICK_STATS_HOST": host})
    h.clear_log()
    print("== Running: lite_installer_test.exe " + " ".join(SETUP_ARGS))
    installer = brand_copy.program("lite_installer_test.exe", host, env=env)
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
    if not wait_for_log("Module downloaded", 120):
        print("== The package was not downloaded; the window stays on its welcome screen.")
    driver.click(hwnd, 1)
    print("== Clicked Install")
    if wait_for_log("--> Installer > MainWindow::OnImportProgress: 50", 60):
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
        print("== Installer exit code (the setup's): %d" % code)
        for _, function, message in records:
            if function.startswith("lite_installer::MainWindow::") or message.startswith("Run: "):
                print("== " + message)
        return 0
    finally:
        shutil.rmtree(site, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
