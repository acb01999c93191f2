#!/usr/bin/env python3
"""Writes a large plain profile input for the profile fuzz target, to check
that it runs large files at full speed:

    python3 fuzz/make_large_profile.py OUT [KEYS] [SECTIONS]

KEYS keys (default 12,000) spread over SECTIONS sections (default 4), about
11 bytes a line. The first line, "a", is a line the reader ignores; its byte
makes the target feed the one-value scan one byte at a time, its slowest way.
"""
import sys


def main():
    out = sys.argv[1]
    keys = int(sys.argv[2]) if len(sys.argv) > 2 else 12000
    sections = int(sys.argv[3]) if len(sys.argv) > 3 else 4
    lines = ["a"]
    per = -(-keys // sections)
    for k in range(keys):
        if k % per == 0:
            lines.append("[s%d]" % (k // per))
        lines.append("k%d=%d" % (k, (k * 7919) % 1000))
    with open(out, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
