"""The benchmark's stream server, on 127.0.0.1 only: live channels looped from
the segments that make_bench_streams.sh made, and the ways a stream fails.

    bench_server.py --root STREAMS [--port 18190] [--lifetime 1500] [--log FILE]

Prints "READY <port>" once it listens. Paths:
    /lat<N>/<path>                   <path>, answered N milliseconds late (every request)
    /live/<channel>/master.m3u8      HLS master playlist of the three qualities
    /live/<channel>/v<i>/index.m3u8  a live HLS window of quality i: six 2-second
                                     segments, the media sequence moving on with the clock
    /live/<channel>/v<i>/seg<k>.ts   segment k of that window
    /live/<channel>/stream.ts        the same channel as one endless MPEG-TS answer: from a
                                     key frame at least a second old at once, then paced
                                     in real time
    /status/<code>                   answers with that HTTP status
    /stall                           accepts the request and never answers
    /trickle.ts                      answers 200, then one byte a second
    /missing-hls/index.m3u8          a live playlist whose segments are all missing
Every channel name plays the same pictures; distinct names give distinct
addresses, as distinct channels have. The loop of the segments is marked as a
discontinuity, so a player sees a live channel that never ends.

It stops by itself after --lifetime seconds, or as soon as the process that
started it has gone."""
import argparse
import os
import re
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SEGMENT_SECONDS = 2
WINDOW = 6
TS_STEP_SECONDS = 0.04
# name: (resolution, BANDWIDTH in bit/s: video and sound, with MPEG-TS overhead)
VARIANTS = {
    "v0": ("1280x720", 2800000),
    "v1": ("960x540", 1400000),
    "v2": ("640x360", 750000),
}
PLAYLIST_TYPE = "application/vnd.apple.mpegurl"
TS_TYPE = "video/mp2t"


