#!/usr/bin/env python3
"""Reads a PPM (P6) of a balloon window from stdin and writes a PGM mask of the balloon:
black where the window is pure black and reachable from its edge (the corners around the
rounded body and the stem, which Wine's X11 driver leaves black instead of cutting away),
white elsewhere. The balloon's outline is not pure black, so the fill stops at it."""
import sys


def read_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) > 255:
        sys.exit("balloon-mask: expects an 8-bit PPM (P6)")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def main():
    width, height, pixels = read_ppm(sys.stdin.buffer.read())
    black = [pixels[3 * i:3 * i + 3] == b"\0\0\0" for i in range(width * height)]
    outside = bytearray(width * height)
    stack = [i for i in range(width * height)
             if black[i] and (i % width in (0, width - 1) or i // width in (0, height - 1))]
    while stack:
        i = stack.pop()
        if outside[i] or not black[i]:
            continue
        outside[i] = 1
        x, y = i % width, i // width
        if x > 0:
            stack.append(i - 1)
        if x < width - 1:
            stack.append(i + 1)
        if y > 0:
            stack.append(i - width)
        if y < height - 1:
            stack.append(i + width)
    sys.stdout.buffer.write(b"P5\n%d %d\n255\n" % (width, height))
    sys.stdout.buffer.write(bytes(0 if o else 255 for o in outside))


main()
