#!/usr/bin/env bash
# Makes the benchmark's streams: one minute of H.264/AAC picture and sound in
# three qualities, each cut into 2-second MPEG-TS segments that all start with
# a key frame at the same instants. bench_server.py loops them as live
# channels (HLS windows and endless MPEG-TS). Skips the work when they exist.
#
#   make_bench_streams.sh OUTPUT_FOLDER
set -euo pipefail
out="${1:?usage: make_bench_streams.sh OUTPUT_FOLDER}"
seconds=60
segment=2
fps=25

# name  size       video bit rate
variants=(
    "v0 1280x720 2500k"
    "v1 960x540 1200k"
    "v2 640x360 600k"
)

for variant in "${variants[@]}"; do
    read -r name size rate <<<"$variant"
    folder="$out/$name"
    if [ -s "$folder/done" ]; then
        continue
    fi
    rm -rf "$folder"
    mkdir -p "$folder"
    # A key frame exactly every segment, none in between from scene cuts, so
    # every segment can be the first one a player decodes.
    ffmpeg -loglevel error -y \
        -f lavfi -i "testsrc2=size=$size:rate=$fps" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" \
        -t "$seconds" \
        -c:v libx264 -preset veryfast -profile:v high -pix_fmt yuv420p \
        -b:v "$rate" -maxrate "$rate" -bufsize "$rate" \
        -g $((segment * fps)) -keyint_min $((segment * fps)) -sc_threshold 0 \
        -c:a aac -b:a 96k -ac 2 \
        -f hls -hls_time "$segment" -hls_list_size 0 -hls_playlist_type vod \
        -hls_segment_filename "$folder/seg%03d.ts" "$folder/vod.m3u8"
    count=$(find "$folder" -name 'seg*.ts' | wc -l)
    if [ "$count" -ne $((seconds / segment)) ]; then
        echo "make_bench_streams: $name has $count segments, expected $((seconds / segment))" >&2
        exit 1
    fi
    echo "$size $rate $count" >"$folder/done"
done
