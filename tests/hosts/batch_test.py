#!/usr/bin/env python3
"""batch_test.py BIN GENPROFILE: landscape_migrate --profiles over 50 generated
profiles under Wine - one with a qorlogon.ini that is not text, one already
migrated - then once more, which must change no file; then --verify over the
same folder, which must write nothing but its report."""
import os, re, subprocess, sys, tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from batch_support import Checks, files, verify
from batch_support import batch as run_batch

bin_dir, genprofile = sys.argv[1], sys.argv[2]
checks = Checks()
check = checks.check


def batch(root, report):
    code, result, _ = run_batch(bin_dir, root, report)
    return code, result


with tempfile.TemporaryDirectory() as work:
    root = os.path.join(work, "profiles")
    expected = {"folders": 0, "entries": 0}
    for i in range(50):
        common = os.path.join(root, f"user{i:02d}", "QOR", "Common")
        os.makedirs(common)
        ini = os.path.join(common, "qorlogon.ini")
        subprocess.run([sys.executable, genprofile, str(10 + i), ini], check=True)
        if i == 7:
            open(ini, "wb").write(b"\x00\xff\xfe not a connection file [Folder\r\n")
        elif i == 13:
            open(os.path.join(common, "QORUILandscape.xml"), "w").write("<Landscape/>\n")
        else:
            text = open(ini, encoding="latin-1").read()
            expected["folders"] += len(re.findall(r"^\[Folder ", text, re.M))
            expected["entries"] += len(re.findall(r"^\[(Connection|Shortcut|Link) ", text, re.M))
    # A link back into the tree: its profile is there already, and is taken once.
    os.symlink(os.path.join(root, "user03"), os.path.join(root, "user03-link"))

    code, report = batch(root, os.path.join(work, "first.json"))
    totals = report["totals"]
    check(code == 1, f"exit code {code}, expected 1 for the profile that is not text")
    for name, count in {"profiles": 50, "migrated": 48, "already_migrated": 1, "nothing_to_migrate": 0,
                        "failed": 1, "skipped": 0, "left_out": 0, "problems": 1, **expected}.items():
        check(totals[name] == count, f"totals {name}: {totals[name]}, expected {count}")
    profiles = {os.path.basename(os.path.dirname(os.path.dirname(p["profile"].replace("\\", "/")))): p
                for p in report["profiles"]}
    results = {name: profile["result"] for name, profile in profiles.items()}
    check(results["user07"] == "failed" and results["user13"] == "already_migrated", str(results))
    reasons = [problem["reason"] for problem in profiles["user07"]["problems"]]
    check(len(reasons) == 1 and "is not text: it holds a NUL byte (at byte 0)" in reasons[0], str(reasons))
    passed = report["passed_over"]
    check(len(passed) == 1 and passed[0]["folder"].endswith("\\user03-link")
          and "link" in passed[0]["reason"], f"passed over: {passed}")
    check(open(os.path.join(root, "user13", "QOR", "Common", "QORUILandscape.xml")).read() == "<Landscape/>\n",
          "the already migrated profile was changed")
    check(not os.path.exists(os.path.join(root, "user07", "QOR", "Common", "QORUILandscape.xml")),
          "a landscape for the broken file")
    check(all(os.path.exists(os.path.join(root, f"user{i:02d}", "QOR", "Common", "QORUILandscape.xml"))
              for i in range(50) if i != 7), "a migrated profile without its landscape")

    before = files(root)
    code, again = batch(root, os.path.join(work, "second.json"))
    check(code == 1 and again["totals"]["already_migrated"] == 49, f"second run: {code}, {again['totals']}")
    check(files(root) == before, "the second run changed files")

    code, verified = verify(bin_dir, root, os.path.join(work, "verified.json"))
    totals = verified["totals"]
    check(code == 1, f"--verify --profiles: exit code {code}, expected 1")
    # user07 is not text, user13's hand-made landscape holds none of its entries
    for name, count in {"profiles": 50, "migrated": 48, "failed": 2, "not_migrated": 0,
                        "nothing_to_migrate": 0}.items():
        check(totals[name] == count, f"--verify --profiles: totals {name}: {totals[name]}, expected {count}")
    check(files(root) == before, "--verify --profiles changed files")

checks.finish()
