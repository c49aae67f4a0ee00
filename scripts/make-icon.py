#!/usr/bin/env python3
"""Draws the program icon (res/tolvarin.ico): a small monitor showing a night
sky with a crescent moon, at 16x16, 32x32 and 48x48 as 32-bit images with an
AND mask, and at 256x256 (what Explorer shows for large icons) as a PNG
image, the form the system takes for that size. Run it again after changing
the drawing; the .ico is committed."""
import struct
import sys
import zlib


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    frame, screen, stand = (90, 90, 100, 255), (20, 30, 90, 255), (150, 150, 160, 255)
    rect(2, 3, 30, 24, frame)          # monitor case
    rect(4, 5, 28, 22, screen)         # night sky
    rect(13, 24, 19, 27, stand)        # neck
    rect(8, 27, 24, 29, stand)         # foot
    moon = (250, 220, 60, 255)
    cx, cy, r = 18 * s, 13 * s, 6 * s
    for y in range(size):
        for x in range(size):
            fx, fy = x + 0.5, y + 0.5
            inside = (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r
            bite = (fx - cx - 3 * s) ** 2 + (fy - cy + 2 * s) ** 2 <= (r * 0.85) ** 2
            if inside and not bite:
                px[y][x] = moon
    star = (255, 255, 255, 255)
    for (x, y) in [(7, 8), (24, 18), (9, 17), (25, 7)]:
        rect(x, y, x + max(1, 2 * s) / s, y + max(1, 2 * s) / s, star)
    return px


def image_entry(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(px):
        bits = 0
        line = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + xor + mask


def png_entry(size):
    px = draw(size)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in px)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


SIZES = (16, 32, 48, 256)


def main(out):
    images = [png_entry(size) if size == 256 else image_entry(size) for size in SIZES]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip(SIZES, images):
        # A width and height of 0 in the directory mean 256.
        data += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/tolvarin.ico')
