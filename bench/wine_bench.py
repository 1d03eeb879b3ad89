#!/usr/bin/env python3
"""The same machine under Wine: t_uninst.exe cleaning it, and Wine's own
`reg query /s` over its Components key, for the benchmark's table.

    wine_bench.py T_UNINST_EXE MACHINE.reg WORK_DIR CSV_OUT

The machine is imported into a fresh prefix (code page 932) with reg.exe.
The program runs under Xvfb; the time counted is from the OK of its
confirmation to its completion box, which is the cleaning and the saving.
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import wine_host  # noqa: E402  (the loader for the program's bits)

exe, machine, work, csv = (os.path.abspath(a) for a in sys.argv[1:5])
WINE = wine_host.loader(wine_host.pe_bits(exe))
CAPTION = "ZobrikLine InstallCleaner"
COMPONENTS = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components"
env = dict(os.environ, WINELOADER=WINE or "", WINEPREFIX=os.path.join(work, "wine-prefix"), WINEDEBUG="-all", LANG="ja_JP.UTF-8",
           LC_ALL="ja_JP.UTF-8", DISPLAY=":96", WINEDLLOVERRIDES="mscoree=d;mshtml=d")


def run(args, **kw):
    return subprocess.run(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def timed(args):
    start = time.monotonic()
    done = run(args)
    if done.returncode != 0:
        sys.exit("wine_bench: %s exited %d" % (" ".join(args), done.returncode))
    return time.monotonic() - start


def box():
    """The id of the program's visible box, waiting for it."""
    while True:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", CAPTION], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if found.returncode == 0:
            return found.stdout.split()[-1].decode()
        time.sleep(0.02)


def press(wid):
    run(["xdotool", "windowactivate", "--sync", wid])
    run(["xdotool", "key", "--window", wid, "Return"])


def main():
    run(["wineserver", "-k"])
    shutil.rmtree(env["WINEPREFIX"], ignore_errors=True)
    xvfb = subprocess.Popen(["Xvfb", ":96", "-screen", "0", "800x600x24"], stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        run([WINE, "wineboot", "-i"])
        run(["wineserver", "-w"])
        imported = timed([WINE, "reg", "import", "Z:" + machine.replace("/", "\\"), "/reg:64"])
        query = timed([WINE, "reg", "query", COMPONENTS, "/s", "/reg:64"])
        proc = subprocess.Popen([WINE, exe], env=env)
        first = box()
        time.sleep(0.5)
        press(first)
        start = time.monotonic()
        while True:
            second = box()
            if second != first:
                break
            time.sleep(0.02)
        cleaning = time.monotonic() - start
        press(second)
        proc.wait(timeout=600)
    finally:
        xvfb.terminate()
        run(["wineserver", "-k"])
    with open(csv, "w") as f:
        f.write("reg_import_s,reg_query_components_s,t_uninst_clean_s\n%.2f,%.2f,%.2f\n" % (imported, query, cleaning))
    print("Wine, %s: reg import %.1f s; reg query /s over Components %.1f s; t_uninst.exe from OK to its "
          "completion box %.1f s" % (os.path.basename(machine), imported, query, cleaning))


main()
