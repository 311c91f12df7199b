#!/usr/bin/env python3
"""fault_test.py disk-full|killed|windows-copy BIN GENPROFILE

The client's start-up call (fault_host.exe, under Wine) on generated profiles
while the machine misbehaves for real:

  disk-full  the user's folder is on a tmpfs volume with every amount of free
             space from none to enough, in steps of one page, and then on the
             same volume mounted read-only; needs root to mount it.
  killed     the start-up process is killed (SIGKILL) at random moments of its
             first start, many times, half of them while it writes a landscape.
  windows-copy  the landscapes left in the Windows folder are copied into the
             user's folder on that volume, with every amount of free space from
             none to enough; it writes into the Windows folder of WINEPREFIX,
             which must be a prefix of its own.

Whatever happens, the host process survives (or is the one killed), qorlogon.ini
stays byte for byte, every landscape file parses, no landscape loses an element
it had, no temporary file is left behind by a start that ended, and the call
reports success only when every file was written whole. Exit code 77 means that
the machine cannot provide the fault (ctest reports the test as skipped);
LANDSCAPE_REQUIRE_FAULTS=1 turns that into a failure, as CI sets it.
"""
import glob
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

SKIP = 77
PAGE = 4096
OLD_SERVERS = 1400  # in the shared landscape before the start
NEW_SERVERS = 50    # only in qormsg.ini
ROUTERS = ["Frankfurt", "Singapore"]


class Checks:
    """One behaviour per check; a failure names what was seen."""

    def __init__(self):
        self.failures = []

    def equal(self, expected, actual, what):
        if expected != actual:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")
        return expected == actual

    def true(self, condition, what):
        if not condition:
            self.failures.append(what)
        return condition


# --- the profile -------------------------------------------------------------

def server_name(i):
    return f"S{i:04d}"


