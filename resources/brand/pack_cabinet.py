#!/usr/bin/env python3
"""Packs one document as a single-file MSZIP cabinet with gcab, reproducibly:

    pack_cabinet.py GCAB EPOCH_FILE DOCUMENT MEMBER_NAME OUTPUT.cab

The cabinet records its member's modification time, so the member is staged
under MEMBER_NAME with the build's source date (seconds since 1970, read from
EPOCH_FILE) instead of the time the build happened to write it.
"""

import os
import shutil
import subprocess
import sys
import tempfile


def main(argv):
    if len(argv) != 6:
        sys.stderr.write(__doc__)
        return 2
    gcab, epoch_file, document, member, output = argv[1:]
    with open(epoch_file) as f:
        epoch = int(f.read().strip())
    with tempfile.TemporaryDirectory(dir=os.path.dirname(os.path.abspath(output))) as staging:
        staged = os.path.join(staging, member)
        shutil.copyfile(document, staged)
        os.chmod(staged, 0o644)
        os.utime(staged, (epoch, epoch))
        if os.path.exists(output):
            os.remove(output)
        subprocess.run([gcab, "-c", "-z", "-n", output, staged], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
