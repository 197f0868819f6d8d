#!/usr/bin/env python3
"""Reads the folio command's PNG pages and comic-book archives with nothing
but Python's own modules: PNG decoded with zlib, archives opened with
zipfile, ComicInfo.xml parsed with ElementTree.

  check_pages.py same-pixels BMP PNG [BMP PNG]...
  check_pages.py cbz BOOK TITLE BMP...    (the BMP pages in page order)

Prints what differs and exits 1, or exits 0.
"""
import io
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zipfile
import zlib


def bmp_rgb_rows(data):
    """The rows of a 24-bit BMP file, top first, as RGB bytes."""
    assert data[:2] == b"BM", "not a BMP file"
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24, f"{bits}-bit BMP"
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        stored = abs(height) - 1 - y if height > 0 else y
        bgr = data[offset + stored * stride: offset + stored * stride + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    return width, abs(height), rows


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def png_rgb_rows(data):
    """The rows of an 8-bit gray or RGB PNG file, top first, as RGB bytes."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    position, compressed, header = 8, b"", None
    while position < len(data):
        length, kind = struct.unpack_from(">I4s", data, position)
        body = data[position + 8: position + 8 + length]
        crc, = struct.unpack_from(">I", data, position + 8 + length)
        assert zlib.crc32(kind + body) == crc, f"bad CRC in chunk {kind}"
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (0, 2) and interlace == 0, f"unexpected PNG header {header}"
    channels = 1 if colour == 0 else 3
    stride = width * channels
    raw = zlib.decompress(compressed)
    assert len(raw) == height * (stride + 1), "PNG data of the wrong length"
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1: (y + 1) * (stride + 1)])
        for i in range(stride) if kind else ():
            left = line[i - channels] if i >= channels else 0
            up_left = previous[i - channels] if i >= channels else 0
            predicted = (left, previous[i], (left + previous[i]) // 2, paeth(left, previous[i], up_left))[kind - 1]
            line[i] = (line[i] + predicted) & 0xFF
        previous = line
        if channels == 1:
            rgb = bytearray(width * 3)
            rgb[0::3] = rgb[1::3] = rgb[2::3] = line
            line = rgb
        rows.append(bytes(line))
    return width, height, rows


def same_pixels(bmp, png, name):
    expected, actual = bmp_rgb_rows(bmp), png_rgb_rows(png)
    if expected[:2] != actual[:2]:
        return [f"{name}: {actual[0]} x {actual[1]}, the BMP page is {expected[0]} x {expected[1]}"]
    for y, (want, got) in enumerate(zip(expected[2], actual[2])):
        if want != got:
            return [f"{name}: row {y} differs from the BMP page"]
    return []


def check_same_pixels(paths):
    problems = []
    for bmp, png in zip(paths[0::2], paths[1::2]):
        problems += same_pixels(open(bmp, "rb").read(), open(png, "rb").read(), png)
    return problems


def check_comic_book(book, title, bmps, manga=None):
    with zipfile.ZipFile(book) as archive:
        damaged = archive.testzip()
        if damaged:
            return [f"{book}: {damaged} is damaged"]
        names = archive.namelist()
        pages = [name for name in names if name.lower().endswith(".png")]
        problems = []
        if pages != sorted(pages):
            problems.append(f"{book}: page names do not sort in page order: {pages}")
        if len(pages) != len(bmps):
            problems.append(f"{book}: {len(pages)} pages, expected {len(bmps)}")
        for bmp, page in zip(bmps, pages):
            problems += same_pixels(open(bmp, "rb").read(), archive.read(page), f"{book}:{page}")
        if "ComicInfo.xml" not in names:
            return problems + [f"{book}: no ComicInfo.xml"]
        info = ElementTree.parse(io.BytesIO(archive.read("ComicInfo.xml"))).getroot()
        if info.tag != "ComicInfo" or info.findtext("Title") != title or info.findtext("PageCount") != str(len(bmps)):
            problems.append(f"{book}: ComicInfo.xml does not give title {title!r} and {len(bmps)} pages")
        if info.findtext("Manga") != manga:
            problems.append(f"{book}: ComicInfo.xml gives Manga {info.findtext('Manga')!r}, not {manga!r}")
        return problems


def main(arguments):
    command = arguments[0]
    if command == "same-pixels":
        problems = check_same_pixels(arguments[1:])
    elif command == "cbz":
        problems = check_comic_book(arguments[1], arguments[2], arguments[3:])
    elif command == "cbz-right-to-left":
        problems = check_comic_book(arguments[1], arguments[2], arguments[3:], "YesAndRightToLeft")
    else:
        problems = [f"unknown check {command}"]
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
