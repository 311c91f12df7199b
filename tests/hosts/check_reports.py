"""Checks the reports that admin_tests kept against docs/report.schema.json,
then removes them, so that each run checks its own.

    check_reports.py FOLDER"""
import os, sys

from batch_support import load_report

folder = sys.argv[1]
names = sorted(name for name in os.listdir(folder) if name.endswith(".json"))
if not names:
    sys.exit(f"no report in {folder}: admin_tests kept none")
failed = 0
for name in names:
    path = os.path.join(folder, name)
    try:
        load_report(path)
        print(f"{name}: follows the schema")
    except Exception as error:  # a JSON error or a schema violation
        failed += 1
        print(f"{name}: {getattr(error, 'message', error)}")
    os.remove(path)
sys.exit(1 if failed else 0)
