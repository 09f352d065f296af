"""Makes the Windows resources of the artwork from its PNG files: each
bitmap-N.png becomes a 24-bit bitmap-N.bmp, and the icon-3000-EDGE.png files
become one icon file, kestrova-setup.ico, with a 32-bit image and its mask
per size. Usage: windows_artwork.py PNG_FOLDER OUTPUT_FOLDER"""
import glob
import os
import struct
import sys
import zlib


def read_png(path):
    """Width, height, channels and the rows (bytes per pixel = channels) of an
    8-bit, non-interlaced RGB or RGBA PNG."""
    with open(path, "rb") as source:
        data = source.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, compressed = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(f"{path}: only 8-bit RGB or RGBA without interlace")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            compressed += chunk
    raw = zlib.decompress(compressed)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up = previous[x]
            up_left = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - up_left
                near = min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                           (abs(guess - up_left), 2, up_left))[2]
                line[x] = (line[x] + near) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def bitmap_info(width, height, bits, image_size):
    """A BITMAPINFOHEADER of an uncompressed bitmap, bottom-up."""
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def bottom_up_bgr(width, rows, channels):
    """Rows from the bottom, each pixel blue, green, red, padded to 4 bytes."""
    pad = b"\0" * ((4 - width * 3 % 4) % 4)
    out = bytearray()
    for row in reversed(rows):
        for x in range(width):
            r, g, b = row[x * channels:x * channels + 3]
            out += bytes((b, g, r))
        out += pad
    return bytes(out)


def write_bmp(png, bmp):
    width, height, channels, rows = read_png(png)
    pixels = bottom_up_bgr(width, rows, channels)
    header = bitmap_info(width, height, 24, len(pixels))
    offset = 14 + len(header)
    with open(bmp, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        out.write(header + pixels)


def icon_image(png):
    """One icon image: a 32-bit BGRA bitmap of twice the height (colour and
    mask) followed by the 1-bit mask, set where the pixel is transparent."""
    width, height, channels, rows = read_png(png)
    colour = bytearray()
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            r, g, b = row[x * channels:x * channels + 3]
            a = row[x * channels + 3] if channels == 4 else 255
            colour += bytes((b, g, r, a))
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    image = bitmap_info(width, height * 2, 32, len(colour) + len(mask)) + colour + mask
    return width, height, bytes(image)


def write_ico(pngs, ico):
    images = [icon_image(png) for png in pngs]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for width, height, image in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image),
                               offset + len(data))
        data += image
    with open(ico, "wb") as out:
        out.write(directory + entries + data)


def main():
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    for png in sorted(glob.glob(os.path.join(source, "bitmap-*.png"))):
        name = os.path.splitext(os.path.basename(png))[0]
        write_bmp(png, os.path.join(target, name + ".bmp"))
    icons = sorted(glob.glob(os.path.join(source, "icon-3000-*.png")),
                   key=lambda path: int(path.rsplit("-", 1)[1].split(".")[0]))
    write_ico(icons, os.path.join(target, "kestrova-setup.ico"))


if __name__ == "__main__":
    main()
