#!/usr/bin/env bash
# Makes a copy of the sample lesson whose video is 720p25 H.264 with AAC
# sound, for measuring playback at a size learners meet (bench/player-vs-floor.py):
# a moving test picture over 70 seconds with the sample's sound track under
# it, so that the lesson's cues (0.5 to 31 s) fall within it. Not committed:
# made when wanted.
#
# Needs ffmpeg (Debian 12: apt-get install ffmpeg). The sample lesson's own
# files are left alone.
#
#     examples/make-market-720p.sh OUT-FOLDER

set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:?usage: make-market-720p.sh OUT-FOLDER}"
command -v ffmpeg >/dev/null || { echo "make-market-720p.sh: ffmpeg is missing" >&2; exit 1; }
mkdir -p "$out"
cp -R "$here/market/." "$out/"
rm -f "$out/video/"*
ffmpeg -loglevel error -y \
    -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=70" \
    -stream_loop -1 -i "$here/market/video/market.avi" \
    -map 0:v -map 1:a -t 70 \
    -c:v libx264 -preset medium -crf 23 -pix_fmt yuv420p -g 50 \
    -c:a aac -b:a 128k -ar 44100 \
    -movflags +faststart "$out/video/market-720p.mp4"
sed -i 's/^VIDEO .*/VIDEO market-720p.mp4/' "$out/script.txt"
echo "$out: the sample lesson with video/market-720p.mp4 (1280x720, 25 fps, H.264, AAC, 70 s)"
