#!/usr/bin/env python3
"""batch_test.py BIN GENPROFILE: landscape_migrate --profiles over 50 generated
profiles under Wine - one with a broken qorlogon.ini, one already migrated - then
once more, which must change no file."""
import os, re, subprocess, sys, tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from batch_support import Checks, files
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

    code, report = batch(root, os.path.join(work, "first.json"))
    totals = report["totals"]
    check(code == 0, f"exit code {code}: " + str([p for p in report["profiles"] if p["problems"]]))
    for name, count in {"profiles": 50, "migrated": 48, "already migrated": 1, "nothing to migrate": 1,
                        "failed": 0, "skipped": 0, "left_out": 0, "problems": 0, **expected}.items():
        check(totals[name] == count, f"totals {name}: {totals[name]}, expected {count}")
    results = {os.path.basename(os.path.dirname(os.path.dirname(p["profile"].replace("\\", "/")))): p["result"]
               for p in report["profiles"]}
    check(results["user07"] == "nothing to migrate" and results["user13"] == "already migrated", str(results))
    check(open(os.path.join(root, "user13", "QOR", "Common", "QORUILandscape.xml")).read() == "<Landscape/>\n",
          "the already migrated profile was changed")
    check(not os.path.exists(os.path.join(root, "user07", "QOR", "Common", "QORUILandscape.xml")),
          "a landscape for the broken file")
    check(all(os.path.exists(os.path.join(root, f"user{i:02d}", "QOR", "Common", "QORUILandscape.xml"))
              for i in range(50) if i != 7), "a migrated profile without its landscape")

    before = files(root)
    code, again = batch(root, os.path.join(work, "second.json"))
    check(code == 0 and again["totals"]["already migrated"] == 49, f"second run: {code}, {again['totals']}")
    check(files(root) == before, "the second run changed files")

checks.finish()
