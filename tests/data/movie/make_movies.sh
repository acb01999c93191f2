#!/bin/sh
# Makes the tiny movies the movie tests play, with the ffmpeg command-line
# tool. Each video shows solid colours, 0.4 s (ten frames) each at 25 frames per second,
# 64 x 48: red, green, blue, then white (1.6 s in all). The sound is a steady
# 440 Hz tone for the same 1.6 s, so the tests can tell sound from silence.
#   colours.mpg  MPEG-1 video + MPEG-1 Layer II sound in an MPEG program stream
#                (the "vob" muxer: the plain "mpeg" one stores skewed time stamps
#                for intra-only video)
#   colours.avi  MPEG-4 part 2 video + 16-bit PCM sound (11025 Hz mono) in AVI
#   silent.avi   the same video with no sound stream
#   long.avi     5 s of grey at 5 frames per second + 16-bit PCM tone (mono,
#                4001 Hz: an odd rate, so that seven eighths of the 4-second
#                sound ring is no whole number of samples), longer than the
#                ring's first fill, so the feeder must run
# Run from this folder: sh make_movies.sh
set -e
cd "$(dirname "$0")"
colours='color=c=red:s=64x48:r=25:d=0.4[a];color=c=lime:s=64x48:r=25:d=0.4[b];color=c=blue:s=64x48:r=25:d=0.4[c];color=c=white:s=64x48:r=25:d=0.4[d];[a][b][c][d]concat=n=4:v=1:a=0,settb=1/25,setpts=N,format=yuv420p[v]'
tone='sine=frequency=440:sample_rate=22050:duration=1.6'
ffmpeg -v error -y -filter_complex "$colours" -f lavfi -i "$tone" -map '[v]' -map 0:a \
  -c:v mpeg1video -q:v 2 -g 1 -c:a mp2 -b:a 64k -ar 22050 -ac 1 -f vob colours.mpg
ffmpeg -v error -y -filter_complex "$colours" -f lavfi -i "$tone" -map '[v]' -map 0:a \
  -c:v mpeg4 -q:v 2 -g 1 -c:a pcm_s16le -ar 11025 -ac 1 colours.avi
ffmpeg -v error -y -filter_complex "$colours" -map '[v]' -c:v mpeg4 -q:v 2 -g 1 -an silent.avi
ffmpeg -v error -y -f lavfi -i 'color=c=gray:s=32x24:r=5:d=5' -f lavfi -i 'sine=frequency=440:sample_rate=4001:duration=5' \
  -c:v mpeg4 -q:v 2 -g 5 -pix_fmt yuv420p -c:a pcm_s16le -ac 1 long.avi
# A program stream cut off in the middle of its first packets.
head -c 3000 colours.mpg > truncated.mpg
# Random bytes that no demuxer should accept as a movie (fixed seed).
LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", int(rand() * 256) }' > garbage.mpg
