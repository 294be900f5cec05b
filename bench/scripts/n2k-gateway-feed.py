#!/usr/bin/env python3
"""A stand-in for a Wi-Fi NMEA 2000 gateway on a fully loaded bus, for the monitor's
load measurement: serves YDWG RAW lines over TCP at a steady frame rate, looping the
received frames of real captures with the time of day rewritten to now.

Usage: n2k-gateway-feed.py RATE CAPTURE... ; prints 'tcp 127.0.0.1:PORT' once listening
and serves one client until it goes away.
"""
import socket
import sys
import time


def frames(paths):
    out = []
    for path in paths:
        with open(path, encoding="ascii", errors="replace") as capture:
            for line in capture:
                parts = line.split(" ", 1)
                if len(parts) == 2 and parts[1].startswith("R "):
                    out.append(parts[1].rstrip("\r\n"))
    if not out:
        sys.exit("n2k-gateway-feed: no received frames in " + " ".join(paths))
    return out


def main():
    rate = int(sys.argv[1])
    lines = frames(sys.argv[2:])
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    print("tcp 127.0.0.1:%d" % server.getsockname()[1], flush=True)
    client, _ = server.accept()
    tick = 0.01  # a batch every 10 ms, as a gateway's network buffer gathers frames
    start = time.monotonic()
    sent = 0
    at = 0
    while True:
        due = int((time.monotonic() - start) * rate)
        if due > sent:
            now = time.time()
            stamp = time.strftime("%H:%M:%S", time.gmtime(now)) + ".%03d" % (int(now * 1000) % 1000)
            batch = []
            for _ in range(due - sent):
                batch.append("%s %s\r\n" % (stamp, lines[at]))
                at = (at + 1) % len(lines)
            try:
                client.sendall("".join(batch).encode("ascii"))
            except OSError:
                return
            sent = due
        time.sleep(tick)


if __name__ == "__main__":
    main()
