"""A small HTTP server on 127.0.0.1 for tests: serves the test streams, and
plays the ways a stream can fail.

    stream_server.py --root FOLDER [--port N]

Prints "READY <port>" once it listens. Paths:
    /<file>          a file under FOLDER (.ts as MPEG-TS, .m3u8 as HLS)
    /status/<code>   answers with that HTTP status (403, 404, 451, 500, ...)
    /stall           accepts the request and never answers
    /trickle.ts      answers 200, then one byte a second
    /garbage.ts      answers 200 with bytes that are no media
    /cut.ts          the first part of stream.ts, then closes mid-stream
    /stall-later.ts  the first part of stream.ts, then nothing more, connection open
    /missing-hls/index.m3u8
                     a live HLS playlist that never ends and whose segments are all missing
It stops by itself after --lifetime seconds (default 600), or as soon as the
process that started it has gone."""
import argparse
import os
import random
import sys
import threading
import time
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer


class Handler(SimpleHTTPRequestHandler):
    extensions_map = {
        ".ts": "video/mp2t",
        ".m3u8": "application/vnd.apple.mpegurl",
        "": "application/octet-stream",
    }

    def log_message(self, format, *args):  # keep test output quiet
        pass

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if path.startswith("/status/"):
            code = int(path.rsplit("/", 1)[1])
            self.send_response(code)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if path == "/stall":
            time.sleep(3600)
            return
        if path == "/trickle.ts":
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.end_headers()
            for _ in range(600):
                self.wfile.write(b"G")
                self.wfile.flush()
                time.sleep(1)
            return
        if path == "/garbage.ts":
            data = random.Random(7).randbytes(512 * 1024)
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)
            return
        if path == "/cut.ts":
            with open(os.path.join(self.server.root, "stream.ts"), "rb") as f:
                data = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 3])
            self.wfile.flush()
            self.connection.shutdown(2)
            return
        if path == "/stall-later.ts":
            with open(os.path.join(self.server.root, "stream.ts"), "rb") as f:
                data = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "video/mp2t")
            self.end_headers()
            self.wfile.write(data[: len(data) // 3])
            self.wfile.flush()
            time.sleep(3600)
            return
        if path == "/missing-hls/index.m3u8":
            # A live window that moves on with the clock; none of its segments exist.
            sequence = int(time.time())
            lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:1",
                     f"#EXT-X-MEDIA-SEQUENCE:{sequence}"]
            for number in range(sequence, sequence + 3):
                lines += ["#EXTINF:1.0,", f"segment{number}.ts"]
            body = ("\n".join(lines) + "\n").encode()
            self.send_response(200)
            self.send_header("Content-Type", "application/vnd.apple.mpegurl")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()

    def translate_path(self, path):
        relative = path.split("?", 1)[0].lstrip("/")
        return os.path.join(self.server.root, os.path.normpath(relative))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--lifetime", type=float, default=600)
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.root = os.path.abspath(args.root)
    threading.Timer(args.lifetime, server.shutdown).start()
    parent = os.getppid()

    def stop_with_parent():
        while os.getppid() == parent:
            time.sleep(0.5)
        server.shutdown()

    threading.Thread(target=stop_with_parent, daemon=True).start()
    print(f"READY {server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
