#!/usr/bin/env python3
"""t_uninst.exe under Wine, as a user runs it on Windows.

A fresh prefix (code page 932) gets the sample machine in the 64-bit view
and a 32-bit setup's entries in the 32-bit view, through Wine's reg.exe.
The program runs under Xvfb; its boxes are answered with key presses and
photographed. The registry is exported before and after: Cancel (Esc) must
change nothing; OK must remove exactly the product's traces, in both views,
and exactly what --preview listed; the backup it wrote, imported with
reg.exe, must give the registry back; a backup into a missing folder must
be refused before any box, the registry untouched; --version must print
the version the program's version resource carries, and its bits; the
resource's string table must have every field inventory tools read. Last, two product keys
get an access control list that denies DELETE (set by deny_rights.exe with
SetSecurityInfo): the one without subkeys still goes, the one with a subkey
stays, and the run lists it, says so in a box of its own instead of the
completion, and exits with 5.

With --unattended, there is no display at all (no Xvfb, DISPLAY unset), as
where a deployment tool runs the program: without --quiet nobody can answer,
so it exits with 6 and changes nothing. While a helper holds Windows
Installer's mutex, --quiet exits with 1618 and changes nothing, and the
detection run, --check, exits with 1. The preview, redirected to a file
from a console of code page 932, writes that code page. The machine is then cleaned by `t_uninst.exe --quiet`: exactly the
product's traces go in both views, a line names each, exit code 0; its
backup is written into a folder under a name of its own. A second run of
the same command finds nothing, exits 0 and writes no backup; the log holds
both runs. --check then exits with 0. `t_uninst.exe --restore` of the
backup gives both views back exactly, reading each file's view from the
English comments of a backup written before the line made for the program
(a folder named with those comments' words does not mislead it), and a
second restore, of the files as written, changes nothing.
The folder and the logs have names the ANSI code page (932) cannot hold,
the backups' full names are longer than MAX_PATH, and the restore's log is
named in System32, which must not be redirected to SysWOW64 for the 32-bit
program: each file must be where it was named, its name in the files whole.

    end_to_end.py T_UNINST_EXE SAMPLE CLEANED VIEW32 OUTPUT_DIR DENY_RIGHTS_EXE HOLD_MUTEX_EXE [--unattended]
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import time

import wine_host

exe, sample, cleaned, view32, out, deny_rights, hold_mutex = (os.path.abspath(a) for a in sys.argv[1:8])
UNATTENDED = sys.argv[8:] == ["--unattended"]
CAPTION = "ZobrikLine InstallCleaner"
BITS = wine_host.pe_bits(exe)
WINE = wine_host.loader(BITS)
os.makedirs(out, exist_ok=True)
env = dict(os.environ, WINELOADER=WINE or "", WINEPREFIX=os.path.join(out, "prefix"), WINEDEBUG="-all",
           LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8",
           WINEDLLOVERRIDES="mscoree=d;mshtml=d")  # no offer to install .NET or a browser engine
# Outside code page 932: Hangul, a Latin letter with a diaeresis, an emoji
# (two UTF-16 units). Below the output folder alone, the backup folder's
# name is 264 characters long: the backups' full names pass MAX_PATH. A
# name in it reads as the words the backup's comments give the 32-bit view.
UNSPELLABLE = "\ud55c\uae00-\u00fc-\U0001F600"
FOLDER = os.path.join(out, "backups", UNSPELLABLE, "\u9577" * 40 + " (32-bit view)", "x" * 200)
# Wine's reg.exe picks the view by its /reg option.
VIEWS = {"64": ("HKLM\\SOFTWARE", "/reg:64"),
         "32": ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "/reg:32")}


def run(args, check=True, more=None):
    """Runs a program, with `more` added to the environment."""
    done = subprocess.run(args, env=dict(env, **(more or {})), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if check and done.returncode != 0:
        sys.exit("FAIL: %s exited %d: %s" % (" ".join(args), done.returncode, done.stderr.decode(errors="replace")[-500:]))
    return done


# Values of every kind below one of the product's components: the backup
# must give each back byte for byte.
EVERY_KIND = "\r\n".join([
    "Windows Registry Editor Version 5.00", "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18"
    "\\Components\\0D3C2B1A99887766554433221100FFEE\\Every kind]",
    "@=hex(1):ac,20,00,00",
    '"qword"=hex(b):01,02,03,04,05,06,07,08',
    '"binary"=hex:00,ff,10',
    '"empty binary"=hex:',
    '"multi"=hex(7):61,00,00,00,62,00,00,00,00,00',
    '"expand"=hex(2):25,00,41,00,25,00,00,00',
    '"embedded nul"=hex(1):61,00,00,00,62,00,00,00',
    '"no final nul"=hex(1):61,00',
    '"none"=hex(0):',
    '"nameless type"=hex(1234):01,02',
    '"short dword"=hex(4):01,02',
    '"euro \u20ac"="\u20ac text"', "", ""])


# Wine keeps no event log: its ReportEventW traces the call (the level and
# the ID on the advapi channel, each string on the eventlog channel).
EVENTS = {"WINEDEBUG": "-all,+eventlog,fixme+advapi"}
INFORMATION, WARNING, ERROR = 4, 2, 1
DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "deploying.md")


def traced_text(text):
    """A string as Wine's trace writes it (L"..." with C escapes and \\XXXX
    for what is not ASCII) as it was; "..." ends one cut short."""
    cut = text.endswith('"...')
    body = text[2:-4] if cut else text[2:-1]
    escapes = {"\\": "\\", '"': '"', "n": "\n", "r": "\r", "t": "\t"}
    body = re.sub(r'\\(\\|"|n|r|t|[0-9a-fA-F]{4})',
                  lambda m: escapes.get(m.group(1)) or chr(int(m.group(1), 16)), body)
    return body + ("..." if cut else "")


def reported_events(stderr):
    """The entries a run gave the event log: (level, ID, strings) each."""
    events = []
    for line in stderr.decode("utf-8", errors="replace").splitlines():
        call = re.search(r":advapi:ReportEventW \(\w+,0x(\w+),0x\w+,0x(\w+),", line)
        if call:
            events.append((int(call.group(1), 16), int(call.group(2), 16), []))
        text = re.search(r":eventlog:ReportEventW (L\".*)$", line)
        if text and events:
            events[-1][2].append(traced_text(text.group(1)))
    return events


def message_table(path):
    """The program's message table, where Event Viewer finds the text of an
    event: {ID: text}."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    directories = pe + 24 + (112 if struct.unpack_from("<H", data, pe + 24)[0] == 0x20B else 96)
    resources = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    shift = 0  # from an address in memory to the file's offset, in the resources' section
    for i in range(sections):
        address, size, raw = struct.unpack_from("<III", data, pe + 24 + optional + 40 * i + 12)
        if address <= resources < address + size:
            shift = raw - address
    root = resources + shift

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
        return [struct.unpack_from("<II", data, root + directory + 16 + 8 * k) for k in range(named + numbered)]

    texts = {}
    for kind, names in entries(0):
        if kind != 11:  # RT_MESSAGETABLE
            continue
        for _, languages in entries(names & 0x7FFFFFFF):
            for _, leaf in entries(languages & 0x7FFFFFFF):
                table = struct.unpack_from("<I", data, root + leaf)[0] + shift
                for block in range(struct.unpack_from("<I", data, table)[0]):
                    low, high, offset = struct.unpack_from("<III", data, table + 4 + 12 * block)
                    entry = table + offset
                    for number in range(low, high + 1):
                        length, unicode = struct.unpack_from("<HH", data, entry)
                        text = data[entry + 4:entry + length]
                        texts[number] = text.decode("utf-16-le" if unicode else "cp1252").rstrip("\0\r\n")
                        entry += length
    return texts