def shared_landscape():
    """A shared landscape of OLD_SERVERS message servers (about 200 KB)."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Landscape>", "  <Messageservers>"]
    for i in range(OLD_SERVERS):
        lines.append(f'    <Messageserver uuid="{i:08d}-0000-4000-8000-000000000000" name="{server_name(i)}" '
                     f'description="Message server {i} of the example company, Zone {i % 7}" '
                     f'host="ms{i:04d}.example.com" port="{3600 + i % 90}"/>')
    lines += ["  </Messageservers>", "</Landscape>", ""]
    return "\n".join(lines).encode("utf-8")


def write_profile(root, genprofile, entries):
    common = os.path.join(root, "AppData", "QOR", "Common")
    windows = os.path.join(root, "Windows")
    for folder in (common, os.path.join(windows, "System32", "drivers", "etc"),
                   os.path.join(root, "ProgramData", "QOR", "TEDU")):
        os.makedirs(folder, exist_ok=True)
    subprocess.run([sys.executable, genprofile, str(entries), os.path.join(common, "qorlogon.ini")], check=True)
    with open(os.path.join(common, "QORUILandscapeGlobal.xml"), "wb") as out:
        out.write(shared_landscape())
    servers = range(OLD_SERVERS + NEW_SERVERS)
    with open(os.path.join(windows, "qormsg.ini"), "w", newline="\r\n") as out:
        out.write("[Message Servers]\n" + "".join(f"{server_name(i)}=ms{i:04d}.example.com\n" for i in servers))
        out.write("[Descriptions]\n" + "".join(f"{server_name(i)}=Server {i}\n" for i in servers))
    with open(os.path.join(windows, "System32", "drivers", "etc", "services"), "w", newline="\r\n") as out:
        out.write("".join(f"qorms{server_name(i)}  {3600 + i % 90}/tcp\n" for i in servers))
    with open(os.path.join(windows, "qorroute.ini"), "w", newline="\r\n") as out:
        out.write("[Router]\n" + "".join(f"{name}=/H/router-{name.lower()}.example.com/S/3299\n"
                                         for name in ROUTERS))
    return common


def entry_count(ini):
    text = open(ini, encoding="latin-1").read()
    return len(re.findall(r"^\[(Connection|Shortcut) ", text, re.M))


def elements(path):
    """Every element of a landscape as (path of tags, sorted attributes), with repeats."""
    found = []

    def walk(element, trail):
        trail = trail + "/" + element.tag
        found.append((trail, tuple(sorted(element.attrib.items()))))
        for child in element:
            walk(child, trail)

    walk(ElementTree.parse(path).getroot(), "")
    return found


def lost_elements(before, after):
    """What of `before` is not in `after`. The include's location is what a start
    rewrites on purpose, so an include counts by its index alone."""
    def identity(element):
        trail, attributes = element
        if trail == "/Landscape/Includes/Include":
            attributes = tuple(a for a in attributes if a[0] != "url")
        return trail, attributes

    before, after = [identity(e) for e in before], [identity(e) for e in after]
    remaining = list(after)
    lost = []
    for element in before:
        if element in remaining:
            remaining.remove(element)
        else:
            lost.append(element)
    return lost


# --- Wine ----------------------------------------------------------------------

def windows_path(path):
    """Wine's drive Z: is the root of the file system."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Host:
    def __init__(self, bin_dir, traces):
        self.program = os.path.join(bin_dir, "fault_host.exe")
        self.traces = traces
        os.makedirs(traces, exist_ok=True)

    def command(self, registry, profile):
        return ["wine", self.program, "start", registry, windows_path(profile), windows_path(self.traces)]

    def start(self, registry, profile):
        """Runs a start to its end: (exit code, output)."""
        for attempt in range(2):
            code, output = self.run(self.command(registry, profile))
            # Wine now and then loses a process start: exit code 1, no output.
            if not (code == 1 and not output):
                break
        return code, output

    def run(self, command):
        # Output goes through a file, not a pipe: the Wine system processes that
        # the first program of a session starts inherit its handles and keep a
        # pipe open until the Wine server ends, seconds later.
        with tempfile.TemporaryFile() as output:
            code = subprocess.run(command, stdout=output, stderr=subprocess.STDOUT,
                                  env=dict(os.environ, LD_MIG_TRC_LEVEL="1")).returncode
            output.seek(0)
            return code, output.read().decode("utf-8", "replace")

    def forget(self, registry):
        self.run(["wine", self.program, "forget", registry])

    def record(self, registry, state):
        self.run(["wine", self.program, "record", registry, str(state)])


def outcome(output):
    match = re.search(r"result=(\d) state=(\d+) core=(.*)", output)
    return (match.group(1) == "1", int(match.group(2)), match.group(3).strip()) if match else None


# --- what must hold after any start ----------------------------------------------

def check_files(checks, label, common, before, ini_bytes):
    """Nothing lost: returns the elements of every landscape now there."""
    checks.equal(ini_bytes, open(os.path.join(common, "qorlogon.ini"), "rb").read(),
                 f"{label}: qorlogon.ini byte for byte")
    now = {}
    for path in sorted(glob.glob(os.path.join(common, "*.xml"))):
        name = os.path.basename(path)
        try:
            now[name] = elements(path)
        except ElementTree.ParseError as error:
            checks.true(False, f"{label}: {name} does not parse ({error}), {os.path.getsize(path)} bytes")
    for name, old in before.items():
        checks.true(name in now, f"{label}: {name} is gone")
        lost = lost_elements(old, now.get(name, old))
        checks.equal(0, len(lost), f"{label}: elements lost from {name} (first: {lost[:1]})")
    backups = [os.path.basename(p) for p in glob.glob(os.path.join(common, "*.bak*"))]
    checks.equal([], backups, f"{label}: backups of files that did not load")
    return now


