"""An HTTP server on 127.0.0.1 that answers in every way a stream address can,
for the tests and the benchmark of `vantelo-catalogue probe`.

    probe_server.py [--port N] [--latency-ms MS] [--lifetime SECONDS]

Prints "READY <port>" once it listens (port 0, the default, picks a free one).
Every answer closes its connection. Paths:
    /ok.ts                   MPEG-TS
    /endless.ts              MPEG-TS that never ends
    /hls/master.m3u8         a master of three variants; only the lowest
                             bandwidth one (low/) is served, the others 404
    /hls/low/index.m3u8      a live playlist; only its newest segment is served
    /hls/vod.m3u8            a finished playlist; only its first segment is served
    /hls/fmp4.m3u8           live, fMP4 segments
    /hls/audio.m3u8          live, packed audio (ID3 then ADTS)
    /hls/aes.m3u8            live, AES-128 segments (bytes without a signature)
    /hls/ranged.m3u8         live, byte ranges of one file; only the newest
                             range is answered, the others 416
    /hls/no-segments.m3u8    a playlist listing nothing
    /hls/segment-page.m3u8   its segment is a web page
    /hls/segment-403.m3u8    its segment answers 403
    /hls/variant-404.m3u8    a master whose only variant answers 404
    /hls/stall-playlist.m3u8 starts a playlist, then sends nothing more
    /hls/stall-segment.m3u8  its segment never answers
    /endless.m3u8            a playlist of comments that never ends
    /endless.bin             text that never ends
    /status/<code>           that status (403, 404, 451, 500, ...)
    /loop/a, /loop/b         redirect to each other
    /chain/<n>               n redirects, then ok.ts
    /redirect/ok.ts          a relative redirect to ok.ts
    /stall                   reads the request, never answers
    /drip.ts                 200 video/mp2t, then one byte every half second
    /hangup                  reads the request, closes without an answer
    /garbage.ts              200 video/mp2t with text instead of packets
    /page.html               a web page
    /geo/redirect            redirects to an address naming a geo block
    /geo/page                200, a page saying the channel is not available
    /geo/404                 404, a page saying the same
    /delay/<ms>/<path>       <path>, each request answered after <ms>
--latency-ms delays every answer (the benchmark's server latency).
It stops by itself after --lifetime seconds (default 600), or as soon as the
process that started it has gone."""
import argparse
import asyncio
import os
import re
import sys
from urllib.parse import urlsplit

TS_PACKET = b"\x47\x1f\xff\x10" + b"\xff" * 184  # a null packet
TS = TS_PACKET * 40
FMP4 = b"\x00\x00\x00\x18stypmsdh\x00\x00\x00\x00msdhmsix" + b"\x00\x00\x00\x10moof" + b"\x00" * 200
PACKED_AUDIO = b"ID3\x04\x00\x00\x00\x00\x00\x3f" + b"\x00" * 63 + b"\xff\xf1\x50\x80\x02\x1f\xfc" + b"\x00" * 200
# What an AES-128 segment looks like from outside: no signature at all.
CIPHERTEXT = bytes((i * 73 + 41) % 251 for i in range(4096))
NOT_MEDIA = b"This is no stream, only words. " * 2048
PAGE = b"<!DOCTYPE html><html><body><h1>Welcome</h1><p>Nothing to watch here.</p></body></html>"
GEO_PAGE = b"<html><body>Sorry, this channel is not available in your country.</body></html>"
GEO_404 = b"<html><body>This programme is unavailable in your region.</body></html>"
HLS_TYPE = "application/vnd.apple.mpegurl"

MASTER = """#EXTM3U
#EXT-X-STREAM-INF:BANDWIDTH=2000000,CODECS="avc1.640028,mp4a.40.2",RESOLUTION=1920x1080
hi/index.m3u8
#EXT-X-STREAM-INF:BANDWIDTH=300000,CODECS="avc1.42c00d,mp4a.40.2",RESOLUTION=416x234
low/index.m3u8
#EXT-X-STREAM-INF:BANDWIDTH=800000,CODECS="avc1.4d401e,mp4a.40.2",RESOLUTION=640x360
mid/index.m3u8
"""


