#!/usr/bin/env python3
"""Draws velmor.ico: a round clock face at 10:10, 16 colours, 32x32 and 16x16."""
import math
import struct
import sys

# The standard 16-colour palette (BGR0), as Windows icons use it.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
NAVY, GREEN, RED, WHITE = 4, 2, 9, 15   # indices into PALETTE, whose triples are (r, g, b)


def face(size):
    """Returns rows (top first) of palette indices, or None for transparent."""
    c = (size - 1) / 2
    r = size / 2 - 0.5
    hands = [(math.radians(-60), 0.50 * r, NAVY),        # hour hand at 10
             (math.radians(60), 0.78 * r, NAVY)]          # minute hand at 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - c, c - y
            d = math.hypot(dx, dy)
            if d > r:
                row.append(None)
                continue
            px = WHITE if d < r - (2 if size > 16 else 1) else NAVY
            for angle, length, colour in hands:
                ux, uy = math.sin(angle), math.cos(angle)
                along = dx * ux + dy * uy
                across = abs(dx * uy - dy * ux)
                if 0 <= along <= length and across <= (1.0 if size > 16 else 0.6):
                    px = colour
            if size > 16:
                for k in range(12):
                    a = math.radians(k * 30)
                    tx, ty = c + math.sin(a) * (r - 4), c - math.cos(a) * (r - 4)
                    if abs(x - tx) < 0.8 and abs(y - ty) < 0.8:
                        px = GREEN if k % 3 else RED
            if d < 1.2:
                px = RED
            row.append(px)
        rows.append(row)
    return rows


def image(size):
    rows = face(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''
    andm = b''
    for row in reversed(rows):                 # bitmaps are stored bottom-up
        line = bytearray()
        for i in range(0, size, 2):
            hi = row[i] or 0
            lo = row[i + 1] or 0
            line.append((hi << 4) | lo)
        xor += bytes(line) + b'\0' * ((4 - len(line) % 4) % 4)
        bits = 0
        mask = bytearray()
        for i, px in enumerate(row):
            bits = (bits << 1) | (1 if px is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        andm += bytes(mask) + b'\0' * ((4 - len(mask) % 4) % 4)
    return header + pal + xor + andm


def main(path):
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'velmor.ico')