def check_complete(checks, label, now, entries, shared_path):
    """A start that reported success wrote every file whole."""
    shared = now.get("QORUILandscapeGlobal.xml", [])
    servers = {dict(a)["name"] for t, a in shared if t.endswith("/Messageserver")}
    routers = {dict(a)["name"] for t, a in shared if t.endswith("/Router")}
    checks.equal(OLD_SERVERS + NEW_SERVERS, len(servers), f"{label}: message servers in the shared landscape")
    checks.equal(set(ROUTERS), routers, f"{label}: routers in the shared landscape")
    user = now.get("QORUILandscape.xml", [])
    services = [a for t, a in user if t == "/Landscape/Services/Service"]
    checks.equal(entries, len(services), f"{label}: connections and shortcuts in the user landscape")
    includes = [dict(a).get("url") for t, a in user if t == "/Landscape/Includes/Include"]
    checks.equal([shared_path], includes, f"{label}: the user landscape's include")


# --- disk full ---------------------------------------------------------------

class Volume:
    """A tmpfs volume whose free space can be set to the page."""

    def __init__(self, path):
        self.path = path
        os.makedirs(path, exist_ok=True)
        self.mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64m,mode=0755", "tmpfs", path],
                                      capture_output=True).returncode == 0

    def empty(self):
        subprocess.run(["mount", "-o", "remount,size=64m", self.path], check=True)
        for name in os.listdir(self.path):
            shutil.rmtree(os.path.join(self.path, name))

    def read_only(self, yes):
        subprocess.run(["mount", "-o", "remount," + ("ro" if yes else "rw"), self.path], check=True)

    def leave_free(self, free):
        stats = os.statvfs(self.path)
        used = (stats.f_blocks - stats.f_bfree) * stats.f_frsize
        subprocess.run(["mount", "-o", f"remount,size={used + free}", self.path], check=True)
        stats = os.statvfs(self.path)
        return stats.f_bavail * stats.f_frsize

    def close(self):
        if self.mounted:
            subprocess.run(["umount", self.path])


def disk_full(bin_dir, genprofile, work):
    checks = Checks()
    host = Host(bin_dir, os.path.join(work, "traces"))
    volume = Volume(os.path.join(work, "volume"))
    if not volume.mounted:
        return checks, "cannot mount a tmpfs volume here (this test needs root)"
    try:
        template = os.path.join(work, "template")
        common = write_profile(template, genprofile, 300)
        entries = entry_count(os.path.join(common, "qorlogon.ini"))
        # The same profile with both landscapes, as a complete first start leaves them.
        both = os.path.join(work, "both")
        shutil.copytree(template, both)
        host.start("disk-full\\complete", both)
        host.forget("disk-full")
        for number, (scenario, source) in enumerate((("no user landscape", template), ("both landscapes", both))):
            fitted = None
            for free in range(0, 4096 * PAGE, PAGE):
                volume.empty()
                shutil.copytree(source, os.path.join(volume.path, "p"))
                profile = os.path.join(volume.path, "p")
                common = os.path.join(profile, "AppData", "QOR", "Common")
                before = {os.path.basename(p): elements(p) for p in glob.glob(os.path.join(common, "*.xml"))}
                ini_bytes = open(os.path.join(common, "qorlogon.ini"), "rb").read()
                left = volume.leave_free(free)
                label = f"{scenario}, {left // 1024} KB free"
                code, output = host.start(f"disk-full\\{number}-{free}", profile)
                result = outcome(output)
                checks.equal(0, code, f"{label}: exit code of the host (output {output!r})")
                if not checks.true(result is not None, f"{label}: the host printed no result: {output!r}"):
                    continue
                now = check_files(checks, label, common, before, ini_bytes)
                checks.equal([], glob.glob(os.path.join(common, "qor*.tmp")), f"{label}: temporary files left")
                if result[0]:
                    check_complete(checks, label, now, entries,
                                   windows_path(os.path.join(common, "QORUILandscapeGlobal.xml")))
                    fitted = left
                    break
            host.forget("disk-full")
            checks.true(fitted is not None, f"{scenario}: no volume was large enough for the start to succeed")
            print(f"{scenario}: the first start to report success had {(fitted or 0) // 1024} KB free")
            read_only_volume(checks, host, volume, source, scenario)
    finally:
        volume.close()
    return checks, None


