#!/usr/bin/env python3
# Writes the PNG fixtures of tests/emu/png_test.cpp by hand (zlib only), so
# each file has exactly the one quirk it is named after.
import os, struct, zlib

HERE = os.path.dirname(os.path.abspath(__file__))

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def png(width, height, depth, colour, raw, interlace=0, extra=b""):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))

def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)

# 4 x 1, 2-bit palette; entry 2 (blue) fully transparent through tRNS.
plte = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255]))
trns = chunk(b"tRNS", bytes([255, 255, 0]))
write("palette_2bit_transparent_entry.png",
      png(4, 1, 2, 3, b"\x00" + bytes([0b00011011]), extra=plte + trns))

# 2 x 1, 16-bit grey: black and white.
write("gray_16bit.png", png(2, 1, 16, 0, b"\x00" + struct.pack(">HH", 0, 0xFFFF)))

# 2 x 1, 8-bit grey with alpha.
write("gray_alpha.png", png(2, 1, 8, 4, b"\x00" + bytes([100, 50, 200, 255])))

# 3 x 3 RGB, Adam7 interlaced; pixel (x, y) = (80x, 80y, 7).
def pixel(x, y):
    return bytes([80 * x, 80 * y, 7])
passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
raw = b""
for x0, y0, dx, dy in passes:
    for y in range(y0, 3, dy):
        row = b"".join(pixel(x, y) for x in range(x0, 3, dx))
        if row:
            raw += b"\x00" + row
write("rgb_interlaced.png", png(3, 3, 8, 2, raw, interlace=1))

# 16 x 16 RGB cut off in the middle of its image data.
full = png(16, 16, 8, 2, b"".join(b"\x00" + bytes(range(48)) for _ in range(16)))
write("truncated.png", full[: len(full) // 2])

# A header that asks for 100000 x 100000 pixels.
write("oversized_header.png", png(100000, 100000, 8, 2, b"\x00\x00\x00\x00"))

write("not_a_png.txt", b"This is a text file, not an image.\n")