class Clock:
    """Which segment is on air: the sequence numbers grow by one every
    SEGMENT_SECONDS since a start a whole loop in the past."""

    def __init__(self, count):
        self.count = count
        self.epoch = time.time() - count * SEGMENT_SECONDS

    def current(self):
        return int((time.time() - self.epoch) // SEGMENT_SECONDS)

    def start_of(self, sequence):
        return self.epoch + sequence * SEGMENT_SECONDS


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # keep-alive, as stream servers do

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        self.server.note(path)
        match = re.match(r"^/lat(\d+)(/.*)$", path)
        if match:
            time.sleep(int(match.group(1)) / 1000.0)
            path = match.group(2)
        try:
            self.answer(path)
        except (BrokenPipeError, ConnectionResetError, socket.timeout):
            self.close_connection = True

    def answer(self, path):
        match = re.match(r"^/live/([A-Za-z0-9_-]+)/(.+)$", path)
        if match:
            rest = match.group(2)
            if rest == "master.m3u8":
                return self.send_body(200, PLAYLIST_TYPE, self.server.master())
            if rest == "stream.ts":
                return self.send_live_ts()
            variant = re.match(r"^(v\d)/index\.m3u8$", rest)
            if variant and variant.group(1) in VARIANTS:
                return self.send_body(200, PLAYLIST_TYPE, self.server.window(variant.group(1)))
            segment = re.match(r"^(v\d)/seg(\d+)\.ts$", rest)
            if segment and segment.group(1) in VARIANTS:
                return self.send_body(200, TS_TYPE, self.server.segment(segment.group(1), int(segment.group(2))))
            return self.send_body(404, "text/plain", b"no such stream\n")
        if path.startswith("/status/"):
            code = int(path.rsplit("/", 1)[1])
            return self.send_body(code, "text/plain", b"")
        if path == "/stall":
            self.server.stopping.wait()
            self.close_connection = True
            return
        if path == "/trickle.ts":
            self.send_response(200)
            self.send_header("Content-Type", TS_TYPE)
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            while not self.server.stopping.wait(1.0):
                self.wfile.write(b"G")
                self.wfile.flush()
            return
        if path == "/missing-hls/index.m3u8":
            sequence = int(time.time())
            lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:1", f"#EXT-X-MEDIA-SEQUENCE:{sequence}"]
            for number in range(sequence, sequence + 3):
                lines += ["#EXTINF:1.0,", f"gone{number}.ts"]
            return self.send_body(200, PLAYLIST_TYPE, ("\n".join(lines) + "\n").encode())
        return self.send_body(404, "text/plain", b"not found\n")

    def send_body(self, code, content_type, body):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        self.wfile.write(body)

    def send_live_ts(self):
        # As a live server with a key-frame cache: at once, everything from the
        # last key frame at least a second old, then the stream as it goes on
        # air, in small steps, at the pace of its clock.
        self.send_response(200)
        self.send_header("Content-Type", TS_TYPE)
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        clock = self.server.clock
        sequence = clock.current()
        if time.time() - clock.start_of(sequence) < 1.0:
            sequence -= 1
        data, sent = self.server.segment("v0", sequence), 0
        while True:
            aired = (time.time() - clock.start_of(sequence)) / SEGMENT_SECONDS
            due = len(data) if aired >= 1 else int(len(data) * aired)
            if due > sent:
                self.wfile.write(data[sent:due])
                sent = due
            if sent >= len(data):
                sequence += 1
                data, sent = self.server.segment("v0", sequence), 0
                continue
            if self.server.stopping.wait(TS_STEP_SECONDS):
                return


class BenchServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, root, log_path):
        super().__init__(address, Handler)
        self.root = root
        self.segments = {}
        for name in VARIANTS:
            files = sorted(f for f in os.listdir(os.path.join(root, name)) if re.match(r"^seg\d+\.ts$", f))
            self.segments[name] = [open(os.path.join(root, name, f), "rb").read() for f in files]
        counts = {len(files) for files in self.segments.values()}
        if len(counts) != 1 or 0 in counts:
            raise SystemExit("bench_server: the qualities need the same number of segments")
        self.clock = Clock(counts.pop())
        self.stopping = threading.Event()
        self.log = open(log_path, "a", buffering=1) if log_path else None
        self.log_lock = threading.Lock()

    def handle_error(self, request, client_address):
        # A player that hangs up on a channel change is no error.
        if isinstance(sys.exc_info()[1], (ConnectionError, socket.timeout)):
            return
        super().handle_error(request, client_address)

    def note(self, path):
        if self.log:
            with self.log_lock:
                self.log.write(f"{time.monotonic():.4f} {path}\n")

    def master(self):
        lines = ["#EXTM3U", "#EXT-X-VERSION:3"]
        for name, (resolution, bandwidth) in VARIANTS.items():
            lines.append(f'#EXT-X-STREAM-INF:BANDWIDTH={bandwidth},RESOLUTION={resolution},'
                         f'CODECS="avc1.640028,mp4a.40.2"')
            lines.append(f"{name}/index.m3u8")
        return ("\n".join(lines) + "\n").encode()

    def window(self, variant):
        count = self.clock.count
        newest = self.clock.current() - 1  # the newest segment that is complete
        first = newest - WINDOW + 1
        lines = ["#EXTM3U", "#EXT-X-VERSION:3", f"#EXT-X-TARGETDURATION:{SEGMENT_SECONDS}",
                 f"#EXT-X-MEDIA-SEQUENCE:{first}", f"#EXT-X-DISCONTINUITY-SEQUENCE:{first // count}"]
        for sequence in range(first, newest + 1):
            if sequence % count == 0 and sequence != first:
                lines.append("#EXT-X-DISCONTINUITY")  # the loop starts again
            lines += [f"#EXTINF:{SEGMENT_SECONDS}.000,", f"seg{sequence}.ts"]
        return ("\n".join(lines) + "\n").encode()

    def segment(self, variant, sequence):
        files = self.segments[variant]
        return files[sequence % len(files)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=18190)
    parser.add_argument("--lifetime", type=float, default=1500)
    parser.add_argument("--log")
    args = parser.parse_args()
    server = BenchServer(("127.0.0.1", args.port), os.path.abspath(args.root), args.log)

    def stop():
        server.stopping.set()
        server.shutdown()

    threading.Timer(args.lifetime, stop).start()
    parent = os.getppid()

    def stop_with_parent():
        while os.getppid() == parent and not server.stopping.is_set():
            time.sleep(0.5)
        stop()

    threading.Thread(target=stop_with_parent, daemon=True).start()
    print(f"READY {server.server_address[1]}", flush=True)
    server.serve_forever()
    os._exit(0)  # threads that still wait on a client need not be joined


if __name__ == "__main__":
    sys.exit(main())
