#!/usr/bin/env python3
"""Writes the frame's test files (tests/data/frame) and the seed corpora of
its fuzz targets (fuzz/corpus/profile, nmm, lzss) from the layouts in
docs/FORMATS.md, independently of the C++ code. Run from anywhere."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")
PROFILE_KEY = bytes([0xA5, 0x3C, 0x5A, 0xC3, 0x96, 0x69, 0x0F, 0xF0, 0x1E, 0xE1,
                     0x2D, 0xD2, 0x4B, 0xB4, 0x78, 0x87, 0x33, 0xCC, 0x55, 0xAA])


def write(folder, name, data):
    path = os.path.join(CORPUS, folder) if folder else HERE
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def scramble(text):
    body = bytes(b ^ PROFILE_KEY[i % 20] for i, b in enumerate(text))
    return body + struct.pack("<I", zlib.crc32(text) & 0xFFFFFFFF)


def lzss_literals(data):
    out = bytearray()
    for i in range(0, len(data), 8):
        chunk = data[i:i + 8]
        out.append((1 << len(chunk)) - 1)
        out += chunk
    return bytes(out)


def dxor_literals(data):
    out = bytearray()
    prev = lambda i: data[i - 4] if i >= 4 else 0
    for i in range(0, len(data), 128):
        chunk = data[i:i + 128]
        out.append(len(chunk) - 1)
        out += bytes(b ^ prev(i + k) for k, b in enumerate(chunk))
    return bytes(out)


def archive(entries, key=0x5A):
    header = bytearray(256)
    header[0:4] = b"ARC\0"
    struct.pack_into("<III", header, 4, 1, len(entries), 256)
    header[16] = key
    offset = 256 + 512 * len(entries)
    directory = bytearray()
    payload = bytearray()
    for name, method, stored, unpacked_size in entries:
        entry = bytearray(512)
        entry[0:len(name)] = name
        struct.pack_into("<IIII", entry, 260, offset, len(stored), unpacked_size, method)
        directory += bytes(b ^ key for b in entry)
        payload += stored
        offset += len(stored)
    return bytes(header + directory + payload)


profile = (b"[global]\r\nwidth=800\r\nheight=600\r\ntitle=\x95\x5C\x8E\xA6\r\n"
           b"[systemInt]\r\n3=-12\r\n[cgs]\r\nev01=seen\r\n")
write("profile", "plain.ini", profile)
write("profile", "scrambled.ini", scramble(profile))
write("profile", "comments.ini", b"; c\n[ a ]\n k = v \nnoequals\n[a]\nk=2\n")

text = b"lantern lantern lantern archive entry\r\n" * 4
write("nmm", "three_methods.nmm", archive([
    (b"stored.txt", 0, text, len(text)),
    (b"lzss.txt", 1, lzss_literals(text), len(text)),
    (b"\x95\x5C.txt", 2, dxor_literals(text), len(text)),
]))
write("nmm", "empty.nmm", archive([]))

ref = bytes([0xEE, 0xF3])  # ring offset 4078, length 6
write("lzss", "overlap.bin", struct.pack("<H", 10) + bytes([0x17]) + b"ABC" + ref + b"X")
write("lzss", "literals.bin", struct.pack("<H", len(text)) + lzss_literals(text))
write("lzss", "dxor_run.bin", struct.pack("<H", 12) + bytes([0x03, 1, 2, 3, 4, 0x85, 0x00, 0x01]))

# Test files: the same archive and profile, read back by the C++ tests.
write("", "three_methods.nmm", archive([
    (b"stored.txt", 0, text, len(text)),
    (b"lzss.txt", 1, lzss_literals(text), len(text)),
    (b"\x95\x5C.txt", 2, dxor_literals(text), len(text)),
]))
write("", "scrambled.ini", scramble(profile))
