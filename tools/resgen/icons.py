"""The icons, drawn here at each size: small images as 32-bit bitmaps, large ones as PNG."""
import math
import struct
import zlib

# Images this large are stored as PNG: a 256-pixel bitmap would add a quarter megabyte.
PNG_FROM = 256

def shade(colour, factor):
    return tuple(max(0, min(255, int(round(c * factor)))) for c in colour)


def icon_sample(u, v, icon):
    """Colour (r, g, b, a) at point (u, v) of the square [-1, 1]^2, y down."""
    r = math.hypot(u, v)
    if r > 0.92:
        return None
    colour = icon["colour"]
    if r > 0.80:
        rgb = shade(colour, 0.55)  # rim
    else:
        # A soft highlight toward the upper left makes the disc read as a lamp.
        light = max(0.0, 1.0 - math.hypot(u + 0.3, v + 0.3) / 0.9)
        rgb = tuple(int(c + (255 - c) * 0.6 * light) for c in colour)
    if icon.get("handset"):
        # A handset across the disc, tilted: grip plus ear and mouth pieces.
        a = math.radians(-35)
        x = u * math.cos(a) - v * math.sin(a)
        y = u * math.sin(a) + v * math.cos(a)
        grip = abs(x) < 0.50 and -0.22 < y < -0.06
        pieces = 0.30 < abs(x) < 0.58 and -0.22 < y < 0.18
        if grip or pieces:
            rgb = (255, 255, 255)
    return rgb + (255,)


def icon_pixels(size, icon):
    """Rows of (r, g, b, a), top row first, drawn at this size (not scaled from another)."""
    # Each pixel averages a grid of samples; the large image needs fewer for smooth edges.
    grid = 4 if size <= 64 else 2
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(grid):
                for sx in range(grid):
                    u = ((px + (sx + 0.5) / grid) / size) * 2 - 1
                    v = ((py + (sy + 0.5) / grid) / size) * 2 - 1
                    s = icon_sample(u, v, icon)
                    if s:
                        for i in range(3):
                            acc[i] += s[i]
                        acc[3] += 255
            n = grid * grid
            covered = acc[3] // 255
            if covered:
                row.append((acc[0] // covered, acc[1] // covered, acc[2] // covered, acc[3] // n))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def bmp_image(size, pixels):
    """The 32-bit image of one size: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for px, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[px // 8] |= 0x80 >> (px % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_image(size, pixels):
    """The image as PNG (8-bit RGBA), as icons keep their largest size since Windows Vista."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(icon, sizes):
    images = []
    for size in sizes:
        pixels = icon_pixels(size, icon)
        images.append(png_image(size, pixels) if size >= PNG_FROM else bmp_image(size, pixels))
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        side = size if size < 256 else 0  # the directory writes 256 as 0
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)