def read_only_volume(checks, host, volume, source, scenario):
    """A folder that cannot be written at all: the start fails and changes nothing."""
    volume.empty()
    profile = os.path.join(volume.path, "p")
    shutil.copytree(source, profile)
    common = os.path.join(profile, "AppData", "QOR", "Common")
    before = {name: open(os.path.join(common, name), "rb").read() for name in os.listdir(common)}
    volume.read_only(True)
    try:
        code, output = host.start("disk-full\\read-only", profile)
    finally:
        volume.read_only(False)
    host.forget("disk-full")
    label = f"{scenario}, read-only volume"
    result = outcome(output)
    checks.equal(0, code, f"{label}: exit code of the host (output {output!r})")
    checks.equal(False, result[0] if result else None, f"{label}: what the call reported")
    after = {name: open(os.path.join(common, name), "rb").read() for name in os.listdir(common)}
    checks.equal(sorted(before), sorted(after), f"{label}: the files of the client folder")
    for name in before:
        checks.true(before[name] == after.get(name), f"{label}: {name} changed")


# --- the copies from the Windows folder on a full volume ------------------------

def windows_copy(bin_dir, genprofile, work):
    """The user landscape (small) and the global one (large) of the Windows
    folder are copied in while the volume fills up: the user landscape fits
    first, the global one later. A copy that does not fit is no copy: the
    user's folder holds the file as it was or the whole copy, never a part.
    State 2 is recorded, so nothing but the copies writes there."""
    checks = Checks()
    host = Host(bin_dir, os.path.join(work, "traces"))
    volume = Volume(os.path.join(work, "volume"))
    if not volume.mounted:
        return checks, "cannot mount a tmpfs volume here (this test needs root)"
    windows = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows")
    copies = {"QORUILandscape.xml": b'<?xml version="1.0" encoding="UTF-8"?>\r\n<Landscape/>\r\n',
              "QORUILandscapeGlobal.xml": shared_landscape().replace(b".example.com", b".installed.example.com")}
    try:
        for name, content in copies.items():
            with open(os.path.join(windows, name), "wb") as out:
                out.write(content)
        template = os.path.join(work, "template")
        write_profile(template, genprofile, 30)
        local_global = open(os.path.join(template, "AppData", "QOR", "Common", "QORUILandscapeGlobal.xml"), "rb").read()
        copied = {}
        for free in range(0, 256 * PAGE, PAGE):
            volume.empty()
            profile = os.path.join(volume.path, "p")
            shutil.copytree(template, profile)
            common = os.path.join(profile, "AppData", "QOR", "Common")
            left = volume.leave_free(free)
            label = f"{left // 1024} KB free"
            registry = f"windows-copy\\{free}"
            host.record(registry, 2)
            code, output = host.start(registry, profile)
            host.forget(registry)
            result = outcome(output)
            checks.equal(0, code, f"{label}: exit code of the host (output {output!r})")
            checks.equal([], glob.glob(os.path.join(common, "qor*.tmp")), f"{label}: temporary files left")
            if not checks.true(result is not None, f"{label}: the host printed no result: {output!r}"):
                continue
            files = {name: open(os.path.join(common, name), "rb").read()
                     for name in copies if os.path.exists(os.path.join(common, name))}
            if result[1] != 2:  # the user landscape did not fit: a first migration ran on the full volume
                checks.true("QORUILandscape.xml" not in files or files["QORUILandscape.xml"] !=
                            copies["QORUILandscape.xml"], f"{label}: state {result[1]} after a whole copy")
                continue
            checks.equal(copies["QORUILandscape.xml"], files.get("QORUILandscape.xml"),
                         f"{label}: the user landscape, with state 2 kept")
            checks.true(files.get("QORUILandscapeGlobal.xml") in (local_global, copies["QORUILandscapeGlobal.xml"]),
                        f"{label}: the global landscape is the old one or the whole copy, "
                        f"{len(files.get('QORUILandscapeGlobal.xml', b''))} bytes")
            for name in copies:
                if name not in copied and files.get(name) == copies[name]:
                    copied[name] = left
            if len(copied) == len(copies):
                break
        for name in copies:
            checks.true(name in copied, f"{name}: no volume was large enough for the copy")
        print("copied with " + ", ".join(f"{name} {left // 1024} KB free" for name, left in copied.items()))
    finally:
        for name in copies:
            if os.path.exists(os.path.join(windows, name)):
                os.remove(os.path.join(windows, name))
        volume.close()
    return checks, None


