#!/usr/bin/env python3
"""Writes the device part of default.n2k: an ISO address claim (PGN 60928) and the
product information (PGN 126996) of each device the demo capture hears, as PLAIN
CSV lines (a claim in one frame, the product information as one whole PGN).

The devices are invented for the demo; manufacturer code 1990 is one the PGN
database names no maker for. Run from this folder:
    ./n2k_devices.py > devices.n2k
"""

MANUFACTURER = 1990
MARINE = 4

# source address, device class, device function, model, serial
DEVICES = [
    (0x0D, 60, 145, "Demo GNSS receiver", "GN-1001"),
    (0x13, 60, 140, "Demo heading sensor", "HS-2002"),
    (0x2D, 60, 130, "Demo depth transducer", "DT-3003"),
    (0x15, 85, 130, "Demo wind sensor", "WS-4004"),
    (0x10, 60, 195, "Demo AIS receiver", "AR-5005"),
]


def claim(unique, function, device_class):
    value = unique & 0x1FFFFF
    value |= MANUFACTURER << 21
    value |= function << 40
    value |= device_class << 49
    value |= MARINE << 60
    value |= 1 << 63  # arbitrary address capable
    return value.to_bytes(8, "little")


def text32(text):
    data = text.encode("ascii")
    return data + b"\xff" * (32 - len(data))


def product(model, serial):
    data = (2100).to_bytes(2, "little")  # NMEA 2000 version 2.100
    data += (4242).to_bytes(2, "little")  # product code
    data += text32(model) + text32("1.0.0") + text32("A") + text32(serial)
    data += bytes([2, 1])  # certification level, load equivalency
    return data


def plain(time, prio, pgn, src, data):
    hexes = ",".join("%02x" % b for b in data)
    return "2020-01-01T%s,%d,%d,%d,255,%d,%s" % (time, prio, pgn, src, len(data), hexes)


print("# Devices (written for this project by n2k_devices.py): address claims and")
print("# product information, PLAIN CSV")
for n, (src, device_class, function, model, serial) in enumerate(DEVICES):
    print(plain("00:29:58.%03dZ" % (100 + n), 6, 60928, src, claim(1000 + n, function, device_class)))
for n, (src, device_class, function, model, serial) in enumerate(DEVICES):
    print(plain("00:29:58.%03dZ" % (200 + n), 6, 126996, src, product(model, serial)))
