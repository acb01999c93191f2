#!/usr/bin/env python3
"""Makes the MP3 decoder's test streams and their reference outputs.

Run at development time (the outputs are committed, so CI needs no encoder):
    tests/data/mp3/make_streams.py
Needs Debian's sox, lame, twolame, ffmpeg and mpg123. Layer I streams come from
the small encoder below (no Debian encoder writes Layer I): it writes frames
straight from synthetic subband samples.

Every stream X gets X.f24.z: mpg123's float output (no gapless trimming, all
frames, channels interleaved) as signed 24-bit little-endian integers at 2^22
per unit of full scale (so values up to +-2 survive; the step 2^-22 is far
below the decoder's error bound), stored as the byte count (32-bit little-
endian) followed by the zlib-compressed bytes.

Test signals stay below 31/64 of the sample rate (the decoder leaves the
32nd subband out) and start after a short silence, so that the encoders
switch block types at the onset.
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_signal(path, rate, channels, seconds=0.05):
    """Two tones per channel and band-limited noise after 30 ms of silence."""
    top = rate * 0.40
    with tempfile.TemporaryDirectory() as tmp:
        tones = os.path.join(tmp, "tones.wav")
        noise = os.path.join(tmp, "noise.wav")
        if channels == 2:
            run("sox", "-n", "-r", str(rate), "-c", "2", tones, "synth", str(seconds),
                "sine", str(rate * 0.013), "sine", str(rate * 0.071), "gain", "-8")
        else:
            run("sox", "-n", "-r", str(rate), "-c", "1", tones, "synth", str(seconds),
                "sine", str(rate * 0.021), "gain", "-8")
        run("sox", "-n", "-r", str(rate), "-c", str(channels), noise, "synth", str(seconds),
            "whitenoise", "lowpass", str(int(top)), "lowpass", str(int(top)), "gain", "-16")
        run("sox", "-m", tones, noise, path, "pad", "0.03", "0")


# ---------------------------------------------------------------------------
# A small Layer I encoder: quantises synthetic subband samples directly.

L1_BITRATES = {1: [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448],
               2: [0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256]}
RATES = {1: [44100, 48000, 32000], 2: [22050, 24000, 16000]}


class BitWriter:
    def __init__(self):
        self.bits = []

    def put(self, value, n):
        for i in range(n - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def bytes(self, length):
        out = bytearray(length)
        for i, b in enumerate(self.bits[:length * 8]):
            if b:
                out[i // 8] |= 0x80 >> (i % 8)
        return bytes(out)


def write_layer1(path, version, rate, kbps, mode, mode_ext, frames, seed):
    rnd = random.Random(seed)
    channels = 1 if mode == 3 else 2
    bound = 4 * (mode_ext + 1) if mode == 1 else 32
    rate_index = RATES[version].index(rate)
    br_index = L1_BITRATES[version].index(kbps)
    # Subbands with content, each a slow sinusoid of its own frequency and phase.
    bands = {1: 0.35, 3: 0.25, 6: 0.2, 10: 0.12, 17: 0.08, 25: 0.05}
    waves = {(ch, sb): (a * (0.6 + 0.4 * rnd.random()), rnd.uniform(0.01, 0.2), rnd.uniform(0, 6.28))
             for ch in range(channels) for sb, a in bands.items()}
    scf_table = [2.0 ** (1 - i / 3.0) for i in range(63)]
    out = bytearray()
    rest = 0
    for f in range(frames):
        slots = 12 * kbps * 1000 // rate
        rest += (12 * kbps * 1000) % rate
        padding = 0
        if rest >= rate:
            rest -= rate
            padding = 1
        frame_bytes = (slots + padding) * 4
        budget = frame_bytes * 8 - 32
        used_bands = sorted(bands)
        # Bits per sample: as many as fit, 2..15.
        alloc_bits = 4 * (bound * channels + (32 - bound)) if channels == 2 else 4 * 32
        per_slot_units = sum(channels if sb < bound else 1 for sb in used_bands)
        scf_bits = 6 * channels * len(used_bands)
        nb = max(2, min(15, (budget - alloc_bits - scf_bits) // (12 * per_slot_units)))
        values = {}
        for ch in range(channels):
            for sb in used_bands:
                a, w, p = waves[(ch, sb)]
                values[(ch, sb)] = [a * math.sin(w * (f * 12 + s) + p) for s in range(12)]
        scf = {}
        for key, vals in values.items():
            peak = max(abs(v) for v in vals) or 1e-9
            i = max(i for i in range(63) if scf_table[i] >= peak)
            scf[key] = i
        steps = (1 << nb) - 1
        bw = BitWriter()
        bw.put(0xFFF, 12)                              # sync
        bw.put(1 if version == 1 else 0, 1)            # ID
        bw.put(3, 2)                                   # Layer I
        bw.put(1, 1)                                   # no CRC
        bw.put(br_index, 4)
        bw.put(rate_index, 2)
        bw.put(padding, 1)
        bw.put(0, 1)
        bw.put(mode, 2)
        bw.put(mode_ext, 2)
        bw.put(0, 4)
        for sb in range(32):
            a = nb - 1 if sb in bands else 0
            for ch in range(channels if sb < bound else 1):
                bw.put(a, 4)
        for sb in range(32):
            for ch in range(channels):
                if sb in bands:
                    bw.put(scf[(ch, sb)], 6)
        for s in range(12):
            for sb in range(32):
                if sb not in bands:
                    continue
                for ch in range(channels if sb < bound else 1):
                    v = values[(ch, sb)][s] / scf_table[scf[(ch, sb)]]
                    code = int(round(v * steps / 2 + (steps - 1) / 2))
                    bw.put(min(max(code, 0), steps - 1), nb)
        out += bw.bytes(frame_bytes)
    with open(path, "wb") as fh:
        fh.write(out)


# ---------------------------------------------------------------------------

def lame(name, rate, channels, *args, seconds=0.05):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        make_signal(wav, rate, channels, seconds)
        run("lame", "--quiet", "--resample", str(rate / 1000), "--lowpass", str(rate * 0.4 / 1000),
            *args, wav, os.path.join(HERE, name))


def twolame(name, rate, channels, *args):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        make_signal(wav, rate, channels)
        run("twolame", "--quiet", *args, wav, os.path.join(HERE, name))


def ffmpeg_mp2(name, rate, channels, kbps):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        make_signal(wav, rate, channels)
        run("ffmpeg", "-loglevel", "error", "-y", "-i", wav, "-c:a", "mp2", "-b:a", "%dk" % kbps,
            os.path.join(HERE, name))


def with_intensity(source, name, extension):
    """Copies a constant-rate MPEG-1 Layer III joint-stereo stream, setting the
    mode extension of its joint frames: 1 intensity stereo, 3 intensity and
    mid/side. The right channel above its last non-zero band then becomes
    intensity positions (its scale factors). No Debian encoder writes Layer III
    intensity stereo; mpg123 decodes the result as the standard says."""
    kbps = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
    data = bytearray(open(os.path.join(HERE, source), "rb").read())
    pos = 0
    while pos + 4 <= len(data) and data[pos] == 0xFF and (data[pos + 1] & 0xF8) == 0xF8:
        rate = RATES[1][(data[pos + 2] >> 2) & 3]
        length = 144 * kbps[data[pos + 2] >> 4] * 1000 // rate + ((data[pos + 2] >> 1) & 1)
        if data[pos + 3] >> 6 == 1:
            data[pos + 3] = (data[pos + 3] & 0xCF) | (extension << 4)
        pos += length
    with open(os.path.join(HERE, name), "wb") as fh:
        fh.write(data)


def with_mixed_blocks(source, name):
    """Copies a Layer III stream (MPEG-1 or MPEG-2), setting the mixed-block
    flag of every granule whose block type is 1 (start) or 3 (stop). The flag
    is a side-information bit of its own, so nothing else moves; the two
    lowest subbands of those granules then take the normal window. No Debian
    encoder writes mixed blocks; mpg123 decodes them as the standard says."""
    kbps = {1: [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
            2: [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160]}
    data = bytearray(open(os.path.join(HERE, source), "rb").read())

    def get(at, n):
        v = 0
        for i in range(n):
            v = v << 1 | (data[(at + i) // 8] >> (7 - (at + i) % 8)) & 1
        return v

    changed = {1: 0, 3: 0}
    pos = 0
    while pos + 4 <= len(data) and data[pos] == 0xFF and (data[pos + 1] & 0xF6) == 0xF2:
        mpeg1 = (data[pos + 1] >> 3) & 1 == 1
        rate = RATES[1 if mpeg1 else 2][(data[pos + 2] >> 2) & 3]
        length = (144 if mpeg1 else 72) * kbps[1 if mpeg1 else 2][data[pos + 2] >> 4] * 1000 // rate
        length += (data[pos + 2] >> 1) & 1
        channels = 1 if data[pos + 3] >> 6 == 3 else 2
        bit = (pos + (4 if data[pos + 1] & 1 else 6)) * 8
        bit += (9 + (5 if channels == 1 else 3) + 4 * channels) if mpeg1 else (8 + channels)
        for _ in range(2 if mpeg1 else 1):
            for _ in range(channels):
                bit += 12 + 9 + 8 + (4 if mpeg1 else 9)
                switching = get(bit, 1)
                bit += 1
                if switching:
                    block_type = get(bit, 2)
                    if block_type in (1, 3):
                        data[(bit + 2) // 8] |= 0x80 >> ((bit + 2) % 8)
                        changed[block_type] += 1
                    bit += 2 + 1 + 10 + 9
                else:
                    bit += 15 + 7
                bit += 3 if mpeg1 else 2
        pos += length
    if not changed[1] or not changed[3]:
        sys.exit(source + " has no start or no stop block to mark mixed")
    with open(os.path.join(HERE, name), "wb") as fh:
        fh.write(data)


def reference(name):
    raw = subprocess.run(["mpg123", "-q", "--no-gapless", "-e", "f32", "-s", os.path.join(HERE, name)],
                         check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    floats = struct.unpack("<%df" % (len(raw) // 4), raw)
    out = bytearray()
    for v in floats:
        i = int(round(v * (1 << 22)))
        i = max(-(1 << 23), min((1 << 23) - 1, i))
        out += struct.pack("<i", i)[:3]
    with open(os.path.join(HERE, name + ".f24.z"), "wb") as fh:
        fh.write(struct.pack("<I", len(out)) + zlib.compress(bytes(out), 9))


STREAMS = [
    # Layer III, MPEG-1
    ("l3_m1_stereo_44k_128.mp3", lambda n: lame(n, 44100, 2, "-t", "-m", "s", "-b", "128")),
    ("l3_m1_joint_48k_160.mp3", lambda n: lame(n, 48000, 2, "-t", "-m", "j", "-b", "160")),
    ("l3_m1_midside_32k_96.mp3", lambda n: lame(n, 32000, 2, "-t", "-m", "f", "-b", "96")),
    ("l3_m1_mono_44k_64_crc.mp3", lambda n: lame(n, 44100, 1, "-t", "-m", "m", "-p", "-b", "64")),
    ("l3_m1_mono_48k_320.mp3", lambda n: lame(n, 48000, 1, "-t", "-m", "m", "-b", "320", seconds=0.22)),
    ("l3_m1_vbr_xing_44k.mp3", lambda n: lame(n, 44100, 2, "-V", "2")),
    ("l3_m1_intensity_48k_160.mp3", lambda n: with_intensity("l3_m1_joint_48k_160.mp3", n, 1)),
    ("l3_m1_intensity_ms_48k_160.mp3", lambda n: with_intensity("l3_m1_joint_48k_160.mp3", n, 3)),
    ("l3_m1_mixed_start_stop_44k_128.mp3", lambda n: with_mixed_blocks("l3_m1_stereo_44k_128.mp3", n)),
    # Layer III, MPEG-2
    ("l3_m2_joint_22k_64.mp3", lambda n: lame(n, 22050, 2, "-t", "-m", "j", "-b", "64")),
    ("l3_m2_mono_24k_32_crc.mp3", lambda n: lame(n, 24000, 1, "-t", "-m", "m", "-p", "-b", "32")),
    ("l3_m2_midside_16k_48.mp3", lambda n: lame(n, 16000, 2, "-t", "-m", "f", "-b", "48")),
    ("l3_m2_mixed_start_stop_22k_64.mp3", lambda n: with_mixed_blocks("l3_m2_joint_22k_64.mp3", n)),
    # Layer III, MPEG-2.5
    ("l3_m25_joint_11k_32.mp3", lambda n: lame(n, 11025, 2, "-t", "-m", "j", "-b", "32")),
    ("l3_m25_stereo_12k_24.mp3", lambda n: lame(n, 12000, 2, "-t", "-m", "s", "-b", "24")),
    ("l3_m25_mono_8k_16.mp3", lambda n: lame(n, 8000, 1, "-t", "-m", "m", "-b", "16")),
    # Layer II
    ("l2_twolame_stereo_48k_192.mp2", lambda n: twolame(n, 48000, 2, "-m", "s", "-b", "192")),
    ("l2_twolame_joint_44k_128.mp2", lambda n: twolame(n, 44100, 2, "-m", "j", "-b", "128")),
    ("l2_twolame_mono_32k_64_crc.mp2", lambda n: twolame(n, 32000, 1, "-m", "m", "-p", "-b", "64")),
    ("l2_twolame_dual_48k_64.mp2", lambda n: twolame(n, 48000, 2, "-m", "d", "-b", "64")),
    ("l2_twolame_lsf_22k_64.mp2", lambda n: twolame(n, 22050, 2, "-m", "s", "-b", "64")),
    ("l2_ffmpeg_stereo_44k_192.mp2", lambda n: ffmpeg_mp2(n, 44100, 2, 192)),
    ("l2_ffmpeg_mono_16k_48.mp2", lambda n: ffmpeg_mp2(n, 16000, 1, 48)),
    # Layer I (own encoder)
    ("l1_stereo_48k_384.mp1", lambda n: write_layer1(os.path.join(HERE, n), 1, 48000, 384, 0, 0, 6, 1)),
    ("l1_joint_32k_256.mp1", lambda n: write_layer1(os.path.join(HERE, n), 1, 32000, 256, 1, 1, 6, 2)),
    ("l1_mono_44k_192.mp1", lambda n: write_layer1(os.path.join(HERE, n), 1, 44100, 192, 3, 0, 8, 3)),
    ("l1_lsf_24k_128.mp1", lambda n: write_layer1(os.path.join(HERE, n), 2, 24000, 128, 0, 0, 6, 4)),
]


def main():
    only = set(sys.argv[1:])
    for name, make in STREAMS:
        if only and name not in only:
            continue
        make(name)
        reference(name)
        ref = os.path.join(HERE, name + ".f24.z")
        if os.path.getsize(ref) <= 16:
            sys.exit("mpg123 decoded nothing of " + name)
        print(name, os.path.getsize(os.path.join(HERE, name)), os.path.getsize(ref))


if __name__ == "__main__":
    main()
