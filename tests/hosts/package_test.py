"""The two ZIP packages, made by cpack and unpacked into an empty folder: the
client's part holds the library, the administrators' command and the
documentation; the stand-ins' part the client's components, the start-up host
and the sample. Unpacked together, the start-up host migrates the sample
profile from there.

In the 32-bit packages both parts also hold libgcc's unwinder, which every
32-bit module shares (docs/building.md).

    package_test.py BUILD_DIR win64|win32 VERSION"""
import os, subprocess, sys, tempfile, zipfile

from batch_support import Checks, windows

build, architecture, version = sys.argv[1], sys.argv[2], sys.argv[3]
checks = Checks()
check = checks.check

CLIENT = {"bin/landscape_migration.dll", "bin/landscape_migrate.exe", "doc/README.md", "doc/administrators.md",
          "doc/report.schema.json"}
STANDINS = {"bin/qorutil.dll", "bin/qorcdm.dll", "bin/qorcdm2.dll", "bin/qorcdm_proxy.dll", "bin/logon_startup.exe",
            "sample/AppData/QOR/Common/qorlogon.ini"}
RUNTIME = {"bin/libgcc_s_dw2-1.dll", "bin/libwinpthread-1.dll"} if architecture == "win32" else set()
CLIENT |= RUNTIME
STANDINS |= RUNTIME


def reg(*arguments):
    return subprocess.run(["wine", "reg", *arguments], capture_output=True)


with tempfile.TemporaryDirectory() as work:
    made = subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", work],
                          capture_output=True, text=True)
    check(made.returncode == 0, f"cpack: {made.stdout}{made.stderr}")
    zips = sorted(name for name in os.listdir(work) if name.endswith(".zip"))
    check(zips == [f"landscape_migration-{version}-{architecture}-client.zip",
                   f"landscape_migration-{version}-{architecture}-standins.zip"], f"packages: {zips}")
    unpacked = os.path.join(work, "unpacked")
    os.mkdir(unpacked)
    contents = {}
    for name in zips:
        with zipfile.ZipFile(os.path.join(work, name)) as archive:
            contents[name] = {entry for entry in archive.namelist() if not entry.endswith("/")}
            archive.extractall(unpacked)
    client = next((files for name, files in contents.items() if name.endswith("-client.zip")), set())
    standins = next((files for name, files in contents.items() if name.endswith("-standins.zip")), set())
    check(CLIENT <= client, f"the client's part lacks {sorted(CLIENT - client)}")
    check(STANDINS <= standins, f"the stand-ins' part lacks {sorted(STANDINS - standins)}")
    check(not any(name.startswith("bin/") and name not in CLIENT for name in client),
          f"the client's part holds other binaries: {sorted(n for n in client if n.startswith('bin/'))}")
    check(client & standins == RUNTIME, f"in both parts: {sorted(client & standins)}")

    # The start-up host as a user would run it from the unpacked folder, on the
    # sample; the user's QOR key is set aside for the run. Wine sets APPDATA,
    # ProgramData and windir itself, so a batch file sets them for the host.
    sample = os.path.join(unpacked, "sample")
    script = os.path.join(work, "start.bat")
    with open(script, "w", newline="\r\n") as batch:
        batch.write("@echo off\n")
        for name, folder in (("APPDATA", "AppData"), ("ProgramData", "ProgramData"), ("windir", "Windows")):
            batch.write(f"set {name}={windows(os.path.join(sample, folder))}\n")
        batch.write("set QORLOGON_LSXML=\nset QORLOGON_INI=\nset QOR_TRACE_DIR=\nset LD_MIG_TRC_LEVEL=\n")
        batch.write(f'"{windows(os.path.join(unpacked, "bin", "logon_startup.exe"))}"\n')
    saved = os.path.join(work, "qor-key.reg")
    if reg("export", r"HKCU\Software\QOR", windows(saved), "/y").returncode != 0:
        saved = None
    reg("delete", r"HKCU\Software\QOR", "/f")
    try:
        started = subprocess.run(["wine", "cmd", "/c", windows(script)], cwd=work, capture_output=True, text=True,
                                 errors="replace")
    finally:
        reg("delete", r"HKCU\Software\QOR", "/f")
        if saved:
            reg("import", windows(saved))
    check(started.returncode == 0, f"logon_startup exit code {started.returncode}: {started.stdout}{started.stderr}")
    check("Execute_Landscape_Migration_Check: a migration step ran" in started.stdout, started.stdout)
    landscape = os.path.join(sample, "AppData", "QOR", "Common", "QORUILandscape.xml")
    check(os.path.exists(landscape) and 'name="ERP Quality (QAS)"' in open(landscape, encoding="utf-8").read(),
          "the sample's connections in the unpacked folder's user landscape")

checks.finish()
