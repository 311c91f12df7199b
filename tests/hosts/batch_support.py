"""What the batch tests share: Windows paths, generated profiles, and runs of
landscape_migrate under Wine with the output in a file - a pipe would stay open
for seconds after the program ends, held by Wine's own processes."""
import json, os, re, subprocess, sys, tempfile

import jsonschema

SCHEMA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "report.schema.json")


def load_report(path):
    """A report of landscape_migrate; one that does not follow docs/report.schema.json raises."""
    with open(path, encoding="utf-8") as file:
        report = json.load(file)
    with open(SCHEMA, encoding="utf-8") as file:
        jsonschema.validate(report, json.load(file), cls=jsonschema.Draft202012Validator)
    return report


def windows(path):
    return subprocess.run(["winepath", "-w", path], capture_output=True, text=True, check=True).stdout.strip()


def make_profile(genprofile, root, name, entries):
    """A profile folder name/QOR/Common with a generated qorlogon.ini; its folder,
    and the numbers of folders and entries the batch should report."""
    common = os.path.join(root, name, "QOR", "Common")
    os.makedirs(common)
    ini = os.path.join(common, "qorlogon.ini")
    subprocess.run([sys.executable, genprofile, str(entries), ini], check=True)
    text = open(ini, encoding="latin-1").read()
    return common, (len(re.findall(r"^\[Folder ", text, re.M)),
                    len(re.findall(r"^\[(Connection|Shortcut|Link) ", text, re.M)))


def start_batch(bin_dir, root, report, output, jobs=2):
    return subprocess.Popen(["wine", os.path.join(bin_dir, "landscape_migrate.exe"), "--profiles", windows(root),
                             "--jobs", str(jobs), "--report", windows(report)],
                            stdout=output, stderr=subprocess.STDOUT)


def batch(bin_dir, root, report, jobs=2):
    """Runs a batch to its end: its exit code, its report and its output."""
    with tempfile.TemporaryFile() as output:
        code = start_batch(bin_dir, root, report, output, jobs).wait()
        output.seek(0)
        return code, load_report(report), output.read().decode(errors="replace")


def verify(bin_dir, root, report):
    """--verify --profiles to its end: its exit code and its report."""
    with tempfile.TemporaryFile() as output:
        code = subprocess.run(["wine", os.path.join(bin_dir, "landscape_migrate.exe"), "--verify", "--profiles",
                               windows(root), "--report", windows(report)],
                              stdout=output, stderr=subprocess.STDOUT).returncode
        return code, load_report(report)


def files(root):
    return {os.path.join(d, f): open(os.path.join(d, f), "rb").read()
            for d, _, names in os.walk(root) for f in names}


class Checks:
    def __init__(self):
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)

    def finish(self):
        for failure in self.failures:
            print("FAILED:", failure)
        sys.exit(1 if self.failures else 0)