def media_playlist(segments, end=False, header=""):
    lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:2", "#EXT-X-MEDIA-SEQUENCE:100", header]
    for segment in segments:
        lines += ["#EXTINF:2.0,", segment]
    if end:
        lines.append("#EXT-X-ENDLIST")
    return "\n".join(line for line in lines if line) + "\n"


PLAYLISTS = {
    "/hls/master.m3u8": MASTER,
    "/hls/low/index.m3u8": media_playlist([f"seg{n}.ts" for n in range(100, 105)]),
    "/hls/vod.m3u8": media_playlist([f"vod/{n}.ts" for n in range(5)], end=True),
    "/hls/fmp4.m3u8": media_playlist(["fmp4/1.m4s", "fmp4/2.m4s"], header='#EXT-X-MAP:URI="fmp4/init.mp4"'),
    "/hls/audio.m3u8": media_playlist(["audio/1.aac", "audio/2.aac"]),
    "/hls/aes.m3u8": media_playlist(
        ["aes/1.ts", "aes/2.ts"], header='#EXT-X-KEY:METHOD=AES-128,URI="aes/key",IV=0x00000000000000000000000000000001'
    ),
    "/hls/ranged.m3u8": "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-VERSION:4\n"
    "#EXTINF:2.0,\n#EXT-X-BYTERANGE:1000@0\nranged.ts\n"
    "#EXTINF:2.0,\n#EXT-X-BYTERANGE:1000\nranged.ts\n"
    "#EXTINF:2.0,\n#EXT-X-BYTERANGE:7520\nranged.ts\n",
    "/hls/no-segments.m3u8": media_playlist([]),
    "/hls/segment-page.m3u8": media_playlist(["../page.html"]),
    "/hls/segment-403.m3u8": media_playlist(["../status/403"]),
    "/hls/variant-404.m3u8": "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=500000\nmissing/index.m3u8\n",
    "/hls/stall-segment.m3u8": media_playlist(["../stall"]),
}

MEDIA = {
    "/ok.ts": ("video/mp2t", TS),
    "/hls/low/seg104.ts": ("video/mp2t", TS),
    "/hls/vod/0.ts": ("video/mp2t", TS),
    "/hls/fmp4/2.m4s": ("video/iso.segment", FMP4),
    "/hls/audio/2.aac": ("audio/aac", PACKED_AUDIO),
    # Segments are often served with odd types; only the bytes count.
    "/hls/aes/2.ts": ("text/plain", CIPHERTEXT),
    "/garbage.ts": ("video/mp2t", NOT_MEDIA),
    "/page.html": ("text/html", PAGE),
    "/geo/page": ("text/html", GEO_PAGE),
}


