"""vantelo-catalogue run as a user runs it: list, decode, and the exit status of a bad code."""
import csv
import subprocess
import sys

tool, catalogue_path = sys.argv[1], sys.argv[2]

with open(catalogue_path, encoding="utf-8", newline="") as f:
    rows = list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
url_of = {(int(r["table"]), int(r["index"])): r["url"] for r in rows}
name_of = {(int(r["table"]), int(r["index"])): r["name"] for r in rows}

failures = []

listing = subprocess.run([tool, "list"], capture_output=True, text=True, check=False)
lines = listing.stdout.splitlines()
if listing.returncode != 0 or len(lines) != 408:
    failures.append(f"list: status {listing.returncode}, {len(lines)} lines")
for line in lines:
    code, table, index, name = line.split("\t")
    if int(code) != int(index) * 65536 + int(table) or name_of.get((int(table), int(index))) != name:
        failures.append(f"list: wrong line {line!r}")
        break

decoded = subprocess.run([tool, "decode", "65549"], capture_output=True, text=True, check=False)
if decoded.returncode != 0 or decoded.stdout != url_of[(13, 1)] + "\n":
    failures.append(f"decode 65549: {decoded.returncode} {decoded.stdout!r}")

bad = subprocess.run([tool, "decode", "18"], capture_output=True, text=True, check=False)
if bad.returncode != 2 or bad.stdout or len(bad.stderr.splitlines()) != 1:
    failures.append(f"decode 18: {bad.returncode} {bad.stdout!r} {bad.stderr!r}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
