#!/usr/bin/env python3
"""Prints the "moving traffic" section of default.nmea: own ship (RMC) steaming north
and several AIS stations around it, each step 30 seconds of simulated time, so that
the monitor's target table and plan view show vessels that move, cross and pass.

Regenerate with:  tools/sim/data/ais_traffic.py > section.nmea
"""
import math

OWN_LAT, OWN_LON = 54.0, 7.8333333  # 54°00' N 007°50' E
OWN_SOG, OWN_COG = 6.0, 0.0
STEP_S = 30
STEPS = 10


def checksum(body):
    c = 0
    for ch in body:
        c ^= ord(ch)
    return "%02X" % c


class Bits:
    def __init__(self):
        self.bits = ""

    def u(self, value, width):
        self.bits += format(value & ((1 << width) - 1), "0%db" % width)
        return self

    def text(self, value, chars):
        value = value.upper().ljust(chars, "@")[:chars]
        for ch in value:
            code = ord(ch)
            self.u(code - 64 if code >= 64 else code, 6)
        return self

    def armour(self):
        fill = (6 - len(self.bits) % 6) % 6
        bits = self.bits + "0" * fill
        out = ""
        for i in range(0, len(bits), 6):
            v = int(bits[i:i + 6], 2)
            out += chr(v + 48 if v < 40 else v + 56)
        return out, fill


def sentences(bits, channel="A", seq=[0]):
    payload, fill = bits.armour()
    chunks = [payload[i:i + 60] for i in range(0, len(payload), 60)]
    lines = []
    seq_id = ""
    if len(chunks) > 1:
        seq[0] = seq[0] % 9 + 1
        seq_id = str(seq[0])
    for n, chunk in enumerate(chunks, 1):
        f = fill if n == len(chunks) else 0
        body = "AIVDM,%d,%d,%s,%s,%s,%d" % (len(chunks), n, seq_id, channel, chunk, f)
        lines.append("!%s*%s" % (body, checksum(body)))
    return lines


def wire(degrees):
    return int(round(degrees * 600000))


def position_report(mmsi, lat, lon, sog, cog, heading, status=0):
    b = Bits().u(1, 6).u(0, 2).u(mmsi, 30).u(status, 4).u(0, 8).u(int(round(sog * 10)), 10)
    b.u(1, 1).u(wire(lon), 28).u(wire(lat), 27).u(int(round(cog * 10)), 12).u(heading, 9)
    b.u(30, 6).u(0, 2).u(0, 3).u(0, 1).u(0, 19)
    return sentences(b)


def class_b_report(mmsi, lat, lon, sog, cog, heading):
    b = Bits().u(18, 6).u(0, 2).u(mmsi, 30).u(0, 8).u(int(round(sog * 10)), 10).u(0, 1)
    b.u(wire(lon), 28).u(wire(lat), 27).u(int(round(cog * 10)), 12).u(heading, 9).u(30, 6)
    b.u(0, 2).u(1, 1).u(0, 1).u(0, 1).u(1, 1).u(0, 1).u(0, 1).u(0, 1).u(1, 1).u(0, 19)
    return sentences(b, "B")


def static_voyage(mmsi, imo, callsign, name, shiptype, dims, draught, destination):
    b = Bits().u(5, 6).u(0, 2).u(mmsi, 30).u(0, 2).u(imo, 30).text(callsign, 7).text(name, 20)
    b.u(shiptype, 8).u(dims[0], 9).u(dims[1], 9).u(dims[2], 6).u(dims[3], 6).u(1, 4)
    b.u(6, 4).u(14, 5).u(18, 5).u(30, 6).u(int(draught * 10), 8).text(destination, 20)
    b.u(0, 1).u(0, 1)
    return sentences(b)


def static_b(mmsi, name, shiptype, callsign, dims):
    a = Bits().u(24, 6).u(0, 2).u(mmsi, 30).u(0, 2).text(name, 20)
    p = Bits().u(24, 6).u(0, 2).u(mmsi, 30).u(1, 2).u(shiptype, 8).text("", 7).text(callsign, 7)
    p.u(dims[0], 9).u(dims[1], 9).u(dims[2], 6).u(dims[3], 6).u(0, 6)
    return sentences(a, "B") + sentences(p, "B")


def aid(mmsi, aid_type, name, lat, lon):
    b = Bits().u(21, 6).u(0, 2).u(mmsi, 30).u(aid_type, 5).text(name, 20).u(1, 1)
    b.u(wire(lon), 28).u(wire(lat), 27).u(0, 30).u(7, 4).u(30, 6).u(0, 1).u(0, 8)
    b.u(0, 1).u(0, 1).u(0, 1).u(0, 1)
    return sentences(b)