# --- killed -----------------------------------------------------------------------

def killed(bin_dir, genprofile, work, iterations=24, seed=20261207):
    checks = Checks()
    host = Host(bin_dir, os.path.join(work, "traces"))
    rnd = random.Random(seed)
    template = os.path.join(work, "template")
    common = write_profile(template, genprofile, 20000)
    entries = entry_count(os.path.join(common, "qorlogon.ini"))
    ini_bytes = open(os.path.join(common, "qorlogon.ini"), "rb").read()
    before = {os.path.basename(p): elements(p) for p in glob.glob(os.path.join(common, "*.xml"))}

    timing = os.path.join(work, "timing")
    shutil.copytree(template, timing)
    began = time.monotonic()
    host.start("killed\\timing", timing)
    whole = time.monotonic() - began
    stale = 0
    for i in range(iterations):
        profile = os.path.join(work, f"run{i}")
        shutil.copytree(template, profile)
        common = os.path.join(profile, "AppData", "QOR", "Common")
        registry = f"killed\\{i}"
        process = subprocess.Popen(host.command(registry, profile), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, env=dict(os.environ, LD_MIG_TRC_LEVEL="1"))
        if i % 2:  # while a landscape is being written: the first, second, ... save of the start
            wanted, seen = rnd.randint(1, 4), set()
            deadline = time.monotonic() + 2 * whole + 10
            while len(seen) < wanted and process.poll() is None and time.monotonic() < deadline:
                seen.update(glob.glob(os.path.join(common, "qor*.tmp")))
                time.sleep(0.001)
            time.sleep(rnd.uniform(0, 0.03))
            when = f"during save {wanted}"
        else:
            delay = rnd.uniform(0.1, whole)
            time.sleep(delay)
            when = f"after {delay:.2f} s"
        process.send_signal(signal.SIGKILL)
        process.wait()
        label = f"run {i}, killed {when}"
        check_files(checks, label, common, before, ini_bytes)
        code, output = host.start(registry, profile)
        result = outcome(output)
        label = f"run {i}, the start after the kill {when}"
        checks.equal(0, code, f"{label}: exit code of the host (output {output!r})")
        checks.true(result is not None, f"{label}: the host printed no result: {output!r}")
        # Whether the killed start had finished its work or not, the user now has it all.
        now = check_files(checks, label, common, before, ini_bytes)
        check_complete(checks, label, now, entries, windows_path(os.path.join(common, "QORUILandscapeGlobal.xml")))
        # A temporary file of the killed start stays behind; nothing reads it.
        stale += len(glob.glob(os.path.join(common, "qor*.tmp")))
        shutil.rmtree(profile)
    host.forget("killed")
    print(f"{iterations} first starts killed, {iterations // 2} of them while a landscape was being written; "
          f"{stale} temporary files of killed starts were left behind")
    return checks, None


def main():
    tests = {"disk-full": disk_full, "killed": killed, "windows-copy": windows_copy}
    if len(sys.argv) != 4 or sys.argv[1] not in tests:
        print(__doc__)
        return 2
    test, bin_dir, genprofile = sys.argv[1:]
    with tempfile.TemporaryDirectory(dir=os.environ.get("FAULT_TEST_WORK")) as work:
        checks, missing = tests[test](bin_dir, genprofile, work)
    if missing:
        print(f"SKIPPED: {missing}")
        return 1 if os.environ.get("LANDSCAPE_REQUIRE_FAULTS") == "1" else SKIP
    for failure in checks.failures:
        print("FAILED:", failure)
    print(f"{test}: {len(checks.failures)} failed checks")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
