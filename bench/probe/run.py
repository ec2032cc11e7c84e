"""Benchmark of `vantelo-catalogue probe`, on 127.0.0.1 only.

    python3 bench/probe/run.py [--build build] [--runs 5] [--latency-ms 100] [--concurrency N]

Speed: as many addresses as the catalogue holds (408), each an HLS master as
all catalogue addresses are, so each channel costs three requests in a row
(master, variant, segment). The server answers every request after the
latency. Reports the median, minimum and maximum of several runs at the
probe's default concurrency, against the goal of 2 s.

Memory: 408 addresses whose answers never end (MPEG-TS, a playlist, text),
sent as fast as loopback carries them, next to 408 small answers. The probe
stops reading each at its limit, so its peak resident memory stays that of the
small run, whatever the servers send."""
import argparse
import json
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "..", "tests", "probe", "probe_server.py")
CHANNELS = 408
GOAL_SECONDS = 2.0


class Server:
    def __init__(self, latency_ms):
        self.process = subprocess.Popen(
            [sys.executable, SERVER, "--latency-ms", str(latency_ms), "--lifetime", "900"],
            stdout=subprocess.PIPE, text=True)
        words = self.process.stdout.readline().split()
        if len(words) != 2 or words[0] != "READY":
            sys.exit("the test server did not start")
        self.base = f"http://127.0.0.1:{words[1]}"

    def urls(self, paths):
        # Distinct addresses, as a catalogue has; the server ignores the query.
        return [f"{self.base}{paths[i % len(paths)]}?channel={i}" for i in range(CHANNELS)]

    def stop(self):
        self.process.kill()
        self.process.wait()


def probe(program, urls, concurrency):
    arguments = [program] + (["--concurrency", str(concurrency)] if concurrency else []) + urls
    result = subprocess.run(arguments, capture_output=True, text=True, check=True, timeout=600)
    return json.loads(result.stdout)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--latency-ms", type=float, default=100)
    parser.add_argument("--concurrency", type=int, default=0, help="0: the probe's default")
    args = parser.parse_args()
    program = os.path.join(args.build, "vantelo_probe_bench")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program} is missing: cmake --build {args.build} --target vantelo_probe_bench")

    server = Server(args.latency_ms)
    try:
        urls = server.urls(["/hls/master.m3u8"])
        runs = [probe(program, urls, args.concurrency) for _ in range(args.runs)]
    finally:
        server.stop()
    seconds = [run["seconds"] for run in runs]
    median = statistics.median(seconds)
    print(f"speed: {CHANNELS} HLS masters (3 requests each), {args.latency_ms:g} ms server latency per request, "
          f"concurrency {runs[0]['concurrency']}, {args.runs} runs")
    print(f"  median {median:.3f} s, min {min(seconds):.3f} s, max {max(seconds):.3f} s; "
          f"goal under {GOAL_SECONDS:g} s: {'met' if max(seconds) < GOAL_SECONDS else 'NOT met'}")
    print(f"  verdicts of the last run: {runs[-1]['verdicts']}")

    server = Server(0)
    try:
        small = probe(program, server.urls(["/ok.ts"]), args.concurrency)
        endless = probe(program, server.urls(["/endless.ts", "/endless.m3u8", "/endless.bin"]), args.concurrency)
    finally:
        server.stop()
    print(f"memory: peak resident set of the probe over {CHANNELS} addresses")
    print(f"  small answers:   {small['peak_rss_kib'] / 1024:6.1f} MiB  {small['verdicts']}")
    print(f"  endless answers: {endless['peak_rss_kib'] / 1024:6.1f} MiB  {endless['verdicts']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
