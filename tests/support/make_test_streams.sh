#!/usr/bin/env bash
# Makes the small local test streams: an H.264/AAC MPEG-TS file and an HLS
# copy of it. Skips the work when they are already there.
set -euo pipefail
out="${1:?usage: make_test_streams.sh OUTPUT_FOLDER}"
mkdir -p "$out/hls"
if [ ! -s "$out/stream.ts" ]; then
    ffmpeg -loglevel error -y \
        -f lavfi -i "testsrc2=size=320x240:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" \
        -t 8 -c:v libx264 -preset ultrafast -tune zerolatency -g 25 -pix_fmt yuv420p \
        -c:a aac -b:a 64k -f mpegts "$out/stream.ts.part"
    mv "$out/stream.ts.part" "$out/stream.ts"
fi
if [ ! -s "$out/hls/index.m3u8" ]; then
    ffmpeg -loglevel error -y -i "$out/stream.ts" -c copy -f hls -hls_time 1 \
        -hls_playlist_type vod -hls_segment_filename "$out/hls/segment%03d.ts" "$out/hls/index.m3u8.part.m3u8"
    mv "$out/hls/index.m3u8.part.m3u8" "$out/hls/index.m3u8"
fi
# A master playlist over it: the best variant is the real one, the other is missing.
cat > "$out/master.m3u8" <<'PLAYLIST'
#EXTM3U
#EXT-X-STREAM-INF:BANDWIDTH=150000,RESOLUTION=160x120,CODECS="avc1.42e00d,mp4a.40.2"
missing/low.m3u8
#EXT-X-STREAM-INF:BANDWIDTH=600000,RESOLUTION=320x240,CODECS="avc1.42e00d,mp4a.40.2"
hls/index.m3u8
PLAYLIST
