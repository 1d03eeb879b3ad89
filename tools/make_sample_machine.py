#!/usr/bin/env python3
"""Writes the bundled sample machine registry and the state it must have
after a cleaning run, both in regedit's export form (UTF-16LE, CRLF).

Each key is marked with whether the product's traces include it; the
cleaned file is the sample without those keys and values, so it is made
without the program's help.  Run from the repository's top:
    python3 tools/make_sample_machine.py
"""

CV = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion"
COMPONENTS = CV + r"\Installer\Components"
SYSTEM_COMPONENTS = CV + r"\Installer\UserData\S-1-5-18\Components"
SYSTEM_PRODUCTS = CV + r"\Installer\UserData\S-1-5-18\Products"
PRODUCTS = CV + r"\Installer\Products"
CLASSES_PRODUCTS = r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Installer\Products"
UNINSTALL = CV + r"\Uninstall"
SHARED = CV + r"\SharedDLLs"

ZOBRIK_CODES = ["742B32A1FC9C5F347AEAB6F14FDB5BA2", "D8A919422052AC943BB73C84EEE607C8",
                "7D465AC418F4C2C4499266905AD7625A", "486937B92D41F74468E5822E516731A9"]
OTHER_CODE = "0A1B2C3D4E5F60718293A4B5C6D7E8F9"   # another product's
OTHER_CODE2 = "11223344556677889900AABBCCDDEEFF"

# Each key: (path, product trace?, [(value line, product trace?)]).
keys = []


def key(path, gone=False, values=()):
    keys.append((path, gone, [(v, False) if isinstance(v, str) else v for v in values]))


def hexbytes(data):
    return ",".join("%02x" % b for b in data)


def utf16z(text):
    return (text + "\0").encode("utf-16-le")


key(r"HKEY_LOCAL_MACHINE\SOFTWARE")
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes")
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Installer")
key(CLASSES_PRODUCTS)
for code in ZOBRIK_CODES:
    key(CLASSES_PRODUCTS + "\\" + code, True, ['"ProductName"="ZobrikLine"', '"Language"=dword:00000411'])
    key(CLASSES_PRODUCTS + "\\" + code + r"\SourceList", True, ['"PackageName"="ZobrikLine.msi"'])
key(CLASSES_PRODUCTS + "\\" + OTHER_CODE, False, ['"ProductName"="Other Viewer"'])
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft")
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows")
key(CV, False, ['"ProgramFilesDir"="C:\\\\Program Files"'])
key(CV + r"\Installer")
key(COMPONENTS, False, [
    # A value named as a component of the product goes with that component.
    ('"0D3C2B1A99887766554433221100FFEE"="C:\\\\Program Files\\\\ZobrikLine\\\\"', True),
    '"5E6F7A8B9C0D1E2F3A4B5C6D7E8F9A0B"="C:\\\\Program Files\\\\Other\\\\"',
])
key(COMPONENTS + r"\0D3C2B1A99887766554433221100FFEE", True,
    ['"' + ZOBRIK_CODES[0] + '"="C:\\\\Program Files\\\\ZobrikLine\\\\zl.exe"'])
key(COMPONENTS + r"\0D3C2B1A99887766554433221100FFEE\Sub", True, ['"x"=dword:00000001'])
key(COMPONENTS + r"\0D3C2B1A99887766554433221100FFEE\Sub\Deeper", True)
key(COMPONENTS + r"\1A2B3C4D5E6F708192A3B4C5D6E7F809", True,
    ['"' + ZOBRIK_CODES[1] + '"=dword:00000000', '"ZOBRIKLINE.Core"="C:\\\\Common\\\\core.dll"'])
key(COMPONENTS + r"\5E6F7A8B9C0D1E2F3A4B5C6D7E8F9A0B", False,
    ['"' + OTHER_CODE + '"="C:\\\\Program Files\\\\Other\\\\other.exe"'])
# Full-width letters are no match.
key(COMPONENTS + r"\6F7A8B9C0D1E2F3A4B5C6D7E8F9A0B1C", False,
    ['"' + OTHER_CODE + '"="C:\\\\Ｐｒｏｇｒａｍ\\\\ＺｏｂｒｉｋＬｉｎｅ\\\\a.exe"'])
# The keyword after an embedded NUL is not part of the text.
key(COMPONENTS + r"\7A8B9C0D1E2F3A4B5C6D7E8F9A0B1C2D", False,
    ['"' + OTHER_CODE + '"=hex(1):' + hexbytes("C:\\x\0zobrik\0".encode("utf-16-le"))])
