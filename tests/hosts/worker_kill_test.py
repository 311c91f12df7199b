#!/usr/bin/env python3
"""worker_kill_test.py BIN GENPROFILE: a batch over 30 generated profiles with 2
workers, one of which is killed while it migrates: only the profile it held is
failed, with the worker's exit code, and keeps no new file; every other profile
is migrated and verified; a second run migrates the failed one."""
import os, re, signal, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from batch_support import Checks, batch, files, load_report, make_profile, start_batch

bin_dir, genprofile = sys.argv[1], sys.argv[2]
checks = Checks()
check = checks.check
new_files = ("QORUILandscape.xml", "QORUILandscapeGlobal.xml")


def workers():
    """The Linux processes of the batch's workers, from /proc."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            command = open(f"/proc/{pid}/cmdline", "rb").read().replace(b"\0", b" ")
        except OSError:
            continue
        if b"landscape_migrate.exe --batch-worker" in command:
            found.append(int(pid))
    return sorted(found)


def migrated_so_far(root):
    return sum(1 for d, _, names in os.walk(root) if "QORUILandscape.xml" in names)


with tempfile.TemporaryDirectory() as work:
    root = os.path.join(work, "profiles")
    expected = {}
    for i in range(30):
        common, counts = make_profile(genprofile, root, f"user{i:02d}", 150 + i)
        expected[common] = counts
    old_files = {path: content for path, content in files(root).items()}

    report = os.path.join(work, "first.json")
    with tempfile.TemporaryFile() as output:
        run = start_batch(bin_dir, root, report, output)
        deadline = time.time() + 120
        while time.time() < deadline and (len(workers()) < 2 or migrated_so_far(root) < 4):
            time.sleep(0.05)
        running = workers()
        check(len(running) == 2, f"workers before the kill: {running}")
        killed = running[0] if running else None
        if killed:
            os.kill(killed, signal.SIGKILL)
        code = run.wait(timeout=300)
    first = load_report(report)

    check(code == 1, f"exit code {code}")
    failed = [p for p in first["profiles"] if p["result"] == "failed"]
    check(len(failed) == 1, f"failed profiles: {failed}")
    for profile in failed:
        reasons = [problem["reason"] for problem in profile["problems"]]
        check(len(reasons) == 1 and re.fullmatch(
            r"the worker process ended with exit code 0x[0-9A-F]{8} during this profile", reasons[0]),
              f"why {profile['profile']} failed: {reasons}")
        folder = [common for common in expected if profile["profile"].endswith(
            os.path.relpath(common, root).replace("/", "\\"))]
        check(len(folder) == 1, f"the failed profile {profile['profile']} among {list(expected)[:2]}...")
        for common in folder:
            left = [name for name in new_files if os.path.exists(os.path.join(common, name))]
            check(not left, f"the failed profile keeps {left}")
    others = [p for p in first["profiles"] if p["result"] != "failed"]
    check(len(others) == 29, f"{len(others)} other profiles")
    for profile in others:
        check(profile["result"] == "migrated" and not profile["problems"],
              f"{profile['profile']}: {profile['result']} {profile['problems']}")
    by_name = {os.path.relpath(common, root).replace("/", "\\"): counts for common, counts in expected.items()}
    for profile in others:
        name = next((n for n in by_name if profile["profile"].endswith(n)), None)
        check(name is not None and (profile["folders"], profile["entries"]) == by_name[name],
              f"{profile['profile']}: {profile['folders']} folders, {profile['entries']} entries, "
              f"expected {by_name.get(name)}")
    now = files(root)
    check(all(now.get(path) == content for path, content in old_files.items()), "an old connection file changed")

    code, second, output = batch(bin_dir, root, os.path.join(work, "second.json"))
    check(code == 0, f"second run: exit code {code}: {output[-500:]}")
    results = sorted(p["result"] for p in second["profiles"])
    check(results == ["already_migrated"] * 29 + ["migrated"], f"second run: {results}")

checks.finish()
