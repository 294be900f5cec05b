#!/usr/bin/env python3
"""Writes a PLAIN CSV capture of at least N whole PGNs (default 40000) to standard
output: the frames of the real YDWG RAW captures given, one frame a line, repeated
with advancing time stamps until the PGNs they carry reach N. Fast packets keep
their frames together, so every repetition carries the same PGNs.

Usage: n2k-plain-capture.py MESSAGES_PER_PASS N CAPTURE...
"""
import sys


def frames(path):
    for line in open(path, encoding="ascii", errors="replace"):
        parts = line.split()
        if len(parts) < 3 or parts[1] not in ("R", "T"):
            continue
        try:
            can_id = int(parts[2], 16)
            data = [int(b, 16) for b in parts[3:]]
        except ValueError:
            continue
        hh, mm, ss = parts[0].split(":")
        yield (int(hh) * 3600 + int(mm) * 60) * 1000 + round(float(ss) * 1000), can_id, data


def main():
    per_pass = int(sys.argv[1])
    wanted = int(sys.argv[2])
    captured = [f for path in sys.argv[3:] for f in frames(path)]
    passes = -(-wanted // per_pass)
    out = sys.stdout
    for n in range(passes):
        for ms, can_id, data in captured:
            prio = (can_id >> 26) & 7
            pf = (can_id >> 16) & 0xFF
            dst = 255
            pgn = (can_id >> 8) & 0x3FFFF
            if pf < 240:
                dst = can_id >> 8 & 0xFF
                pgn &= 0x3FF00
            t = ms + n * 86400000 // passes
            stamp = "2020-01-01T%02d:%02d:%02d.%03dZ" % (
                t // 3600000 % 24, t // 60000 % 60, t // 1000 % 60, t % 1000)
            out.write("%s,%d,%d,%d,%d,%d,%s\n" % (stamp, prio, pgn, can_id & 0xFF, dst, len(data),
                                                  ",".join("%02x" % b for b in data)))


main()
