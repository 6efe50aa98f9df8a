#!/usr/bin/env python3
"""Writes the small valid files the fuzz targets start from (corpus/<name>/).
Run from anywhere; the files are committed, this only remakes them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(name, file, data):
    os.makedirs(os.path.join(HERE, "corpus", name), exist_ok=True)
    with open(os.path.join(HERE, "corpus", name, file), "wb") as f:
        f.write(data)


def card(text):
    return text[:80].ljust(80).encode("ascii")


def value(keyword, val):
    return card(keyword.ljust(8) + "= " + str(val).rjust(20))


def fits(cards, end_at_block_start=False):
    h = b"".join(value(k, v) for k, v in cards)
    h = (h.ljust(2880, b" ") if end_at_block_start else h) + card("END")
    return h.ljust((len(h) + 2879) // 2880 * 2880, b" ")


def encode_row(values):
    body = struct.pack("<H", values[0])
    for prev, v in zip(values, values[1:]):
        body += struct.pack("<b", v - prev) if -127 <= v - prev <= 127 else b"\x80" + struct.pack("<H", v)
    if len(body) >= 2 * len(values):
        body = struct.pack("<%dH" % len(values), *values)
    return struct.pack("<H", len(body)) + body


def sbig(lines, ending=b"\n\r"):
    return b"".join(l.encode("ascii") + ending for l in lines).ljust(2048, b"\0")


mono = [("SIMPLE", "T"), ("BITPIX", 16), ("NAXIS", 2), ("NAXIS1", 4), ("NAXIS2", 3)]
data = struct.pack(">12h", -32768, -1, 0, 1, 32767, 100, -100, 5, 6, 7, 8, 9)
put("fits_reader", "mono16.fit", fits(mono + [("BZERO", 32768), ("BSCALE", 1)]) + data)
# Signed 16-bit without BZERO and BSCALE: negative raw values.
put("fits_reader", "signed16.fit", fits(mono) + data)
# Colour 8-bit cube with BSCALE but no BZERO, and a few trailing bytes.
colour = [("SIMPLE", "T"), ("BITPIX", 8), ("NAXIS", 3), ("NAXIS1", 3), ("NAXIS2", 2), ("NAXIS3", 3), ("BSCALE", "1.0")]
put("fits_reader", "colour8.fit", fits(colour) + bytes(range(0, 180, 10)) + b"\0\0\0")
# END as the first card of the second block, fractional values.
frac = mono[:3] + [("NAXIS1", 2), ("NAXIS2", 2), ("BZERO", "32768.0 / offset"), ("BSCALE", "2.5")]
put("fits_reader", "end-second-block.fit", fits(frac, True) + struct.pack(">4h", 1, 2, 3, 4))

raw = [1000, 1001, 999, 4660, 65535, 0, 256, 1002]
put("sbig_reader", "raw.st7", sbig(["ST-7 Image", "Width = 4", "Height = 2", "End"]) + struct.pack("<8H", *raw))
rows = [[1000, 1005, 990, 30000, 30010], [7, 7, 7, 7, 7], [65535, 0, 65535, 0, 65535]]
put("sbig_reader", "compressed.st7", sbig(["ST-7 Compressed Image", "Height = 3", "Width = 5", "End"], b"\r")
    + b"".join(encode_row(r) for r in rows))

codec = {"deltas": [1000, 1005, 990, 990, 1100, 1000], "escapes": [0, 40000, 0, 40000, 1, 2], "flat": [5] * 9}
for name, values in codec.items():
    width = struct.pack("<H", len(values))
    put("sbig_row_codec", "decode-" + name, width + b"\0" + encode_row(values)[2:])
    put("sbig_row_codec", "encode-" + name, width + b"\1" + struct.pack("<%dH" % len(values), *values))

lines = {"naxis1": value("NAXIS1", 4096), "bzero-comment": value("BZERO", "32768.0 / offset"),
         "bscale-exponent": card("BSCALE  =               1.5E+0"), "negative": card("BZERO   =  \t-3.2e4"),
         "sbig-width": b"Width = 765\r", "no-equals": card("COMMENT no value here")}
for name, line in lines.items():
    put("keyword_helpers", name, line)
