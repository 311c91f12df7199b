#!/usr/bin/env python3
"""baseline_batch.py FOLDER: the yardstick for the batch - benchmarks/baseline.py
run in this one process on every profile folder below FOLDER (each folder with a
qorlogon.ini), writing baseline-user.xml and baseline-shared.xml beside it.
Prints the number of profiles and the seconds taken."""
import os, runpy, sys, time

baseline = os.path.join(os.path.dirname(os.path.abspath(__file__)), "baseline.py")
folders = sorted(d for d, _, names in os.walk(sys.argv[1]) if "qorlogon.ini" in names)
start = time.time()
for folder in folders:
    sys.argv = [baseline, os.path.join(folder, "qorlogon.ini"), os.path.join(folder, "baseline-user.xml"),
                os.path.join(folder, "baseline-shared.xml")]
    runpy.run_path(baseline, run_name="__main__")
print(len(folders), time.time() - start)