def event_has_text(event):
    """Whether the message table has the event's text, with its three inserts."""
    text = message_table(exe).get(event[1], "")
    return all("%%%d" % n in text for n in (1, 2, 3))


def documented_scripts():
    """The .cmd files docs/deploying.md shows, by name, word for word."""
    with open(DOCS, encoding="utf-8") as f:
        text = f.read()
    return {m.group(2): m.group(1) for m in re.finditer(r"```bat\n(:: (\S+\.cmd):.*?)```", text, re.S)}


def parse(data):
    """A .reg file's keys and values, as a set of (key, value line) pairs;
    the 32-bit view's own tree, seen from the 64-bit one, left out."""
    items, key = set(), None
    for line in data.decode("utf-16").replace("\\\r\n  ", "").splitlines():
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1].upper()
            if key.startswith("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432NODE"):
                key = None
                continue
            items.add((key, None))
        elif key and (line.startswith('"') or line.startswith("@")):
            items.add((key, line))
    return items


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def state():
    views = {}
    for view, (key, option) in VIEWS.items():
        path = os.path.join(out, "export%s.reg" % view)
        run([WINE, "reg", "export", key, windows_path(path), option, "/y"])
        with open(path, "rb") as f:
            views[view] = parse(f.read())
    return views


def answer(key, shots, args=(), errors=None):
    """Starts the program, answers each box with `key`, saves each box;
    what it writes to its error output goes to the list `errors`."""
    proc = subprocess.Popen([WINE, exe, *args], env=env,
                            stderr=subprocess.PIPE if errors is not None else None)
    for shot in shots:
        wid = None
        for _ in range(240):  # Wine may take a minute or more to start on a busy machine
            found = run(["xdotool", "search", "--onlyvisible", "--name", CAPTION], check=False)
            if found.returncode == 0:
                wid = found.stdout.split()[-1].decode()
                break
            time.sleep(0.5)
        if not wid:
            run(["import", "-window", "root", os.path.join(out, "no-box-" + shot + ".png")], check=False)
            proc.kill()
            sys.exit("FAIL: no box appeared for %s (the program: %s)" % (
                shot, "still running" if proc.poll() is None else "exited %d" % proc.returncode))
        time.sleep(1)
        run(["import", "-window", "root", os.path.join(out, shot + ".png")], check=False)
        run(["xdotool", "windowactivate", "--sync", wid], check=False)
        run(["xdotool", "key", "--window", wid, key])
        for _ in range(40):
            if run(["xdotool", "search", "--onlyvisible", "--name", CAPTION], check=False).returncode != 0:
                break
            time.sleep(0.25)
    if errors is not None:
        errors.append(proc.communicate(timeout=60)[1].decode("cp932", errors="replace"))
    return proc.wait(timeout=60)


