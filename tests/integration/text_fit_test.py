"""Every visible text, in each of the fifteen languages, fits the box it is
shown in with a margin: text_fit_probe.exe measures them all in one Wine run
with the prefix's fonts (DrawTextW with DT_CALCRECT, the controls' fonts and
drawing flags, the windows' own layout), and this test prints the boxes'
slack in pixels, tightest first, and fails on any text with less than
MARGIN_PX to spare."""

import re
import unittest

import lite_harness as h

MARGIN_PX = 4
LANGUAGES = 15
ROW = re.compile(r"^fit slack=(-?\d+) box=(\S+) lang=(\S+) string=(\d+) value=(-?\d+) "
                 r"lines=(\d+)/(\d+) size=(\d+)x(\d+) text=(.*)$")


class TextFitTest(unittest.TestCase):
    def test_every_text_fits_its_box_in_every_language(self):
        result = h.run_windows(h.program("text_fit_probe.exe"), timeout=120)
        output = result.stdout.decode("utf-8", "replace")
        self.assertEqual(0, result.returncode, output)
        self.assertIn("\ndone", output)
        rows = [ROW.match(line) for line in output.splitlines() if line.startswith("fit ")]
        self.assertNotIn(None, rows)
        rows.sort(key=lambda m: int(m.group(1)))

        print("\nslack px  box                       lang   id   value lines  text")
        for m in rows:
            print("%8s  %-25s %-6s %s %6s %s/%s   %s" % m.group(1, 2, 3, 4, 5, 6, 7, 10))
        for line in output.splitlines():
            if line.startswith("geometry "):
                print(line)

        # Coverage: every language measured the same boxes and strings.
        per_language = {}
        for m in rows:
            per_language.setdefault(m.group(3), set()).add((m.group(2), m.group(4)))
        self.assertEqual(LANGUAGES, len(per_language))
        expected = per_language["en"]
        for code, measured in per_language.items():
            self.assertEqual(expected, measured, code)
        strings = {int(s) for _, s in expected}
        self.assertEqual({400, 401, 402, 403, 404, 406, 407, 409, 410, 411, 412, 413, 414, 415, 416,
                          417, 418, 419, 420, 421, 424, 425}, strings)
        # The time-left line is lower than one line of its font: a box no
        # text can fit, reported and measured for one line.
        self.assertIn("geometry box=progress.time_left", output)

        tight = ["%s %s %s: %s px (%s)" % (m.group(2), m.group(3), m.group(4), m.group(1), m.group(10))
                 for m in rows if int(m.group(1)) < MARGIN_PX]
        self.assertEqual([], tight, "texts with less than %d px to spare" % MARGIN_PX)


if __name__ == "__main__":
    unittest.main()
