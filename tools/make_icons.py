#!/usr/bin/env python3
"""Draws the launcher's class icons: a black bar code on white, as 16-colour
(4-bit) Windows icon images. Writes resources/barcode_large.ico (32x32 and
16x16) and resources/barcode_small.ico (16x16). The output is deterministic,
so the committed icons can be checked against this script."""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette; 0 is black, 15 is white.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, WHITE = 0, 15
# Bar widths in pixels for a 32-pixel icon, alternating black and white.
BARS_32 = [2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 1, 1, 2, 1, 1, 2]
BARS_16 = [1, 1, 2, 1, 1, 1, 2, 1, 1, 1]


def draw(size, bars):
    """Rows top to bottom of palette indices: a white card with bars."""
    margin = 2 if size == 32 else 1
    columns = [WHITE] * size
    x = (size - sum(bars)) // 2
    for i, width in enumerate(bars):
        for _ in range(width):
            columns[x] = BLACK if i % 2 == 0 else WHITE
            x += 1
    rows = []
    for y in range(size):
        if y < margin or y >= size - margin:
            rows.append([WHITE] * size)
        elif y >= size - margin - (4 if size == 32 else 2):
            # the digits line under the bars, left blank
            rows.append([WHITE] * size)
        else:
            rows.append(list(columns))
    return rows


def image(size, rows):
    """BITMAPINFOHEADER, palette, XOR bitmap (4 bpp) and AND mask, bottom-up."""
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, size, 2):
            line.append((row[x] << 4) | row[x + 1])
        xor += line + bytes(xor_stride - len(line))
    mask = bytes(and_stride * size)  # every pixel opaque
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + mask


def icon(sizes):
    images = [image(s, draw(s, BARS_32 if s == 32 else BARS_16)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else 'resources')
    (folder / 'barcode_large.ico').write_bytes(icon([32, 16]))
    (folder / 'barcode_small.ico').write_bytes(icon([16]))


if __name__ == '__main__':
    main()