def base_station(mmsi, lat, lon):
    b = Bits().u(4, 6).u(0, 2).u(mmsi, 30).u(2026, 14).u(6, 4).u(14, 5).u(12, 5).u(0, 6)
    b.u(0, 6).u(1, 1).u(wire(lon), 28).u(wire(lat), 27).u(7, 4).u(0, 10).u(0, 1).u(0, 19)
    return sentences(b)


def offset(lat, lon, east_nm, north_nm):
    return (lat + north_nm / 60.0,
            lon + east_nm / 60.0 / math.cos(math.radians(lat)))


def moved(start, sog, cog, seconds):
    d = sog * seconds / 3600.0
    return offset(start[0], start[1], d * math.sin(math.radians(cog)),
                  d * math.cos(math.radians(cog)))


def rmc(time_s, lat, lon, sog, cog):
    hh, mm, ss = 12 + time_s // 3600, time_s // 60 % 60, time_s % 60
    def dm(value, digits):
        a = abs(value)
        d = int(a)
        return "%0*d%07.4f" % (digits, d, (a - d) * 60)
    body = "GPRMC,%02d%02d%02d.00,A,%s,%s,%s,%s,%.1f,%.1f,140626,,,A" % (
        hh, mm, ss, dm(lat, 2), "N" if lat >= 0 else "S", dm(lon, 3), "E" if lon >= 0 else "W",
        sog, cog)
    return "$%s*%s" % (body, checksum(body))


# (mmsi, kind, start offset east/north NM, sog, cog, status)
MOVERS = [
    (211345670, "A", (2.0, 1.0), 12.0, 270.0, 0),    # crossing from starboard, collision course
    (244870123, "A", (0.8, 4.0), 10.0, 180.0, 0),    # meeting, passing to starboard
    (636019876, "A", (-2.2, 2.1), 16.0, 135.0, 0),   # pilot vessel bound for the fairway
    (219023456, "A", (0.3, -2.5), 3.0, 300.0, 7),    # fishing
    (211987650, "A", (-2.0, 0.6), 0.0, 0.0, 1),      # at anchor
    (244123450, "B", (-1.2, -1.0), 5.0, 45.0, 0),    # sailing yacht
]

STATICS = [
    static_voyage(211345670, 9234561, "DABC7", "ELBE TRADER", 70, (120, 25, 10, 10), 7.4,
                  "HAMBURG"),
    static_voyage(244870123, 9345672, "PDXY3", "NORTHERN STAR", 80, (150, 30, 12, 12), 9.8,
                  "ROTTERDAM"),
    static_voyage(636019876, 0, "D5PL7", "PILOT 7", 50, (20, 5, 3, 3), 2.1, "FAIRWAY"),
    static_voyage(219023456, 0, "OXFK2", "KUTTER 12", 30, (18, 4, 3, 3), 3.0, ""),
    static_voyage(211987650, 9456783, "DFAN9", "ANCHOR LADY", 71, (90, 20, 8, 8), 6.5,
                  "BREMERHAVEN"),
    static_b(244123450, "BLUE HERON", 36, "PH4567", (8, 3, 2, 2)),
]


def main():
    print("# Moving traffic around own ship, generated by ais_traffic.py: own ship (RMC) and")
    print("# AIS messages 1, 4, 5, 18, 21 and 24 of several stations, 30 s apart")
    starts = {m[0]: offset(OWN_LAT, OWN_LON, *m[2]) for m in MOVERS}
    for step in range(STEPS):
        t = step * STEP_S
        own = moved((OWN_LAT, OWN_LON), OWN_SOG, OWN_COG, t)
        print(rmc(t, own[0], own[1], OWN_SOG, OWN_COG))
        for mmsi, kind, _, sog, cog, status in MOVERS:
            lat, lon = moved(starts[mmsi], sog, cog, t)
            heading = int(round(cog)) % 360 if sog > 0 else 511
            course = cog if sog > 0 else 360.0  # 3600: no course while still
            lines = (position_report(mmsi, lat, lon, sog, course, heading, status) if kind == "A"
                     else class_b_report(mmsi, lat, lon, sog, course, heading))
            print("\n".join(lines))
        if step < len(STATICS):
            print("\n".join(STATICS[step]))
        if step == 2:
            print("\n".join(aid(992111111, 20, "NORTH CARDINAL",
                                *offset(OWN_LAT, OWN_LON, 0.7, 1.0))))
        if step == 4:
            print("\n".join(base_station(2111240, *offset(OWN_LAT, OWN_LON, -5.0, 0.5))))


main()