# Only the key's values count, not its name or its subkeys.
key(COMPONENTS + r"\8B9C0D1E2F3A4B5C6D7E8F9A0B1C2DZB", False, ['"' + OTHER_CODE2 + '"="C:\\\\Tools\\\\t.exe"'])
key(COMPONENTS + r"\8B9C0D1E2F3A4B5C6D7E8F9A0B1C2DZB\zobrik", False, ['"zobrik"="zobrik"'])
key(CV + r"\Installer\UserData")
key(CV + r"\Installer\UserData\S-1-5-18")
key(SYSTEM_COMPONENTS)
key(SYSTEM_COMPONENTS + r"\0D3C2B1A99887766554433221100FFEE", True,
    ['"' + ZOBRIK_CODES[0] + '"="C:\\\\Program Files\\\\ZobrikLine\\\\zl.exe"'])
key(SYSTEM_COMPONENTS + r"\9C0D1E2F3A4B5C6D7E8F9A0B1C2D3E4F", True,
    ['"' + ZOBRIK_CODES[2] + '"=hex(2):' + hexbytes(utf16z(r"%ProgramFiles%\zobrikline\help.chm"))])
key(SYSTEM_COMPONENTS + r"\5E6F7A8B9C0D1E2F3A4B5C6D7E8F9A0B", False,
    ['"' + OTHER_CODE + '"="C:\\\\Program Files\\\\Other\\\\other.exe"'])
key(SYSTEM_PRODUCTS)
for code in ZOBRIK_CODES[:3]:  # one code missing here changes nothing
    key(SYSTEM_PRODUCTS + "\\" + code, True)
    key(SYSTEM_PRODUCTS + "\\" + code + r"\InstallProperties", True,
        ['"DisplayName"="ZobrikLine"', '"VersionMajor"=dword:00000003'])
key(SYSTEM_PRODUCTS + "\\" + OTHER_CODE)
key(SYSTEM_PRODUCTS + "\\" + OTHER_CODE + r"\InstallProperties", False, ['"DisplayName"="Other Viewer"'])
key(PRODUCTS)
for code in ZOBRIK_CODES:
    key(PRODUCTS + "\\" + code, True, ['"ProductName"="ZobrikLine"'])
key(PRODUCTS + "\\" + OTHER_CODE2, False, ['"ProductName"="Tools"'])
key(SHARED, False, [
    ('"C:\\\\Program Files\\\\ZobrikLine\\\\zlcore.dll"=dword:00000001', True),
    '"C:\\\\WINDOWS\\\\system32\\\\other.dll"=dword:00000002',
    ('"C:\\\\Program Files\\\\Common Files\\\\ZOBRIKLINE\\\\zlshared.dll"=hex:01', True),
    '"C:\\\\Program Files\\\\Other\\\\readme.txt"="zobrik"',
])
key(SHARED + r"\ZobrikCache", True, ['"a"=dword:00000001'])
key(SHARED + r"\ZobrikCache\Inner", True)
key(SHARED + r"\Other", False, ['"path"="C:\\\\Program Files\\\\ZobrikLine\\\\x.dll"'])
key(UNINSTALL)
key(UNINSTALL + r"\{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}", True, [
    '"NoModify"=dword:00000001', '"DisplayName"="ZobrikLine"', '"EstimatedSize"=dword:00001234',
    '"UninstallString"="MsiExec.exe /X{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}"'])
key(UNINSTALL + r"\表示ソフト", True, ['"DisplayName"="表示ソフト ZobrikLine連携"', '"NoRepair"=dword:00000001'])
key(UNINSTALL + r"\ZobrikLine Viewer Classic", False, ['"DisplayName"="Viewer Classic"', '"Publisher"="Someone"'])
key(UNINSTALL + r"\OtherViewer", False, [
    '"DisplayName"="Other Viewer"', '"DisplayVersion"="2.1"', '"NoModify"=dword:00000001',
    '"Publisher"="Other Corp."'])
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\ZobrikLine")
key(r"HKEY_LOCAL_MACHINE\SOFTWARE\ZobrikLine\Settings", False, ['"Theme"="dark"', '"Zoom"=dword:00000064'])


def render(cleaned):
    out = ["Windows Registry Editor Version 5.00", ""]
    for path, gone, values in keys:
        if cleaned and gone:
            continue
        out.append("[" + path + "]")
        out.extend(v for v, trace in values if not (cleaned and trace))
        out.append("")
    return ("\r\n".join(out) + "\r\n").encode("utf-16-le")


for name, cleaned in (("sample/machine.reg", False), ("tests/data/machine.cleaned.reg", True)):
    with open(name, "wb") as f:
        f.write(b"\xff\xfe" + render(cleaned))
