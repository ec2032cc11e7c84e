"""vantelo-catalogue probe run as a user runs it: the exit status of bad
arguments, and each output format parsed back.

No request may leave 127.0.0.1, yet the catalogue's addresses are on the
internet. The probe honours curl's proxy variables, so the run goes through a
proxy on a closed port of 127.0.0.1: every channel fails to connect there, at
once, and no name of the catalogue is ever looked up."""
import json
import os
import socket
import subprocess
import sys

tool = sys.argv[1]
CODES = ["65549", "1", "17"]  # table 13 index 1, table 1 index 0, table 17 index 0


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


proxy = f"http://127.0.0.1:{closed_port()}"
environment = {k: v for k, v in os.environ.items() if k.lower() not in ("no_proxy", "http_proxy", "https_proxy", "all_proxy")}
environment.update({"http_proxy": proxy, "https_proxy": proxy, "HTTPS_PROXY": proxy, "all_proxy": proxy, "ALL_PROXY": proxy})


def run(*arguments):
    return subprocess.run([tool, *arguments], capture_output=True, text=True, env=environment, timeout=60, check=False)


failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


listing = run("list")
name_of = {line.split("\t")[0]: line.split("\t")[3] for line in listing.stdout.splitlines()}

for arguments in (["18"], ["65549", "70000"], ["--format", "xml", "1"], ["--timeout", "0", "1"], ["--concurrency"]):
    bad = run("probe", *arguments)
    check(bad.returncode == 2 and not bad.stdout and len(bad.stderr.splitlines()) == 1,
          f"probe {' '.join(arguments)}: {bad.returncode} {bad.stdout!r} {bad.stderr!r}")

tsv = run("probe", "--format", "tsv", "--timeout", "20", *CODES)
check(tsv.returncode == 0, f"tsv: status {tsv.returncode} {tsv.stderr!r}")
lines = tsv.stdout.splitlines()
check(len(lines) == len(CODES), f"tsv: {len(lines)} lines for {len(CODES)} codes")
for code, line in zip(CODES, lines):
    fields = line.split("\t")
    if len(fields) != 7:
        failures.append(f"tsv: {len(fields)} fields in {line!r}")
        continue
    number, table, index, name, verdict, detail, ms = fields
    check(number == code and int(number) == int(index) * 65536 + int(table), f"tsv: wrong code fields {line!r}")
    check(name == name_of.get(code), f"tsv: name {name!r} is not the listed {name_of.get(code)!r}")
    check(verdict == "connection-failed" and "127.0.0.1" in detail and ms == "", f"tsv: unexpected verdict {line!r}")
# The summary goes to standard error, not into the data, and there is no
# progress line when standard error is no terminal.
check(tsv.stderr.startswith("3 channels: 0 ok,") and "\r" not in tsv.stderr, f"tsv: standard error {tsv.stderr!r}")

as_json = run("probe", "--format", "json", "--timeout", "20", *CODES)
check(as_json.returncode == 0, f"json: status {as_json.returncode}")
try:
    channels = json.loads(as_json.stdout)
    check([str(c["code"]) for c in channels] == CODES, f"json: codes {channels!r}")
    for c in channels:
        check(set(c) == {"code", "table", "index", "name", "verdict", "detail", "ms"}, f"json: keys {sorted(c)}")
        check(c["verdict"] == "connection-failed" and c["ms"] is None, f"json: {c!r}")
except ValueError as error:
    failures.append(f"json does not parse: {error}: {as_json.stdout!r}")

table = run("probe", "--timeout", "20", "--language", "Deutsch", "65549")
out = table.stdout.splitlines()
check(table.returncode == 0 and out and out[0].split() == ["CODE", "TABLE", "INDEX", "NAME", "VERDICT", "MS", "DETAIL"],
      f"table: {table.returncode} {table.stdout!r}")
check(any(line.startswith("1 channel: 0 ok,") for line in out), f"table: no summary in {table.stdout!r}")
check(any(line.startswith("13 Germany") for line in out), f"table: no line for table 13 in {table.stdout!r}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
