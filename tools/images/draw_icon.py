#!/usr/bin/env python3
"""Draws the program icon (app/res/lk.ico): a grey stone with a red bookmark
ribbon hanging from its top edge, 32 bits with alpha, at the sizes of the small
and large icons at 100, 125, 150 and 200 %."""
import struct
import sys


def pixel(x, y, size):
    """Colour (r, g, b, a) of one pixel, drawn in a 32-unit design space."""
    u = (x + 0.5) * 32.0 / size
    v = (y + 0.5) * 32.0 / size
    # Ribbon: columns 18..25, from the top to row 24 with a notch at the bottom.
    if 18 <= u < 25 and 2 <= v < 25:
        notch = 25 - v < 4 and abs(u - 21.5) < (4 - (25 - v))
        if not notch:
            edge = u < 19 or u >= 24
            return (150, 20, 20, 255) if edge else (215, 40, 40, 255)
    # Stone: an ellipse with a darker rim and a light highlight.
    du = (u - 15.5) / 14.5
    dv = (v - 17.5) / 12.5
    d = du * du + dv * dv
    if d <= 1.0:
        if d > 0.78:
            return (80, 84, 92, 255)
        light = max(0.0, 1.0 - ((u - 11) ** 2 + (v - 13) ** 2) / 140.0)
        g = int(140 + 70 * light)
        return (g, g + 4, g + 12, 255)
    return (0, 0, 0, 0)


def image(size):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    row_bytes = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        bits = 0
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (size - 1 - x)
        row = bits.to_bytes((size + 7) // 8, 'big')
        mask += row + bytes(row_bytes - len(row))
    return header + bytes(pixels) + bytes(mask)


def main(path):
    sizes = [16, 20, 24, 32, 40, 48, 64]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'app/res/lk.ico')
