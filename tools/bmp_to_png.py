#!/usr/bin/env python3
"""Converts an uncompressed 24-bit BMP (as the UI driver's screenshots are)
into a PNG, with nothing but the standard library.

    tools/bmp_to_png.py INPUT.bmp OUTPUT.png

A picture of at most 256 colours (every dialog screenshot) is stored with a
palette, which keeps the files a few kilobytes small; anything else as RGB.
"""
import struct
import sys
import zlib


def read_bmp(path):
    """Returns width, height and the rows top to bottom as RGB bytes."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:2] != b'BM':
        raise ValueError(f'{path}: not a BMP file')
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    bits, compression = struct.unpack_from('<HI', data, 28)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f'{path}: not an uncompressed 24-bit BMP')
    stride = (width * 3 + 3) & ~3
    rows = abs(height)
    if offset + stride * rows > len(data):
        raise ValueError(f'{path}: truncated')
    picture = []
    for y in range(rows):
        # Positive heights are stored bottom-up.
        source = rows - 1 - y if height > 0 else y
        start = offset + source * stride
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3] = bgr[2::3]
        rgb[1::3] = bgr[1::3]
        rgb[2::3] = bgr[0::3]
        picture.append(bytes(rgb))
    return width, rows, picture


def chunk(kind, body):
    return (struct.pack('>I', len(body)) + kind + body +
            struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))


def encode_png(width, height, rows):
    colours = {}
    for row in rows:
        for i in range(0, len(row), 3):
            colours.setdefault(row[i:i + 3], len(colours))
            if len(colours) > 256:
                break
        if len(colours) > 256:
            break
    chunks = []
    if len(colours) <= 256:
        header = struct.pack('>IIBBBBB', width, height, 8, 3, 0, 0, 0)
        palette = b''.join(sorted(colours, key=colours.get))
        lines = [b'\0' + bytes(colours[row[i:i + 3]] for i in range(0, len(row), 3))
                 for row in rows]
        chunks.append(chunk(b'PLTE', palette))
    else:
        header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
        lines = [b'\0' + row for row in rows]
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + b''.join(chunks) +
            chunk(b'IDAT', zlib.compress(b''.join(lines), 9)) + chunk(b'IEND', b''))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write('usage: bmp_to_png.py INPUT.bmp OUTPUT.png\n')
        return 2
    width, height, rows = read_bmp(argv[1])
    with open(argv[2], 'wb') as f:
        f.write(encode_png(width, height, rows))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
