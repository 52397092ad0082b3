#!/usr/bin/env python3
"""Writes the small test GIFs of this folder byte by byte (see README.md for what each pins down).

Pixel data uses literal LZW codes only (a clear code before the code width would grow), so the
files are easy to check by hand. Run from anywhere: python3 make_test_gifs.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def table(entries):
    return b"".join(bytes((i * 16 % 256, 255 - i * 16 % 256, (i * 37 + 5) % 256)) for i in range(entries))


def size_bits(entries):
    bits = 0
    while (2 << bits) < entries:
        bits += 1
    return bits


def header(width, height, entries=16, signature=b"GIF89a", background=0):
    packed = (0x80 | size_bits(entries)) if entries else 0
    return signature + struct.pack("<HHBBB", width, height, packed, background, 0) + table(entries)


def sub_blocks(data, size=255):
    out = b""
    for i in range(0, len(data), size):
        part = data[i:i + size]
        out += bytes((len(part),)) + part
    return out + b"\0"


def comment(lines):
    return b"\x21\xfe" + sub_blocks(b"".join(lines))


def comment_blocks(blocks):
    return b"\x21\xfe" + b"".join(bytes((len(b),)) + b for b in blocks) + b"\0"


def gce(transparent_index):
    return b"\x21\xf9\x04\x01" + struct.pack("<HB", 0, transparent_index) + b"\0"


def descriptor(left, top, width, height, interlaced=False):
    return b"\x2c" + struct.pack("<HHHHB", left, top, width, height, 0x40 if interlaced else 0)


def literal_codes(indices, min_code_size):
    """Clear, the indices as literals (a clear before the width would grow), end."""
    clear = 1 << min_code_size
    room = (1 << (min_code_size + 1)) - (clear + 2)
    codes, since = [clear], 0
    for v in indices:
        if since > room:
            codes.append(clear)
            since = 0
        codes.append(v)
        since += 1
    codes.append(clear + 1)
    return codes


def pack(codes, min_code_size):
    """Least significant bit first, each code as wide as the decoder expects it."""
    clear = 1 << min_code_size
    width, free, first = min_code_size + 1, clear + 2, True
    acc, bits, out = 0, 0, bytearray()
    for code in codes:
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
        if code == clear:
            width, free, first = min_code_size + 1, clear + 2, True
            continue
        if first:
            first = False
            continue
        if free < 4096:
            free += 1
            if free >= (1 << width) and width < 12:
                width += 1
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def image_data(indices, min_code_size=4):
    return bytes((min_code_size,)) + sub_blocks(pack(literal_codes(indices, min_code_size), min_code_size))


def interlace_order(rows):
    order = []
    for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
        order += list(range(start, rows, step))
    return order


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    # A chart-like picture: bands of colour, the metadata comment before the image.
    w, h = 16, 8
    pixels = [(x // 2 + y) % 16 for y in range(h) for x in range(w)]
    write("chart-comment.gif",
          header(w, h) + comment([b"TIMESTAMP=200612080600\r\n", b"TMIN=50.0\r\n",
                                  b"TMAX=80.0\r\n", b"  VARIATION=-15.5  \r\n"])
          + descriptor(0, 0, w, h) + image_data(pixels) + b";")

    # The same comment after the image: it lands on an extra empty frame.
    write("comment-after-image.gif",
          header(w, h) + descriptor(0, 0, w, h) + image_data(pixels)
          + comment([b"TMIN=50.0"]) + b";")

    # A 300-byte comment in sub-blocks of 255 and 45 bytes.
    text = bytes(ord("a") + i % 26 for i in range(300))
    write("long-comment.gif",
          header(2, 2) + comment_blocks([text[:255], text[255:]]) + descriptor(0, 0, 2, 2)
          + image_data([1, 2, 3, 4]) + b";")

    # Interlaced, 5 rows: row y holds index y in every column.
    rows, cols = 5, 4
    stored = [y for y in interlace_order(rows) for _ in range(cols)]
    write("interlaced-5rows.gif",
          header(cols, rows) + descriptor(0, 0, cols, rows, True) + image_data(stored) + b";")

    # Four arbitrary bytes, a lower-case signature with an odd version, and no trailer.
    write("prefix-lowercase-no-trailer.gif",
          b"\x00\x01\x02\x03" + header(3, 2, signature=b"gif90z") + descriptor(0, 0, 3, 2)
          + image_data([5, 6, 7, 8, 9, 10]))

    # A frame smaller than the screen, offset inside it; background index 15.
    write("small-frame.gif",
          header(6, 4, background=15) + descriptor(2, 1, 3, 2) + image_data([1, 2, 3, 4, 5, 6]) + b";")

    # A transparent logo: index 0 is transparent, a cross of index 9 in an 8 x 8 square.
    logo = [9 if x in (3, 4) or y in (3, 4) else 0 for y in range(8) for x in range(8)]
    write("transparent-logo.gif", header(8, 8) + gce(0) + descriptor(0, 0, 8, 8) + image_data(logo) + b";")

    # LZW data that stops after 6 of 12 pixels (no terminator, no trailer).
    cut = pack(literal_codes([3] * 6, 4)[:-1], 4)
    write("lzw-cut-short.gif", header(4, 3) + descriptor(0, 0, 4, 3) + b"\x04" + bytes((len(cut),)) + cut)

    # An extension with the unregistered label 0x02: the load fails.
    write("unknown-extension-label.gif",
          header(2, 2) + b"\x21\x02\x01x\x00" + descriptor(0, 0, 2, 2) + image_data([1, 2, 3, 4]) + b";")


if __name__ == "__main__":
    main()
