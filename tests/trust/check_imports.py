"""Fails when a program imports a DLL outside the allowed set.

Only DLLs that every supported Windows loads from its own folder (known DLLs
on Windows 7 and 10) may be imported, plus comctl32, which the manifest
redirects to its side-by-side version. Everything else must be loaded at run
time from System32, or a DLL planted beside the program would run inside it.

usage: check_imports.py OBJDUMP PROGRAM...
"""
import subprocess
import sys

ALLOWED = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "ole32.dll", "oleaut32.dll", "shlwapi.dll", "msvcrt.dll", "comctl32.dll",
}


def imports(objdump, program):
    out = subprocess.run([objdump, "-p", program], check=True, capture_output=True, text=True).stdout
    return [line.split("DLL Name:", 1)[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line]


def main():
    objdump, programs = sys.argv[1], sys.argv[2:]
    failed = False
    for program in programs:
        names = imports(objdump, program)
        if "kernel32.dll" not in names:
            print(f"{program}: no import table read ({names})")
            failed = True
        extra = sorted(set(names) - ALLOWED)
        if extra:
            print(f"{program}: imports outside the allowed set: {', '.join(extra)}")
            failed = True
        else:
            print(f"{program}: {', '.join(sorted(names))}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
