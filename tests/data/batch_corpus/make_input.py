#!/usr/bin/env python3
"""Writes the batch corpus input: varied pair lines, good and bad, from a
fixed seed, so the same bytes come out every time.

    python3 make_input.py > input.txt
"""
import random
import sys

SEED = 20261210
LINES = 24000

rng = random.Random(SEED)

CALLS = ["W1AW", "VK2ABC", "DL/G4ABC", "G4ABC/P", "G4ABC/MM", "W1AW/4", "JA1XYZ", "K1ABC/M",
         "ZL2XX", "PY2AA", "EA8/DL1ABC", "VE3ABC", "UA9ABC", "9A1A", "3D2AB", "VP8ABC", "KH6AB",
         "w1aw", "vk2abc", "G4ABC/QRP", "F/ON4XX", "ON4XX/F", "A61AB", "4X1AB", "ZS6AB", "BY1AA",
         "GB22GE", "AA00AA", "JO01AB", "XX9X", "Q1ABC", "KC4/N1ABC", "@W1AW", "VK", "DL", "G"]
HEMI_LAT = ["N", "S", "n", "s"]
HEMI_LON = ["E", "W", "e", "w"]
BLANKS = [" ", "  ", "\t", " \t ", "   "]


def num(value, leading=False):
    text = str(value)
    if leading and rng.random() < 0.3:
        text = "0" * rng.randint(1, 2) + text
    return text


def dms(limit, hemis):
    r = rng.random()
    if r < 0.1:
        deg = rng.choice([0, limit, limit - 1, 1])
        minutes = rng.choice([0, 59, 60])
        seconds = rng.choice([0, 59, 60])
    elif r < 0.15:
        deg, minutes, seconds = limit, 0, 0
    else:
        deg = rng.randint(0, limit - 1)
        minutes = rng.randint(0, 59)
        seconds = rng.randint(0, 59)
    fields = [num(deg, True), num(minutes, True), num(seconds, True), rng.choice(hemis)]
    if rng.random() < 0.03:
        fields[rng.randint(0, 2)] = "+" + fields[0] if rng.random() < 0.5 else "-" + fields[0]
    if rng.random() < 0.03:
        fields[2] = fields[2] + ".5"
    return fields


def dms_station():
    return dms(90, HEMI_LAT) + dms(180, HEMI_LON)


def locator_text(length):
    text = rng.choice("ABCDEFGHIJKLMNOPQR") + rng.choice("ABCDEFGHIJKLMNOPQR")
    for i in range(2, length, 2):
        if i % 4 == 2:
            text += str(rng.randint(0, 9)) + str(rng.randint(0, 9))
        else:
            text += rng.choice("abcdefghijklmnopqrstuvwx") + rng.choice("abcdefghijklmnopqrstuvwx")
    r = rng.random()
    if r < 0.3:
        text = text.upper()
    elif r < 0.45:
        text = text.lower()
    return text


def locator_station():
    return [locator_text(rng.choice([2, 4, 4, 6, 6, 6, 8, 10]))]


def decimal_station():
    r = rng.random()
    if r < 0.15:
        lat = rng.choice([0, 90, -90, 89.9999, -0.0])
        lon = rng.choice([0, 180, -180, 179.99, 360, -0.5])
    else:
        lat = round(rng.uniform(-90, 90), rng.randint(0, 6))
        lon = round(rng.uniform(-180, 180), rng.randint(0, 6))
    texts = [repr(lat), repr(lon)]
    if rng.random() < 0.1:
        texts = [t.rstrip("0").rstrip(".") if "." in t else t for t in texts]
    if rng.random() < 0.05:
        texts[0] = "+" + texts[0].lstrip("-")
    return texts


def callsign_station():
    return [rng.choice(CALLS)]


KINDS = [dms_station, locator_station, decimal_station, callsign_station]


def good_line():
    own = rng.choices(KINDS, weights=[4, 4, 3, 2])[0]()
    other = rng.choices(KINDS, weights=[4, 4, 3, 2])[0]()
    fields = own + other
    sep = rng.choice(BLANKS) if rng.random() < 0.15 else " "
    line = sep.join(fields)
    if rng.random() < 0.05:
        line = rng.choice(BLANKS) + line
    if rng.random() < 0.05:
        line = line + rng.choice(BLANKS)
    return line.encode()


BAD_FIELDS = ["91", "181", "-1", "61", "x", "1e5", "nan", "inf", "NaN", "0x10", "12a", "", "N", "E", "Z",
              "AA", "ZZ99", "JO01m", "JO01mmm", "JO01mm1", "JO0", "SS00", "JO01yy", "99.5", "-180.0001",
              "1,5", "٣", "１２", "+", "-", ".", "..", "1..2", "--5", "9999999999999999999999"]


def bad_line():
    r = rng.random()
    fields = good_line().split(b" ")
    if r < 0.35:
        i = rng.randrange(len(fields))
        fields[i] = rng.choice(BAD_FIELDS).encode()
        return b" ".join(f for f in fields if f)
    if r < 0.5:
        # too few fields
        return b" ".join(fields[: rng.randint(1, max(1, len(fields) - 1))])
    if r < 0.6:
        # too many fields
        return b" ".join(fields + [b"1"] * rng.randint(1, 12))
    if r < 0.7:
        # bytes that are not UTF-8
        i = rng.randrange(len(fields))
        fields[i] = fields[i] + bytes([rng.choice([0x80, 0xC3, 0xFF, 0xFE, 0xE2])])
        return b" ".join(fields)
    if r < 0.8:
        # control characters
        i = rng.randrange(len(fields))
        fields[i] = fields[i] + bytes([rng.choice([0x00, 0x01, 0x07, 0x1B, 0x0B, 0x0C, 0x7F])])
        return b" ".join(fields)
    if r < 0.9:
        # valid UTF-8 that is not ASCII
        i = rng.randrange(len(fields))
        fields[i] = rng.choice(["51°", "JO01ü", "Ω", "€5"]).encode()
        return b" ".join(fields)
    # a lone station
    return rng.choice(KINDS)()[0].encode()


def special_line():
    r = rng.random()
    if r < 0.3:
        return b""
    if r < 0.45:
        return rng.choice(BLANKS).encode()
    if r < 0.75:
        return ("#" + rng.choice(["", " comment", " pair: JO01 FN20", "#", " \xe9t\xe9"])).encode("latin-1")
    return (rng.choice(BLANKS) + "# indented comment").encode()


def long_line(i):
    size = 65536 + rng.choice([1, 2, 100, 5000])
    if i == 0:
        return b"#" + b"x" * size
    if i == 1:
        return b" " * size
    if i == 2:
        return b"JO01 FN20" + b" " * size
    return b"JO01 " * (size // 5 + 1)


def main():
    out = sys.stdout.buffer
    longs = set(rng.sample(range(100, LINES), 4))
    long_index = 0
    # The largest pair line allowed, and one byte more.
    edge = [b"JO01 FN20" + b" " * (65536 - 9), b"JO01 FN20" + b" " * (65537 - 9)]
    for n in range(LINES):
        if n in longs:
            line = long_line(long_index)
            long_index += 1
        elif n < 2:
            line = edge[n]
        else:
            r = rng.random()
            line = good_line() if r < 0.72 else bad_line() if r < 0.92 else special_line()
        ending = b"\r\n" if rng.random() < 0.05 else b"\n"
        out.write(line + ending)


main()