def resource_version(path):
    """FileVersion of the version resource: its VS_FIXEDFILEINFO's numbers."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    most, least = struct.unpack("<II", data[at + 8:at + 16])
    numbers = [most >> 16, most & 0xFFFF, least >> 16]
    return ".".join(map(str, numbers))


def version_blocks(data, at, end):
    """The blocks of a version resource between `at` and `end`: each as
    (key, value bytes, where its children begin, where it ends)."""
    while at + 6 <= end:
        length, value_length, text = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        value_at = (key_end + 2 + 3) & ~3
        value_end = value_at + (value_length * 2 if text else value_length)
        yield (data[at + 6:key_end].decode("utf-16-le"), data[value_at:value_end],
               (value_end + 3) & ~3, at + length)
        at = (at + length + 3) & ~3


def version_strings(path):
    """The string table of the version resource: CompanyName and the rest."""
    with open(path, "rb") as f:
        data = f.read()
    root = data.find("VS_VERSION_INFO".encode("utf-16-le")) - 6
    strings = {}
    for _, _, children, end in version_blocks(data, root, root + struct.unpack_from("<H", data, root)[0]):
        for key, _, tables, tables_end in version_blocks(data, children, end):
            if key != "StringFileInfo":
                continue
            for _, _, entries, entries_end in version_blocks(data, tables, tables_end):
                for name, value, _, _ in version_blocks(data, entries, entries_end):
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    return strings


def listed(preview, before):
    """The items of `before` that the preview's lines name, by view."""
    named = {view: set() for view in VIEWS}
    for line in preview.splitlines():
        fields = line.split("\t")
        if len(fields) != 5 or fields[1] not in ("key", "value"):
            continue
        view, kind, path, what = fields[0][:2], fields[1], fields[2].upper(), fields[3]
        path = path.replace("HKEY_CLASSES_ROOT\\", "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\", 1)
        for key, value in before[view]:
            if kind == "key" and (key == path or key.startswith(path + "\\")):
                named[view].add((key, value))
            elif kind == "value" and key == path and value is not None:
                name = what[1:-1].replace("\\", "\\\\").replace('"', '\\"') if what != "@" else None
                if (name is None and value.startswith("@=")) or (
                        name is not None and value.upper().startswith('"' + name.upper() + '"=')):
                    named[view].add((key, value))
    return named


def expected_removals(before):
    """What a run must remove in each view: the sample's product traces, the
    values of every kind below its component, and the 32-bit setup's
    uninstall entry and shared DLL."""
    with open(sample, "rb") as f:
        machine = parse(f.read())
    with open(cleaned, "rb") as f:
        expected_left = parse(f.read())
    with open(view32, "rb") as f:
        extra32 = parse(f.read())
    every = {item for item in before["64"] if item[0].endswith("\\EVERY KIND")}
    return {"64": (machine - expected_left) | every,
            "32": {item for item in extra32 if "ZOBRIKLINE" in item[0] or "ZobrikLine\\\\zl32" in (item[1] or "")}}


def check_removals(checks, how, before, after):
    for view, removed in expected_removals(before).items():
        gone = before[view] - after[view]
        added = after[view] - before[view]
        checks.append(("%s removes exactly the product's %d items in the %s-bit view" % (how, len(removed), view),
                       gone == removed, "removed %d; not expected: %s; left: %s" % (
                           len(gone), sorted(map(str, gone - removed))[:5], sorted(map(str, removed - gone))[:5])))
        checks.append(("%s adds nothing in the %s-bit view" % (how, view), not added, str(sorted(map(str, added))[:5])))


def check_named(checks, how, lines, before, after):
    """Whether `lines`, in the preview's form, name exactly what went."""
    named = listed(lines, before)
    for view in VIEWS:
        gone = before[view] - after[view]
        checks.append(("%s names exactly what went in the %s-bit view" % (how, view), named[view] == gone,
                       "named but kept: %s; removed unnamed: %s" % (
                           sorted(map(str, named[view] - gone))[:5], sorted(map(str, gone - named[view]))[:5])))


def check_undo(checks, backup, before):
    """The undo: each backup file through the reg.exe of its view."""
    run([WINE, "reg", "import", windows_path(backup), "/reg:64"])
    backup32 = backup[:-4] + "-32bit.reg"
    checks.append(("the 32-bit view's part has a file of its own", os.path.exists(backup32), backup32))
    if os.path.exists(backup32):
        run([WINE, "reg", "import", windows_path(backup32), "/reg:32"])
    restored = state()
    for view in VIEWS:
        checks.append(("reg import of the backup gives the %s-bit view back" % view, restored[view] == before[view],
                       "missing: %s; extra: %s" % (sorted(map(str, before[view] - restored[view]))[:5],
                                                   sorted(map(str, restored[view] - before[view]))[:5])))
    return restored


def prepare(checks):
    """A fresh prefix with the machine in both views; gives its state."""
    run([WINE, "wineboot", "-i"], check=False)  # it may complain of services a new prefix lacks
    run(["wineserver", "-w"], check=False)
    run([WINE, "reg", "import", windows_path(sample), "/reg:64"])
    run([WINE, "reg", "import", windows_path(view32), "/reg:32"])
    every_kind = os.path.join(out, "every_kind.reg")
    with open(every_kind, "wb") as f:
        f.write(b"\xff\xfe" + EVERY_KIND.encode("utf-16-le"))
    run([WINE, "reg", "import", windows_path(every_kind), "/reg:64"])
    before = state()
    # As Wine exports them: one key and its twelve values.
    every = {item for item in before["64"] if item[0].endswith("\\EVERY KIND")}
    checks.append(("every kind of value was imported", len(every) == 13, str(sorted(map(str, every)))))
    return before


def interactive(checks, before):
    code = answer("Escape", ["confirmation"])
    checks.append(("Esc exits with 0", code == 0, "exit code %d" % code))
    checks.append(("Esc changes nothing", state() == before, ""))

    preview = run([WINE, exe, "--preview"]).stdout.decode("cp932")
    checks.append(("the preview changes nothing", state() == before, ""))

    backup = os.path.join(out, "removed.reg")
    code = answer("Return", ["confirmation-ok", "completion"], ["--backup", windows_path(backup)])
    checks.append(("OK exits with 0", code == 0, "exit code %d" % code))
    after = state()
    check_named(checks, "the preview", preview, before, after)
    check_removals(checks, "OK", before, after)
    restored = check_undo(checks, backup, before)

    refused = run([WINE, exe, "--backup", windows_path(os.path.join(out, "missing", "removed.reg"))], check=False)
    checks.append(("a backup into a missing folder is refused before any box, with 2",
                   refused.returncode == 2, "exit code %d" % refused.returncode))
    checks.append(("and leaves the registry untouched", state() == restored, ""))
    version = run([WINE, exe, "--version"]).stdout.decode().strip()
    checks.append(("--version prints the version resource's, and which program this is",
                   version == "t_uninst %s (%d-bit Windows)" % (resource_version(exe), BITS), version))
    # What inventory tools and publisher rules read: every field, the
    # version the same as the numbers'.
    strings = version_strings(exe)
    fields = ["CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
              "OriginalFilename", "ProductName", "ProductVersion"]
    checks.append(("the version resource has every field, the version and the file's name right",
                   all(strings.get(f) for f in fields) and strings["OriginalFilename"] == "t_uninst.exe" and
                   strings["FileVersion"] == strings["ProductVersion"] == resource_version(exe), str(strings)))

    # Keys whose access control list denies DELETE to everyone, so that
    # they refuse full rights: a product code's key without subkeys,
    # which Wine deletes all the same, and one with a subkey, which
    # the walk with full rights cannot reach, so that it stays.
    removed64, removed32 = expected_removals(before).values()
    leaf = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\7D465AC418F4C2C4499266905AD7625A"
    parent = "SOFTWARE\\Classes\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2"
    # Wine keeps a key's access control list only while its server runs,
    # and the server ends a few seconds after its last program: an idle
    # program holds it up until the run has met the lists.
    keeper = subprocess.Popen([WINE, "cmd"], env=env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    for path in (leaf, parent):
        run([WINE, deny_rights, "64", path, "0x10000"])
    errors = []
    code = answer("Return", ["confirmation-refused", "leftovers"], errors=errors)
    keeper.stdin.close()
    keeper.wait(timeout=60)
    checks.append(("a key that cannot be removed exits with 5", code == 5, "exit code %d" % code))
    left = state()
    kept = {item for item in removed64 if item[0].startswith("HKEY_LOCAL_MACHINE\\" + parent.upper())}
    checks.append(("the key with a subkey stays", len(kept) > 1 and kept <= left["64"],
                   "kept: %s; gone: %s" % (len(kept), sorted(map(str, kept - left["64"]))[:5])))
    checks.append(("the rest of the product goes, the key without subkeys too",
                   left["64"] == (restored["64"] - removed64) | kept and left["32"] == restored["32"] - removed32,
                   "left: %s" % sorted(map(str, (left["64"] - (restored["64"] - removed64)) - kept))[:5]))
    lines = [line for line in errors[0].splitlines() if "\t" in line]
    checks.append(("it is listed, once, with the registry's reason",
                   len(lines) == 1 and lines[0].startswith(
                       "64-bit\tkey\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\t")
                   and len(lines[0].split("\t")) == 4, errors[0]))


def unattended(checks, before):
    asked = run([WINE, exe], check=False, more=EVENTS)
    checks.append(("without --quiet and with no display, nobody can answer: exit 6", asked.returncode == 6,
                   "exit code %d" % asked.returncode))
    checks.append(("it says so and changes nothing", b"--quiet" in asked.stderr and state() == before,
                   asked.stderr.decode(errors="replace")[-300:]))
    events = reported_events(asked.stderr)
    checks.append(("it reports the failure to the event log: an error, ID 6, why, no log, no backup",
                   len(events) == 1 and events[0][:2] == (ERROR, 6) and len(events[0][2]) == 3 and
                   event_has_text(events[0]) and
                   events[0][2][0].startswith("nobody can answer the confirmation") and events[0][2][1:] == ["", ""],
                   str(events)))
    # While Windows Installer installs something, a run changes nothing
    # and asks for a retry; the detection run still runs.
    holder = subprocess.Popen([WINE, hold_mutex], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    held = holder.stdout.readline().strip() == b"held"
    busy = run([WINE, exe, "--quiet"], check=False)
    # Wine hands Linux only the exit code's low byte; cmd.exe sees it whole.
    whole = run([WINE, "cmd", "/c", "start /wait %s --quiet & echo exit code %%ERRORLEVEL%%" % windows_path(exe)],
                check=False).stdout.decode().split()
    found = run([WINE, exe, "--check", "--quiet"], check=False)
    holder.stdin.close()
    holder.wait(timeout=60)
    checks.append(("while the Installer's mutex is held, a run exits with 1618", held and
                   busy.returncode == 1618 & 0xFF and whole[-3:] == ["exit", "code", "1618"],
                   "held: %s; exit code %d, in cmd: %s" % (held, busy.returncode, whole)))
    checks.append(("says why and changes nothing", b"Windows Installer" in busy.stderr and state() == before,
                   busy.stderr.decode(errors="replace")[-300:]))
    checks.append(("--check finds the traces all the same: exit 1, nothing printed",
                   found.returncode == 1 and not found.stdout, "exit code %d" % found.returncode))
    # Redirected to a file from a console of code page 932, the list is
    # in that code page, as `type` shows it.
    listed_file = os.path.join(out, "list.txt")
    run([WINE, "cmd", "/c", "chcp 932 >nul & %s --preview > %s" % (windows_path(exe), windows_path(listed_file))])
    with open(listed_file, "rb") as f:
        listing = f.read()
    checks.append(("--preview redirected in a code page 932 console writes code page 932",
                   "\\\u8868\u793a\u30bd\u30d5\u30c8\t".encode("cp932") in listing and
                   "\u8868\u793a".encode("utf-8") not in listing, repr(listing[-200:])))
    # As a deployment runs it, again and again: backups into a folder, a log.
    folder, log = FOLDER, os.path.join(out, "backups", UNSPELLABLE, "t_uninst %s.log" % UNSPELLABLE)
    line = ["--log", windows_path(log), "--backup", windows_path(folder) + "\\"]
    done = run([WINE, exe, "--quiet"] + line, check=False)
    written = sorted(os.listdir(folder), key=lambda name: name.endswith("-32bit.reg"))
    checks.append(("the backup goes into the folder, a file for each view", len(written) == 2 and
                   written[1] == written[0][:-4] + "-32bit.reg" and written[0].startswith("t_uninst-"), str(written)))
    backup = os.path.join(folder, written[0]) if written else os.path.join(folder, "missing.reg")
    if written:
        with open(backup, "rb") as f:
            comments = f.read().decode("utf-16")
        part = windows_path(os.path.join(folder, written[1]))
        checks.append(("the backup's longer than MAX_PATH names are whole in its comments", len(part) > 260 and
                       'reg import "%s" /reg:64' % windows_path(backup) in comments and
                       't_uninst --restore "%s"' % windows_path(backup) in comments and
                       '; The 32-bit view\'s part is in "%s".' % part in comments and
                       '\r\n; t_uninst-backup view=64-bit part32="%s"\r\n' % part in comments, comments[:600]))
    lines = done.stdout.decode("cp932").splitlines()
    checks.append(("--quiet with no display exits with 0", done.returncode == 0,
                   "exit code %d: %s" % (done.returncode, done.stderr.decode(errors="replace")[-300:])))
    after = state()
    check_removals(checks, "--quiet", before, after)
    removed = [line[len("removed\t"):] for line in lines if line.startswith("removed\t")]
    checks.append(("it writes a line for each removed item, then the totals",
                   removed and len(removed) == len(lines) - 1 and lines[-1].startswith("Removed "), str(lines[-1:])))
    check_named(checks, "--quiet's output", "\n".join(removed), before, after)

    again = run([WINE, exe, "/QUIET"] + line, check=False)
    checks.append(("a second run finds nothing and exits with 0", again.returncode == 0 and
                   again.stdout.decode("cp932") == "Nothing of ZobrikLine was found; nothing has been changed.\n"
                   "No backup was written: there was nothing to remove.\n",
                   "exit code %d: %r" % (again.returncode, again.stdout[-200:])))
    checks.append(("and changes nothing, and writes no backup", state() == after and
                   sorted(os.listdir(folder)) == sorted(written), str(os.listdir(folder))))
    checks.append(("the log is where it was named", os.path.exists(log), str(os.listdir(os.path.dirname(log)))))
    with open(log if os.path.exists(log) else os.devnull, "rb") as f:
        logged = f.read()
    entries = logged[3:].decode("utf-8").split("\r\n")
    checks.append(("the log is UTF-8 with a byte-order mark, its lines end in CR LF",
                   logged.startswith(b"\xef\xbb\xbf") and logged.endswith(b"\r\n") and
                   b"\n" not in logged.replace(b"\r\n", b""), repr(logged[:80])))
    # Wine quotes the folder, which holds a space, doubling its last backslash.
    named = ' --log "%s" --backup "%s\\\\"\tregistry: ' % (windows_path(log), windows_path(folder))
    headers = [e for e in entries if "\tt_uninst " in e and "(%d-bit Windows)\tcomputer " % BITS in e and "64-bit and 32-bit views" in e and
               "\tcommand line: " in e and named in e]
    checks.append(("the log names the backups whole", [e for e in entries if e.startswith("backup\t")] ==
                   ["backup\t" + windows_path(os.path.join(folder, w)) for w in written], str(entries[:3])))
    in_log = [e[len("removed\t"):] for e in entries if e.startswith("removed\t")]
    checks.append(("the log has both runs, each item removed, and the exit codes",
                   len(headers) == 2 and len(in_log) == len(removed) and
                   all(r.startswith(item + "\t") for r, item in zip(removed, in_log)) and
                   entries.count("No backup was written: there was nothing to remove.") == 1 and
                   len([e for e in entries if e.startswith("end\texit code 0\t")]) == 2, "\n".join(entries[-5:])))
    tried = [e for e in entries if e.startswith("deleting\t")]
    checks.append(("each removal is logged as it is tried, with the registry's answer, before the removed lines",
                   in_log and tried == ["deleting\t%s\tdone" % item for item in in_log] and
                   entries.index(tried[-1]) < entries.index("removed\t" + in_log[0]), "\n".join(tried[:3])))
    found = run([WINE, exe, "/Check"], check=False)
    checks.append(("/Check on the cleaned machine exits with 0", found.returncode == 0,
                   "exit code %d: %r" % (found.returncode, found.stdout[-200:])))
    # The undo on Windows itself: the named file and its 32-bit part, each
    # into its view; a second restore finds everything there. The first
    # restore reads the backups as the program wrote them before the line
    # made for it, by their English comments alone.
    written_bytes = {}
    for name in written:
        with open(os.path.join(folder, name), "rb") as f:
            written_bytes[name] = f.read()
        text = written_bytes[name].decode("utf-16")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(re.sub("; t_uninst-backup [^\r]*\r\n", "", text).encode("utf-16"))
    system = os.path.join(env["WINEPREFIX"], "drive_c", "windows")
    restore_log = os.path.join(system, "system32", "t_uninst restore %s.log" % UNSPELLABLE)
    restore = run([WINE, exe, "--log", "C:\\Windows\\System32\\" + os.path.basename(restore_log),
                   "--restore", windows_path(backup)], check=False)
    restored = state()
    redirected = os.path.join(system, "syswow64", os.path.basename(restore_log))
    checks.append(("the restore's log is in System32, not redirected to SysWOW64",
                   os.path.exists(restore_log) and not os.path.exists(redirected), restore.stderr.decode(errors="replace")[-300:]))
    with open(next((f for f in (restore_log, redirected) if os.path.exists(f)), os.devnull), "rb") as f:
        restore_entries = f.read()[3:].decode("utf-8").split("\r\n")
    said = [int(n) for n in re.findall(r"and (\d+) values? from", restore.stdout.decode("cp932"))]
    put_back = [e for e in restore_entries if e.startswith("restored\tvalue\tHKEY_")]
    checks.append(("the restore's log names each value it put back", said and len(put_back) == sum(said),
                   "said %s, logged %d" % (said, len(put_back))))
    for view in VIEWS:
        checks.append(("--restore gives the %s-bit view back" % view, restore.returncode == 0 and
                       restored[view] == before[view], "exit code %d; missing: %s; extra: %s" % (
                           restore.returncode, sorted(map(str, before[view] - restored[view]))[:5],
                           sorted(map(str, restored[view] - before[view]))[:5])))
    for name, data in written_bytes.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    again = run([WINE, exe, "--restore", windows_path(backup)], check=False)
    said = again.stdout.decode("cp932")
    checks.append(("a second restore changes nothing and says so", again.returncode == 0 and state() == restored and
                   said.count("nothing was changed") == 2, "exit code %d: %s" % (again.returncode, said)))
    fleet(checks)


def fleet(checks):
    """The .cmd files of docs/deploying.md, word for word, as a deployment
    tool runs them on a machine that has never had the program."""
    scripts = documented_scripts()
    checks.append(("the docs show the detection, the remediation and the start-up script",
                   sorted(scripts) == ["t_uninst-detect.cmd", "t_uninst-remediate.cmd", "t_uninst-startup.cmd"],
                   str(sorted(scripts))))
    package = os.path.join(out, "package")
    shutil.rmtree(package, ignore_errors=True)
    os.makedirs(package)
    shutil.copy(exe, os.path.join(package, "t_uninst.exe"))
    for name, text in scripts.items():
        with open(os.path.join(package, name), "wb") as f:
            f.write(text.replace("\n", "\r\n").encode("ascii"))

    def script(name, more=None):
        return run([WINE, "cmd", "/c", windows_path(os.path.join(package, name))], check=False, more=more)

    drive = os.path.join(env["WINEPREFIX"], "drive_c")
    keep = os.path.join(drive, "ProgramData", "t_uninst")
    checks.append(("the machine has no C:\\ProgramData\\t_uninst yet", not os.path.exists(keep), keep))
    dirty = state()
    detected = script("t_uninst-detect.cmd")
    checks.append(("the documented detection finds the traces: exit 1", detected.returncode == 1,
                   "exit code %d" % detected.returncode))
    done = script("t_uninst-remediate.cmd", EVENTS)
    cleaned = state()
    checks.append(("the documented remediation exits 0 there", done.returncode == 0,
                   "exit code %d: %s" % (done.returncode, done.stderr.decode(errors="replace")[-300:])))
    check_removals(checks, "the documented remediation", dirty, cleaned)
    kept = sorted(os.listdir(keep)) if os.path.isdir(keep) else []
    backups = [n for n in kept if n.startswith("t_uninst-") and n.endswith(".reg") and not n.endswith("-32bit.reg")]
    checks.append(("it made the folder, and keeps its log, its backup and the program there",
                   "t_uninst.log" in kept and "t_uninst.exe" in kept and len(backups) == 1, str(kept)))
    log_name = "C:\\ProgramData\\t_uninst\\t_uninst.log"
    backup_name = "C:\\ProgramData\\t_uninst\\" + (backups[0] if backups else "missing.reg")
    events = reported_events(done.stderr)
    checks.append(("it reports event 100 to the event log, with the totals, the log and the backup",
                   len(events) == 1 and events[0][:2] == (INFORMATION, 100) and len(events[0][2]) == 3 and
                   event_has_text(events[0]) and
                   events[0][2][0].startswith("Removed ") and events[0][2][1:] == [log_name, backup_name],
                   str(events)))
    again = script("t_uninst-remediate.cmd")
    checks.append(("run again, it exits 0, changes nothing and writes no backup", again.returncode == 0 and
                   state() == cleaned and sorted(os.listdir(keep)) == kept, "exit code %d" % again.returncode))
    clean = script("t_uninst-detect.cmd")
    found = run([WINE, exe, "/check"], check=False)
    checks.append(("then the documented detection, and /check, exit 0", clean.returncode == 0 and found.returncode == 0,
                   "exit codes %d and %d" % (clean.returncode, found.returncode)))
    with open(os.path.join(keep, "t_uninst.log") if "t_uninst.log" in kept else os.devnull, "rb") as f:
        logged = f.read().decode("utf-8-sig")
    line = '/quiet /log "%s" /backup "C:\\ProgramData\\t_uninst\\"\tregistry: ' % log_name
    checks.append(("the log keeps each command line as the script gave it", logged.count(line) == 2, logged[:500]))
    restore = run([WINE, exe, "/restore", backup_name], check=False, more=EVENTS)
    events = reported_events(restore.stderr)
    checks.append(("/restore of that backup puts the traces back, and reports event 101 with the backup",
                   restore.returncode == 0 and state() == dirty and len(events) == 1 and
                   events[0][:2] == (INFORMATION, 101) and events[0][2][0].startswith("Restored ") and
                   event_has_text(events[0]) and
                   events[0][2][2] == backup_name, "exit code %d: %s" % (restore.returncode, events)))
    # The start-up script, with ProgramData in a folder whose name has a
    # blank: /backup "C:\fleet test\with space\t_uninst\" in the script.
    with open(os.path.join(package, "spaced.cmd"), "wb") as f:
        f.write(b'@echo off\r\nset "ProgramData=C:\\fleet test\\with space"\r\n'
                b'call "%~dp0t_uninst-startup.cmd"\r\nexit /b %ERRORLEVEL%\r\n')
    spaced = os.path.join(drive, "fleet test", "with space", "t_uninst")
    started = script("spaced.cmd")
    checks.append(("the documented start-up script cleans, a quoted folder ending in a backslash its backup's",
                   started.returncode == 0 and state() == cleaned and os.path.isdir(spaced) and
                   len([n for n in os.listdir(spaced) if n.endswith(".reg")]) == 2,
                   "exit code %d: %s; %s" % (started.returncode, started.stderr.decode(errors="replace")[-300:],
                                            os.listdir(spaced) if os.path.isdir(spaced) else "no folder")))
    again = script("spaced.cmd")
    with open(os.path.join(spaced, "t_uninst.log") if os.path.isdir(spaced) else os.devnull, "rb") as f:
        runs = f.read().count(b"\tcommand line: ")
    checks.append(("at the next start-up it only checks: exit 0, nothing changed, no second run in the log",
                   again.returncode == 0 and state() == cleaned and runs == 1, "exit code %d; %d runs in the log" % (
                       again.returncode, runs)))


def main():
    why = wine_host.missing(BITS)
    if why:
        print(("SKIPPED: " if why[1] else "FAIL: ") + why[0], flush=True)
        return wine_host.SKIPPED if why[1] else 1
    run(["wineserver", "-k"], check=False)
    shutil.rmtree(env["WINEPREFIX"], ignore_errors=True)
    # A backup is never written over; no picture of an earlier run stays.
    for earlier in ["removed.reg", "removed-32bit.reg", "t_uninst.log"] + [f for f in os.listdir(out) if f.endswith(".png")]:
        if os.path.exists(os.path.join(out, earlier)):
            os.remove(os.path.join(out, earlier))
    shutil.rmtree(os.path.join(out, "backups"), ignore_errors=True)
    os.makedirs(FOLDER)
    xvfb = None
    if not UNATTENDED:
        # A display of its own: another run of this test (in another build
        # folder) may hold one.
        display = next(n for n in range(97, 200) if not os.path.exists("/tmp/.X%d-lock" % n))
        env["DISPLAY"] = ":%d" % display
        xvfb = subprocess.Popen(["Xvfb", env["DISPLAY"], "-screen", "0", "800x600x24"], stderr=subprocess.DEVNULL)
    else:
        env.pop("DISPLAY", None)
    checks = []  # (what, passed, detail)
    try:
        time.sleep(1)
        before = prepare(checks)
        (unattended if UNATTENDED else interactive)(checks, before)
    finally:
        if xvfb:
            xvfb.terminate()
    for what, passed, detail in checks:
        print("%s: %s%s" % ("ok" if passed else "FAIL", what, "" if passed else " (" + detail + ")"))
    failed = sum(1 for c in checks if not c[1])
    print("%d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0


sys.exit(main())
