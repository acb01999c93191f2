#!/usr/bin/env python3
"""Makes the demo game's sounds (run from anywhere; writes beside this file).

  voice/chime.wav   one-shot effect: a bell, 8-bit unsigned mono 22050 Hz
  se/rain.wav       looping effect: soft rain (filtered noise), 16-bit mono 22050 Hz,
                    its end cross-faded into its start so that the loop has no seam
  voice/mio01.wav   a voice line: four sung "a" syllables, 16-bit mono 22050 Hz
  voice/mio02.wav   another voice line: three higher syllables, rising
  bgm/01.wav        music track 1 as a WAVE file: a C major arpeggio over a pad
  bgm/02.wav        music track 2 as MP3 data (the game names every track
                    "%02d.wav" and finds out what is inside): an A minor arpeggio;
                    the start menu plays it too
  bgm/12.wav        the CG gallery's music: a slow F major arpeggio
  bgm/15.wav        the scene replay's music: a slow D minor arpeggio
  se/sys_start.wav  the start menu's hover sound: a short soft tick
  cd/lantern.cue    a CD image: two audio tracks of one second each, pads whose
  cd/lantern.bin    frequencies are whole hertz so that each track loops cleanly

Every waveform is computed here (python3 standard library); only the MP3 track
needs `lame`. The results are committed, so building and playing the demo
needs neither. Peak levels stay well below full scale so that the mixer's sums
of several sounds do not clip.
"""
import math
import os
import struct
import subprocess
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 22050
CD_RATE = 44100


def path(name):
    full = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    return full


def write_wav(name, samples, rate=RATE, bits=16):
    """samples: floats in -1..1, mono."""
    with wave.open(path(name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(bits // 8)
        w.setframerate(rate)
        if bits == 8:
            data = bytes(max(0, min(255, round(128 + s * 127))) for s in samples)
        else:
            data = b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767)))) for s in samples)
        w.writeframes(data)


def envelope(t, length, attack, release):
    e = 1.0
    if t < attack:
        e = t / attack
    if t > length - release:
        e = min(e, max(0.0, (length - t) / release))
    return e


def note(freq, seconds, amp, rate=RATE, harmonics=(1.0, 0.3, 0.1), attack=0.01, release=0.08):
    out = []
    for i in range(int(seconds * rate)):
        t = i / rate
        v = sum(h * math.sin(2 * math.pi * freq * (k + 1) * t) for k, h in enumerate(harmonics))
        out.append(amp * envelope(t, seconds, attack, release) * v / sum(harmonics))
    return out


def mix(a, b):
    n = max(len(a), len(b))
    return [(a[i] if i < len(a) else 0.0) + (b[i] if i < len(b) else 0.0) for i in range(n)]


def chime():
    out = []
    for i in range(int(0.5 * RATE)):
        t = i / RATE
        v = math.sin(2 * math.pi * 880 * t) + 0.5 * math.sin(2 * math.pi * 2310 * t) * math.exp(-t * 8)
        out.append(0.45 * math.exp(-t * 6) * min(1.0, t / 0.003) * v)
    return out


def rain():
    n = int(0.6 * RATE)
    fade = int(0.1 * RATE)
    seed = 12345
    low = 0.0
    raw = []
    for _ in range(n + fade):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        white = seed / 0x3FFFFFFF - 1.0
        low += 0.25 * (white - low)
        raw.append(0.5 * low)
    # The tail beyond n fades into the head, so sample n-1 leads into sample 0.
    out = raw[:n]
    for i in range(fade):
        w = i / fade
        out[i] = raw[i] * w + raw[n + i] * (1 - w)
    return out


def voice(pitches=((220, 247), (262, 247), (233, 220), (196, 175))):
    # Syllables: a sawtooth-like glottal tone shaped by two formants of "a".
    out = []
    for start, end in pitches:
        length = 0.26
        for i in range(int(length * RATE)):
            t = i / RATE
            f0 = start + (end - start) * t / length
            v = 0.0
            for k in range(1, 12):
                fk = f0 * k
                weight = math.exp(-((fk - 700) / 250) ** 2) + 0.6 * math.exp(-((fk - 1200) / 300) ** 2) + 0.15 / k
                v += weight * math.sin(2 * math.pi * fk * t + k)
            out.append(0.12 * envelope(t, length, 0.03, 0.06) * v)
        out.extend([0.0] * int(0.04 * RATE))
    return out


def arpeggio(root_freqs, pad_freqs, seconds=2.0, rate=RATE):
    step = seconds / 8
    tune = []
    for i in range(8):
        tune.extend(note(root_freqs[i % len(root_freqs)], step, 0.25, rate))
    pad = [0.0] * int(seconds * rate)
    for f in pad_freqs:
        pad = mix(pad, note(f, seconds, 0.08, rate, harmonics=(1.0,), attack=0.05, release=0.05))
    return mix(tune, pad)


def tick():
    out = []
    for i in range(int(0.06 * RATE)):
        t = i / RATE
        out.append(0.3 * math.exp(-t * 90) * math.sin(2 * math.pi * 1500 * t))
    return out


def write_mp3(name, samples):
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "source.wav")
        with wave.open(source, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(b"".join(struct.pack("<h", round(s * 32767)) for s in samples))
        subprocess.run(["lame", "--quiet", "-m", "m", "-b", "32", source, path(name)], check=True)


def cd_image():
    """Two one-second tracks (75 sectors each) of 44.1 kHz 16-bit stereo."""
    tracks = [((262, 330, 392), 0.5), ((220, 277, 330), 0.5)]
    data = bytearray()
    for freqs, pan in tracks:
        for i in range(CD_RATE):
            t = i / CD_RATE
            v = sum(math.sin(2 * math.pi * f * t) for f in freqs) / len(freqs)
            tremolo = 0.8 + 0.2 * math.sin(2 * math.pi * 2 * t)
            left = round(0.3 * 32767 * v * tremolo * (1.0 - 0.4 * pan))
            right = round(0.3 * 32767 * v * tremolo * (0.6 + 0.4 * pan))
            data += struct.pack("<hh", left, right)
    with open(path("cd/lantern.bin"), "wb") as f:
        f.write(data)
    with open(path("cd/lantern.cue"), "w", newline="\n") as f:
        f.write('FILE "lantern.bin" BINARY\n'
                "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n")


def main():
    write_wav("voice/chime.wav", chime(), bits=8)
    write_wav("se/rain.wav", rain())
    write_wav("voice/mio01.wav", voice())
    write_wav("voice/mio02.wav", voice(((262, 294), (294, 330), (330, 392))))
    write_wav("bgm/01.wav", arpeggio([262, 330, 392, 523], [131, 196]))
    write_mp3("bgm/02.wav", arpeggio([220, 262, 330, 440], [110, 165]))
    write_wav("bgm/12.wav", arpeggio([175, 220, 262, 349], [87, 131], seconds=3.0))
    write_wav("bgm/15.wav", arpeggio([147, 175, 220, 294], [73, 110], seconds=3.0))
    write_wav("se/sys_start.wav", tick())
    cd_image()


if __name__ == "__main__":
    main()
