#!/usr/bin/python3
"""Writes the seed corpus under fuzz/corpus/: real, truncated and hostile small pictures for the
bitmap and clipboard targets, and a few event streams. Run it again after changing it; the files
are kept in the repository."""
import io
import os
import random
import struct
import zlib

from PIL import Image

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def picture(mode, size=(5, 3)):
    im = Image.new("RGB", size, (255, 255, 204))
    for x in range(size[0]):
        im.putpixel((x, x % size[1]), (x * 40 % 256, 0, 200))
    return im.convert(mode) if mode != "RGB" else im


def saved(im, fmt, **kw):
    out = io.BytesIO()
    im.save(out, fmt, **kw)
    return out.getvalue()


def bmp(width, height, bits, compression=0, pixels=b"", palette=None, header=40,
        offset=None, colours=0):
    palette = palette if palette is not None else (
        b"".join(struct.pack("<BBBB", i, 255 - i, i // 2, 0) for i in range(min(1 << bits, 16)))
        if bits <= 8 else b"")
    if header == 12:
        info = struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, colours, 0)
        info += b"\0" * (header - 40)
    off = offset if offset is not None else 14 + len(info) + len(palette)
    size = 14 + len(info) + len(palette) + len(pixels)
    return b"BM" + struct.pack("<IHHI", size, 0, 0, off) + info + palette + pixels


def bitmap_corpus():
    for mode, name in [("1", "mono"), ("P", "pal8"), ("RGB", "rgb24")]:
        data = saved(picture(mode), "BMP")
        put("bitmap_file", f"{name}.bmp", data)
        put("bitmap_file", f"{name}-cut.bmp", data[: len(data) - 7])
        put("bitmap_file", f"{name}-header-only.bmp", data[:54])
    put("bitmap_file", "rgb32.bmp", bmp(3, 2, 32, pixels=b"\x10\x20\x30\x00" * 6))
    put("bitmap_file", "rgb16.bmp", bmp(3, 2, 16, pixels=b"\x1f\x7c" * 4))
    put("bitmap_file", "pal4.bmp", bmp(5, 2, 4, pixels=b"\x01\x23\x40\x00" * 2))
    put("bitmap_file", "top-down.bmp", bmp(2, -2, 24, pixels=b"\xff\x00\x00\x00\xff\x00\x00\x00" * 2))
    put("bitmap_file", "os2.bmp", bmp(2, 2, 24, header=12, pixels=b"\x01" * 16))
    put("bitmap_file", "v5.bmp", bmp(2, 2, 24, header=124, pixels=b"\x02" * 16))
    # Run-length pictures: a run, a literal, a skip that leaves pixels unset, and the end.
    rle8 = b"\x03\x05\x00\x03\x01\x02\x03\x00\x00\x00\x02\x01\x01\x00\x01"
    put("bitmap_file", "rle8.bmp", bmp(4, 3, 8, 1, rle8))
    put("bitmap_file", "rle8-no-end.bmp", bmp(4, 3, 8, 1, rle8[:-2]))
    put("bitmap_file", "rle8-skip-out.bmp", bmp(4, 3, 8, 1, b"\x00\x02\xff\xff\x02\x07\x00\x01"))
    put("bitmap_file", "rle4.bmp", bmp(4, 2, 4, 2, b"\x04\x12\x00\x00\x00\x04\x34\x56\x00\x01"))
    # Run-length pictures cut inside a literal, inside a jump and after the last row's end (the
    # end code missing: whole); an odd literal of four bits a pixel.
    put("bitmap_file", "rle8-cut-in-literal.bmp", bmp(4, 3, 8, 1, rle8[:7]))
    put("bitmap_file", "rle8-cut-in-jump.bmp", bmp(4, 3, 8, 1, rle8[:12]))
    put("bitmap_file", "rle8-rows-ended.bmp", bmp(4, 1, 8, 1, b"\x04\x02\x00\x00"))
    put("bitmap_file", "rle4-odd-literal.bmp", bmp(5, 1, 4, 2, b"\x00\x05\x12\x34\x50\x00\x00\x01"))
    # Sixteen bits: 5-5-5 white, and 5-6-5 through bit fields.
    put("bitmap_file", "rgb16-white.bmp", bmp(2, 1, 16, pixels=b"\xff\x7f\x00\x7c"))
    put("bitmap_file", "rgb565.bmp", bmp(2, 1, 16, 3, b"\xff\xff\xe0\x07",
                                         palette=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
    put("bitmap_file", "bitfields.bmp",
        bmp(2, 1, 32, 3, b"\x01\x02\x03\x04" * 2, palette=struct.pack("<III", 0xFF, 0, 0xFFFFFFFF)))
    # Hostile headers: absurd sizes, zero and odd depths, offsets past the end, huge palettes.
    put("bitmap_file", "huge.bmp", bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, pixels=b"\0" * 8))
    put("bitmap_file", "huge-rle.bmp", bmp(16384, 16384, 8, 1, b"\x00\x01"))
    # 8 bits a pixel just under the allocation limit, four times over it at 32.
    put("bitmap_file", "rle8-over-limit-at-32.bmp",
        bmp(16384, 8191, 8, 1, b"\xff\x01" * 10 + b"\x00\x01", palette=b"\x10\x20\x30\x00" * 256,
            colours=256))
    put("bitmap_file", "negative-width.bmp", bmp(-4, 4, 24, pixels=b"\0" * 48))
    put("bitmap_file", "min-height.bmp", bmp(1, -0x80000000, 24, pixels=b"\0" * 4))
    put("bitmap_file", "depth0.bmp", bmp(2, 2, 0, pixels=b"\0" * 8))
    put("bitmap_file", "depth7.bmp", bmp(2, 2, 7, pixels=b"\0" * 8))
    put("bitmap_file", "depth64.bmp", bmp(2, 2, 64, pixels=b"\0" * 32))
    put("bitmap_file", "offset-past-end.bmp", bmp(2, 2, 24, pixels=b"\0" * 16, offset=0xFFFFFFF0))
    put("bitmap_file", "colours-huge.bmp", bmp(2, 2, 8, pixels=b"\0" * 8, colours=0x7FFFFFFF))
    put("bitmap_file", "header-size-huge.bmp", bmp(2, 2, 24, pixels=b"\0" * 16)[:14]
        + struct.pack("<I", 0xFFFFFFFF) + b"\0" * 36)
    put("bitmap_file", "empty.bmp", b"")
    put("bitmap_file", "magic-only.bmp", b"BM")
    put("bitmap_file", "png-named-bmp.bmp", saved(picture("RGB"), "PNG"))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def clipboard_corpus():
    for mode in ["RGB", "RGBA", "P", "L", "1", "LA", "I;16"]:
        try:
            put("clipboard_image", f"png-{mode.replace(';', '')}.png", saved(picture(mode), "PNG"))
        except (OSError, ValueError):
            pass
    rgba = picture("RGBA")
    rgba.putpixel((0, 0), (10, 20, 30, 0))
    put("clipboard_image", "png-alpha.png", saved(rgba, "PNG"))
    # Alpha either side of one half, and a grey picture within the limit at 8 bits a pixel but
    # four times over it at 32 (the header only: refused before decoding).
    half = Image.new("RGBA", (4, 1))
    for x, alpha in enumerate([0, 127, 128, 255]):
        half.putpixel((x, 0), (10, 20, 30, alpha))
    put("clipboard_image", "png-alpha-half.png", saved(half, "PNG"))
    ihdr = struct.pack(">IIBBBBB", 16384, 8000, 8, 0, 0, 0, 0)
    put("clipboard_image", "png-grey-over-limit-at-32.png", b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(b"\0" * 4000))
        + png_chunk(b"IEND", b""))
    for fmt, ext, mode in [("BMP", "bmp", "RGB"), ("GIF", "gif", "P"), ("JPEG", "jpg", "RGB"),
                           ("PPM", "ppm", "RGB"), ("PPM", "pgm", "L"), ("PPM", "pbm", "1"),
                           ("XBM", "xbm", "1"), ("ICO", "ico", "RGBA"), ("TIFF", "tif", "RGB")]:
        try:
            data = saved(picture(mode, (8, 8)), fmt)
        except (OSError, ValueError, KeyError):
            continue
        put("clipboard_image", f"picture.{ext}", data)
        put("clipboard_image", f"picture-cut.{ext}", data[: len(data) * 2 // 3])
    put("clipboard_image", "picture.xpm", b'/* XPM */\nstatic char *p[] = {\n"3 2 2 1",\n'
        b'"a c #FF0000",\n"b c None",\n"aba",\n"bab"};\n')
    # An enormous picture in a few bytes: a PNG header that asks for 100000 x 100000.
    ihdr = struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0)
    idat = zlib.compress(b"\0" * 64)
    put("clipboard_image", "png-enormous.png", b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
        + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b""))
    ihdr = struct.pack(">IIBBBBB", 8000, 8000, 8, 6, 0, 0, 0)
    put("clipboard_image", "png-large.png", b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
        + png_chunk(b"IDAT", zlib.compress(b"\0" * 4000)) + png_chunk(b"IEND", b""))
    put("clipboard_image", "ppm-enormous.ppm", b"P6\n60000 60000\n255\n" + b"\0" * 30)
    put("clipboard_image", "gif-enormous.gif", b"GIF89a\xff\xff\xff\xff\x00\x00\x00"
        b",\x00\x00\x00\x00\xff\xff\xff\xff\x00\x02\x02D\x01\x00;")


def config_corpus():
    real = (b"[form1]\nborder=1\nalphablend=0\nstayontop=0\ntoolber=1\nwidth=640\nheight=400\n"
            b"left=0\ntop=0\n[preview]\nframerate=50\n[confirm]\nonEraseAll=1\nonExitMenu=1\n"
            b"onExitBox=0\n[stump]\ncontinuous=0\n[paste]\ntransparent=1\n[floodfill]\natonce=0\n")
    put("config_ini", "real.ini", real)
    put("config_ini", "real-crlf.ini", real.replace(b"\n", b"\r\n"))
    put("config_ini", "real-cr.ini", real.replace(b"\n", b"\r"))
    put("config_ini", "cut-in-crlf.ini", real.replace(b"\n", b"\r\n")[:-1])
    put("config_ini", "mixed-endings.ini", b"[form1]\r\nborder=0\rwidth=7\n\r\nheight=8\r\r\n"
        b"[preview]\rframerate=9\n\n\n")
    put("config_ini", "bom.ini", b"\xef\xbb\xbf" + real)
    put("config_ini", "cut-in-key.ini", real[:real.index(b"height") + 3])
    put("config_ini", "cut-in-header.ini", real[:real.index(b"[confirm]") + 4])
    put("config_ini", "cut-after-eq.ini", b"[form1]\nborder=")
    put("config_ini", "nuls.ini", b"[form1]\nbor\0der=0\nwidth=1\0\n[pre\0view]\nframerate=7\n\0\0\0")
    put("config_ini", "long-line.ini", b"[form1]\nborder=" + b" " * 6000 + b"0\nwidth=5\n[x" + b"y" * 2000
        + b"]\ntop=3\n")
    put("config_ini", "duplicates.ini", b"[Form1]\nBORDER = 0 \nborder=1\n\n\n[FORM1]\nwidth=5\n"
        b"[preview]\n[preview]\nframerate=1\n[form1]\ntop=9\n")
    put("config_ini", "numbers.ini", b"[form1]\nborder=$0\nalphablend=0x\nstayontop=-0x1\n"
        b"width=$7FFFFFFF\nheight=-2147483648\nleft=2147483648\ntop=99999999999999999999\n"
        b"[preview]\nframerate=0X10\n[confirm]\nonEraseAll=-\nonExitMenu=$\nonExitBox=+1\n")
    put("config_ini", "odd-lines.ini", b"border=0\n; [form1]\n[form1\n=5\n  width  =  12  \n"
        b"[paste] trailing\ntransparent\n[]\n=\n[floodfill]atonce=1\n")
    put("config_ini", "section-end-blanks.ini", b"[confirm]\nonExitBox=1\n\n \t\n\r\n[other]\nk=v")
    put("config_ini", "empty.ini", b"")
    put("config_ini", "binary.ini", bytes(random.Random(3).randrange(256) for _ in range(300)))


def events_corpus():
    rng = random.Random(7)
    for n in [16, 64, 256, 1024]:
        put("board_events", f"walk-{n}", bytes(rng.randrange(256) for _ in range(n)))
    put("board_events", "zeros", b"\0" * 128)


if __name__ == "__main__":
    bitmap_corpus()
    clipboard_corpus()
    events_corpus()
    config_corpus()