class Server:
    def __init__(self, latency_ms):
        self.latency = latency_ms / 1000

    async def handle(self, reader, writer):
        try:
            request = await reader.readuntil(b"\r\n\r\n")
            head = request.decode("latin-1").split("\r\n")
            target = head[0].split(" ")[1]
            headers = {}
            for line in head[1:]:
                if ":" in line:
                    name, value = line.split(":", 1)
                    headers[name.strip().lower()] = value.strip()
            path = urlsplit(target).path
            delay = self.latency
            delayed = re.fullmatch(r"/delay/(\d+)(/.*)", path)
            if delayed:
                delay += int(delayed.group(1)) / 1000
                path = delayed.group(2)
            if delay:
                await asyncio.sleep(delay)
            await self.answer(path, headers, writer)
        except (asyncio.IncompleteReadError, asyncio.LimitOverrunError, ConnectionError, IndexError):
            pass
        finally:
            writer.close()

    @staticmethod
    async def send(writer, status, content_type=None, body=b"", extra=(), length=True):
        lines = [f"HTTP/1.1 {status} Status", "Connection: close"]
        if content_type:
            lines.append(f"Content-Type: {content_type}")
        if length:
            lines.append(f"Content-Length: {len(body)}")
        lines += list(extra)
        writer.write(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)
        await writer.drain()

    async def endless(self, writer, content_type, start, chunk):
        await self.send(writer, 200, content_type, length=False)
        writer.write(start)
        while True:  # until the client stops reading and the write fails
            writer.write(chunk)
            await writer.drain()

    async def answer(self, path, headers, writer):
        if path in PLAYLISTS:
            return await self.send(writer, 200, HLS_TYPE, PLAYLISTS[path].encode())
        if path in MEDIA:
            content_type, body = MEDIA[path]
            return await self.send(writer, 200, content_type, body)
        status = re.fullmatch(r"/status/(\d+)", path)
        if status:
            return await self.send(writer, int(status.group(1)), "text/plain", b"status page\n")
        chain = re.fullmatch(r"/chain/(\d+)", path)
        if chain:
            left = int(chain.group(1))
            location = f"/chain/{left - 1}" if left > 1 else "/ok.ts"
            return await self.send(writer, 302, extra=[f"Location: {location}"])
        if path in ("/loop/a", "/loop/b"):
            return await self.send(writer, 302, extra=["Location: " + ("b" if path.endswith("a") else "a")])
        if path == "/redirect/ok.ts":
            return await self.send(writer, 302, "text/html", b"<a href='../ok.ts'>moved</a>",
                                   extra=["Location: ../ok.ts"])
        if path == "/geo/redirect":
            return await self.send(writer, 302, extra=["Location: /errors/geoblocked.html?from=channel"])
        if path == "/geo/404":
            return await self.send(writer, 404, "text/html", GEO_404)
        if path == "/hls/ranged.ts":
            # The newest range: 7520 bytes after the 2000 of the ranges before.
            if headers.get("range") != "bytes=2000-6095":
                return await self.send(writer, 416, "text/plain", b"wrong range\n")
            return await self.send(writer, 206, "video/mp2t", TS[:4096],
                                   extra=["Content-Range: bytes 2000-6095/9520"])
        if path == "/endless.ts":
            return await self.endless(writer, "video/mp2t", b"", TS)
        if path == "/endless.m3u8":
            return await self.endless(writer, HLS_TYPE, b"#EXTM3U\n", b"# nothing to see, and more of it\n" * 256)
        if path == "/endless.bin":
            return await self.endless(writer, "application/octet-stream", b"", NOT_MEDIA)
        if path == "/hls/stall-playlist.m3u8":
            await self.send(writer, 200, HLS_TYPE, length=False)
            writer.write(b"#EXTM3U\n#EXT-X-TARGETDURATION:2\n")
            await writer.drain()
            return await asyncio.sleep(3600)
        if path == "/stall":
            return await asyncio.sleep(3600)
        if path == "/drip.ts":
            await self.send(writer, 200, "video/mp2t", length=False)
            for _ in range(7200):
                writer.write(b"\x47")
                await writer.drain()
                await asyncio.sleep(0.5)
            return None
        if path == "/hangup":
            return None
        return await self.send(writer, 404, "text/plain", b"not found\n")


async def serve(args):
    server = Server(args.latency_ms)
    listener = await asyncio.start_server(server.handle, "127.0.0.1", args.port, backlog=1024)
    print(f"READY {listener.sockets[0].getsockname()[1]}", flush=True)
    parent = os.getppid()
    loop = asyncio.get_running_loop()
    stop_at = loop.time() + args.lifetime
    while os.getppid() == parent and loop.time() < stop_at:
        await asyncio.sleep(0.5)
    listener.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--latency-ms", type=float, default=0)
    parser.add_argument("--lifetime", type=float, default=600)
    args = parser.parse_args()
    asyncio.run(serve(args))
    # Connections that stall are still open; they end with the process.
    os._exit(0)


if __name__ == "__main__":
    sys.exit(main())
