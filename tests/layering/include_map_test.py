"""The include map of ARCHITECTURE.md holds for the whole tree, and the
checker does catch includes the map forbids."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
CHECKER = os.path.join(HERE, "include_map.py")


def check(source_dir):
    result = subprocess.run([sys.executable, CHECKER, source_dir], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=60, check=False)
    return result.returncode, result.stdout.decode()


class IncludeMapTest(unittest.TestCase):
    def test_the_tree_follows_the_map(self):
        code, out = check(SOURCE_DIR)
        self.assertEqual((0, ""), (code, out))

    def test_forbidden_includes_are_reported(self):
        work = tempfile.mkdtemp(prefix="include-map-")
        try:
            shutil.copy(os.path.join(SOURCE_DIR, "ARCHITECTURE.md"), work)

            def write(path, text):
                os.makedirs(os.path.dirname(os.path.join(work, path)), exist_ok=True)
                with open(os.path.join(work, path), "w") as f:
                    f.write(text)

            write("trust/ok.cc", '#include "trust/key.h"\n#include "base/log.h"\n#include <windows.h>\n')
            write("brand/rule.h", '#include "base/text.h"\n  #  include "install/installer.h"\n')
            write("stats/deep/report.cc", '\n\n#include "ui/main_window.h"\n')
            write("app/main.cc", '#include "ui/main_window.h"\n')  # the entry's own row
            write("base/log.cc", '#include "brand/brand_document.h"\n')
            write("base/CMakeLists.txt", "lite_add_folder_library(base)\n")
            write("brand/CMakeLists.txt", "lite_add_folder_library(brand base ui lite_jansson)\n")
            code, out = check(work)
            self.assertEqual(1, code)
            self.assertEqual(["base/CMakeLists.txt: does not link brand/, which it includes",
                              "base/log.cc:1: base/ may not include brand/",
                              "brand/CMakeLists.txt: links ui/, which the map does not allow",
                              "brand/rule.h:2: brand/ may not include install/",
                              "stats/deep/report.cc:3: stats/ may not include ui/"],
                             sorted(out.splitlines()))
        finally:
            shutil.rmtree(work)


if __name__ == "__main__":
    unittest.main()
