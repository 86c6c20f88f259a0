# Packs PNG images into one Windows icon file (.ico), each image stored as PNG, which Windows Vista
# and later read. Usage: python3 make_ico.py OUT.ico IMAGE.png...
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", data[16:24])


images = [open(path, "rb").read() for path in sys.argv[2:]]
header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries, blobs = b"", b""
for data in images:
    width, height = png_size(data)
    if width > 256 or height > 256:
        raise SystemExit("an icon image is at most 256 pixels a side")
    # 0 stands for 256; 32 bits a pixel, the planes given as 1.
    entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
    blobs += data
with open(sys.argv[1], "wb") as out:
    out.write(header + entries + blobs)
