#!/usr/bin/env python3
"""Writes the small valid files the fuzz targets start from (corpus/<name>/).
Run from anywhere; the files are committed, this only remakes them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(name, file, data):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, file), "wb") as f:
        f.write(data)


def card(text):
    return text[:80].ljust(80).encode("ascii")


def value(keyword, val):
    return card(keyword.ljust(8) + "= " + str(val).rjust(20))


def fits_header(cards, end_at_block_start=False):
    h = b"".join(cards)
    if end_at_block_start:
        h = h.ljust(2880, b" ")
    h += card("END")
    return h.ljust((len(h) + 2879) // 2880 * 2880, b" ")


def fits_seeds():
    mono = [value("SIMPLE", "T"), value("BITPIX", 16), value("NAXIS", 2), value("NAXIS1", 4),
            value("NAXIS2", 3), value("BZERO", 32768), value("BSCALE", 1)]
    data = b"".join(struct.pack(">h", v) for v in (-32768, -1, 0, 1, 32767, 100, -100, 5, 6, 7, 8, 9))
    put("fits_reader", "mono16.fit", fits_header(mono) + data)
    # Signed 16-bit without BZERO and BSCALE: negative raw values.
    signed = [value("SIMPLE", "T"), value("BITPIX", 16), value("NAXIS", 2), value("NAXIS1", 4),
              value("NAXIS2", 3)]
    put("fits_reader", "signed16.fit", fits_header(signed) + data)
    # Colour 8-bit cube with BSCALE but no BZERO, and a few trailing bytes.
    colour = [value("SIMPLE", "T"), value("BITPIX", 8), value("NAXIS", 3), value("NAXIS1", 3),
              value("NAXIS2", 2), value("NAXIS3", 3), value("BSCALE", "1.0")]
    put("fits_reader", "colour8.fit", fits_header(colour) + bytes(range(0, 180, 10)) + b"\0\0\0")
    # END as the first card of the second block, fractional values.
    frac = [value("SIMPLE", "T"), value("BITPIX", 16), value("NAXIS", 2), value("NAXIS1", 2),
            value("NAXIS2", 2), value("BZERO", "32768.0 / offset"), value("BSCALE", "2.5")]
    put("fits_reader", "end-second-block.fit",
        fits_header(frac, end_at_block_start=True) + struct.pack(">4h", 1, 2, 3, 4))


def sbig_header(lines, ending=b"\n\r"):
    text = b"".join(l.encode("ascii") + ending for l in lines)
    return text.ljust(2048, b"\0")


def encode_row(values):
    width = len(values)
    body = struct.pack("<H", values[0])
    for prev, v in zip(values, values[1:]):
        d = v - prev
        body += struct.pack("<b", d) if -127 <= d <= 127 else b"\x80" + struct.pack("<H", v)
    if len(body) >= 2 * width:
        body = b"".join(struct.pack("<H", v) for v in values)
    return struct.pack("<H", len(body)) + body


def sbig_seeds():
    raw = [1000, 1001, 999, 4660, 65535, 0, 256, 1002]
    put("sbig_reader", "raw.st7", sbig_header(["ST-7 Image", "Width = 4", "Height = 2", "End"])
        + b"".join(struct.pack("<H", v) for v in raw))
    rows = [[1000, 1005, 990, 30000, 30010], [7, 7, 7, 7, 7], [65535, 0, 65535, 0, 65535]]
    put("sbig_reader", "compressed.st7",
        sbig_header(["ST-7 Compressed Image", "Height = 3", "Width = 5", "End"], ending=b"\r")
        + b"".join(encode_row(r) for r in rows))


def codec_seeds():
    rows = {"deltas": [1000, 1005, 990, 990, 1100, 1000], "escapes": [0, 40000, 0, 40000, 1, 2],
            "flat": [5] * 9}
    for name, values in rows.items():
        width = struct.pack("<H", len(values))
        put("sbig_row_codec", "decode-" + name, width + b"\0" + encode_row(values)[2:])
        put("sbig_row_codec", "encode-" + name, width + b"\1" + b"".join(struct.pack("<H", v) for v in values))


def keyword_seeds():
    lines = {
        "naxis1": value("NAXIS1", 4096),
        "bzero-comment": value("BZERO", "32768.0 / offset"),
        "bscale-exponent": card("BSCALE  =               1.5E+0"),
        "negative": card("BZERO   =  \t-3.2e4"),
        "sbig-width": b"Width = 765\r",
        "no-equals": card("COMMENT no value here"),
    }
    for name, line in lines.items():
        put("keyword_helpers", name, line)


if __name__ == "__main__":
    fits_seeds()
    sbig_seeds()
    codec_seeds()
    keyword_seeds()
