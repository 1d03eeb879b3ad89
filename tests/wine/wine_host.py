#!/usr/bin/env python3
"""Wine on this host, for a Windows program of 32 or 64 bits: which loader
runs it, and whether this host can run it at all.

As a command, ctest's way of starting a test program of the Windows builds:

    wine_host.py BITS PROGRAM [ARGUMENTS...]

runs PROGRAM under the loader for BITS and exits with its exit code. Where
the host cannot run 32-bit programs (found by trying, with
tools/runs_32bit.sh), a 32-bit program is not started: one line says why
and the exit code is 77, which ctest counts as skipped. Where no Wine is
installed, one line says so and the exit code is 1.

The loader is chosen here rather than left to `wine`: Debian's `wine` runs
the 32-bit loader whenever wine32 is installed, which fails on a host that
cannot run it, even for a 64-bit program.
"""
import locale
import os
import shutil
import struct
import subprocess
import sys

SKIPPED = 77
HERE = os.path.dirname(os.path.abspath(__file__))
PROBE = os.path.join(HERE, "..", "..", "tools", "runs_32bit.sh")
# Debian keeps both loaders here; elsewhere `wine` runs either.
DEBIAN = "/usr/lib/wine"


def pe_bits(path):
    """32 or 64: the bits of a Windows program, from its PE header."""
    with open(path, "rb") as f:
        head = f.read(4096)
    at = struct.unpack_from("<I", head, 0x3C)[0]
    machine = struct.unpack_from("<H", head, at + 4)[0]
    return 64 if machine == 0x8664 else 32


def host_refuses_32bit():
    """Why this host cannot run 32-bit programs, or None when it can."""
    probe = subprocess.run(["sh", PROBE], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return probe.stdout.decode(errors="replace").strip() if probe.returncode != 0 else None


def loader(bits):
    """The Wine loader for programs of `bits`, or None when none is installed."""
    if os.path.exists(os.path.join(DEBIAN, "wine64")):
        name = "wine64" if bits == 64 else "wine"
        path = os.path.join(DEBIAN, name)
        return path if os.access(path, os.X_OK) else None
    return shutil.which("wine64" if bits == 64 else "wine") or shutil.which("wine")


def missing(bits):
    """Why Wine cannot run a program of `bits` here, and whether that is
    the host's limit (a skip) rather than something not installed (a
    failure); None when it can."""
    if bits == 32:
        refused = host_refuses_32bit()
        if refused:
            return ("the Wine tests of the 32-bit programs did not run: this host cannot run 32-bit programs "
                    "(%s)" % refused, True)
    try:
        locale.setlocale(locale.LC_CTYPE, "ja_JP.UTF-8")
    except locale.Error:
        return ("no Japanese locale (ja_JP.UTF-8), which gives Wine its code page 932 "
                "(scripts/install-deps.sh makes it)", False)
    if loader(bits) is None:
        package = "wine64" if bits == 64 else "wine32:i386"
        return ("Wine's %d-bit loader is not installed (Debian's package %s; scripts/install-deps.sh installs it)"
                % (bits, package), False)
    return None


def environment(bits, env):
    """`env` with WINELOADER set, so that Wine starts programs of this
    run's own with the same loader."""
    return dict(env, WINELOADER=loader(bits))


def main(argv):
    if len(argv) < 3 or argv[1] not in ("32", "64"):
        sys.exit("usage: wine_host.py 32|64 PROGRAM [ARGUMENTS...]")
    bits = int(argv[1])
    why = missing(bits)
    if why:
        print(("SKIPPED: " if why[1] else "FAIL: ") + why[0], flush=True)
        return SKIPPED if why[1] else 1
    return subprocess.run([loader(bits)] + argv[2:], env=environment(bits, os.environ)).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
