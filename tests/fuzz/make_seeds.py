#!/usr/bin/env python3
"""Hand-made edge cases for the fuzz targets, written once into tests/fuzz/seeds/<target>/."""
import os
import struct
import sys
import zipfile

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")


def put(target, name, data):
    os.makedirs(os.path.join(root, target), exist_ok=True)
    with open(os.path.join(root, target, name), "wb") as f:
        f.write(data)


def bmp(width, height, bits, pixels, palette=b"", masks=b"", compression=0):
    offset = 14 + 40 + len(masks) + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 0, 0,
                       len(palette) // 4, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + masks + palette + pixels


# 1-bit 9 x 2, two palette entries; 16-bit 5-6-5 with its masks; 32-bit top-down.
put("bitmap", "one-bit.bmp", bmp(9, 2, 1, b"\xaa\x80\0\0\x55\x00\0\0", b"\0\0\0\0\xff\xff\xff\0"))
put("bitmap", "bitfields565.bmp",
    bmp(2, 2, 16, b"\x00\xf8\x1f\x00\xe0\x07\x00\x00", masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F),
        compression=3))
put("bitmap", "top-down32.bmp", bmp(2, -2, 32, b"\1\2\3\0" * 4))
put("bitmap", "four-bit-short-palette.bmp", bmp(3, 1, 4, b"\x12\x30\0\0", b"\0\0\xff\0\0\xff\0\0"))

put("rgndata", "empty.bin", struct.pack("<8i", 32, 1, 0, 0, 0, 0, 0, 0))
put("rgndata", "two-bands.bin", struct.pack("<16i", 32, 1, 2, 32, 0, 0, 4, 3, 0, 0, 4, 1, 1, 1, 3, 3))

layout = (b"object Form1: TForm1\n  Left = -50\n  Caption = 'It''s'#13#10'x'\n  Tag = 9223372036854775807\n"
          b"  Anchors = [akLeft, akTop]\n  Empty = []\n  Data = {0102}\n  Color = clBtnFace\n"
          b"  object Rgn1: TRgn\n    RgnData = {\n      20000000010000000000000000000000"
          b"0000000000000000000000000000000000}\n  end\nend\n")
put("layout", "every-kind.layout", layout)
put("layout", "bom-nested.layout", b"\xef\xbb\xbfobject A: TA\n object B: TB\n  object C: TC\n  end\n end\nend")

for method, name in ((zipfile.ZIP_STORED, "stored.zip"), (zipfile.ZIP_DEFLATED, "deflated.zip")):
    path = os.path.join(root, "zip", name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with zipfile.ZipFile(path, "w", method) as z:
        z.writestr("TFORM1", layout * 4)
        z.writestr("TFORM2", b"object X: TX end")

# Two 2 x 2 images, four to a row: a 32-bit picture and a 1-bit mask of 8 x 2.
header = struct.pack("<HHHHHHHIH4H", 0x4C49, 0x101, 2, 4, 4, 2, 2, 0xFFFFFFFF, 0x21, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF)
put("imagelist", "two-images.bin",
    header + bmp(8, 2, 32, b"\x10\x20\x30\x00" * 16) + bmp(8, 2, 1, b"\x00\0\0\0\xff\0\0\0", b"\0\0\0\0\xff\xff\xff\0"))

for name, text in (("one", "1"), ("zero", "0"), ("hex-dollar", "$7FFFFFFF"), ("lowest", "-2147483648"),
                   ("blank-0x", " \t0x1f"), ("too-big", "2147483648"), ("sign-only", "-")):
    put("number", name + ".txt", text.encode("utf-16-le"))

ini = "[Execute]\r\nChar01=C:\\Users\\Zoë\\写真\\起動.bat\r\n[Visible]\r\nChar01=1\r\n"
put("settings_text", "utf8-no-mark.ini", ini.encode("utf-8"))
put("settings_text", "utf8-mark.ini", b"\xef\xbb\xbf" + ini.encode("utf-8"))
put("settings_text", "shift-jis.ini", "[Execute]\r\nChar01=C:\\写真\\起動.bat\r\n".encode("shift_jis"))
put("settings_text", "utf16.ini", b"\xff\xfe" + ini.encode("utf-16-le"))
put("settings_text", "utf16-odd.ini", b"\xff\xfe" + ini.encode("utf-16-le") + b"\x41")
put("settings_text", "broken-utf8.ini", b"a=\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe6\x97")
sys.exit(0)
