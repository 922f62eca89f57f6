#!/usr/bin/env python3
"""Writes the made seeds of the picture, lesson_folder, lesson and archive fuzz targets.

The picture seeds are small files of every kind the loaders read, written
here byte by byte (BMP of each depth, PNG of each colour type, interlaced
too, icons and cursors with bitmaps and PNGs inside), and with ffmpeg where
it is installed (JPEG, GIF). The sample lesson's own pictures and
cursors are copied beside them. The lesson_folder seeds join the sample
lesson's settings.ini and script.txt with each actions file of the command's
tests. The lesson target's own lesson folder, fuzz/lesson-media/, has the
sample lesson's file names with small pictures (its bar scripts and cursors
copied) and a small movie under the name the lesson seeds use. The output is the same on every run.

    fuzz/make-seeds.py          (from the top of the source tree)
"""

import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import warnings
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MARKET = os.path.join(ROOT, "examples", "market")


def pixel(x, y):
    """A test pattern: every pixel differs from its neighbours."""
    return ((x * 67 + y * 13) & 0xFF, (x * 29 + y * 101) & 0xFF, (x * 7 + y * 53 + 40) & 0xFF)


def bmp(width, height, bits, top_down=False, palette=None, compression=0, data=None):
    """A Windows bitmap file; rows bottom first unless top_down."""
    if palette is None and bits <= 8:
        palette = [pixel(i, 3 * i) for i in range(1 << bits)]
    stride = (width * bits + 31) // 32 * 4
    if data is None:
        rows = []
        for y in range(height):
            row = bytearray()
            if bits == 24 or bits == 32:
                for x in range(width):
                    r, g, b = pixel(x, y)
                    row += bytes((b, g, r)) + (b"\x80" if bits == 32 else b"")
            elif bits == 16:
                for x in range(width):
                    r, g, b = pixel(x, y)
                    row += struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
            else:
                per_byte = 8 // bits
                for x0 in range(0, width, per_byte):
                    value = 0
                    for i in range(per_byte):
                        index = (x0 + i + y) % (1 << bits) if x0 + i < width else 0
                        value |= index << (8 - bits * (i + 1))
                    row.append(value)
            row += b"\0" * (stride - len(row))
            rows.append(bytes(row))
        if not top_down:
            rows.reverse()
        data = b"".join(rows)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette or []))
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       compression, len(data), 2835, 2835, len(palette or []), 0)
    offset = 14 + len(info) + len(colours)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return header + info + colours + data


def rle8(width, height):
    """An 8-bit run-length bitmap: an absolute run, then one run a row."""
    data = bytearray()
    for y in range(height):
        if y == 0 and width >= 3:
            data += bytes((0, width)) + bytes(x % 4 for x in range(width))
            if width % 2:
                data.append(0)
        else:
            data += bytes((width, y % 4))
        data += b"\0\0" if y < height - 1 else b"\0\1"
    return bmp(width, height, 8, palette=[pixel(i, i) for i in range(4)], compression=1,
               data=bytes(data))


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, colour_type, depth=8, interlaced=False, palette=None, trns=None):
    """A PNG of the given colour type and depth; rows with rotating filters."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]

    def sample(x, y, c):
        if colour_type == 3:
            return (x + 2 * y) % len(palette)
        value = pixel(x, y)[c % 3] if c < 3 else (x * 40 + y * 9) & 0xFF
        return value if depth >= 8 else value >> (8 - depth)

    def rows(xs, ys):
        out = bytearray()
        for n, y in enumerate(ys):
            bits = bytearray()
            acc, count = 0, 0
            for x in xs:
                for c in range(channels):
                    v = sample(x, y, c)
                    if depth == 16:
                        bits += struct.pack(">H", v * 257)
                    elif depth == 8:
                        bits.append(v)
                    else:
                        acc = acc << depth | v
                        count += depth
                        if count == 8:
                            bits.append(acc)
                            acc, count = 0, 0
            if count:
                bits.append(acc << (8 - count))
            # Filter 0 (none) or 1 (sub, each byte less the one a pixel before).
            kind = n % 2
            if kind == 1:
                step = max(1, channels * depth // 8)
                bits = bytearray((bits[i] - (bits[i - step] if i >= step else 0)) & 0xFF
                                 for i in range(len(bits)))
            out += bytes((kind,)) + bits
        return bytes(out)

    if interlaced:
        passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                  (1, 0, 2, 2), (0, 1, 1, 2)]
        raw = b"".join(
            rows(range(x0, width, dx), range(y0, height, dy)) for x0, y0, dx, dy in passes
            if x0 < width and y0 < height)
    else:
        raw = rows(range(width), range(height))
    body = chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                      1 if interlaced else 0))
    if palette:
        body += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns:
        body += chunk(b"tRNS", trns)
    body += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    return b"\x89PNG\r\n\x1a\n" + body


def dib(width, height, bits):
    """An icon image: the bitmap without its file header, height doubled, and
    the 1-bit transparency mask after the colour rows."""
    whole = bmp(width, height, bits)
    info = bytearray(whole[14:54])
    struct.pack_into("<i", info, 8, height * 2)
    mask_stride = (width + 31) // 32 * 4
    mask = bytes(((y * 0x55) & 0xFF for y in range(height) for _ in range(mask_stride)))
    return bytes(info) + whole[54:] + mask


def icon(images, kind=1, hotspot=(0, 0)):
    """An icon (kind 1) or cursor (kind 2) file of (width, height, data)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        a, b = (1, 32) if kind == 1 else hotspot
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, a, b, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, _, d in images)


def picture_seeds(folder):
    grey_palette = [(i * 85, i * 85, 255 - i * 85) for i in range(4)]
    seeds = {
        "bmp-1bit.bmp": bmp(9, 3, 1, palette=[(0, 0, 0), (255, 255, 255)]),
        "bmp-4bit.bmp": bmp(5, 3, 4),
        "bmp-8bit-top-down.bmp": bmp(6, 4, 8, top_down=True),
        "bmp-16bit.bmp": bmp(5, 2, 16),
        "bmp-24bit-odd-width.bmp": bmp(3, 3, 24),
        "bmp-32bit.bmp": bmp(4, 2, 32),
        "bmp-rle8.bmp": rle8(6, 3),
        "png-grey-1bit.png": png(11, 3, 0, depth=1),
        "png-grey-alpha.png": png(4, 3, 4),
        "png-rgb-16bit.png": png(3, 2, 2, depth=16),
        "png-palette-trns.png": png(7, 5, 3, depth=2, palette=grey_palette, trns=b"\x00\x80"),
        "png-rgba-interlaced.png": png(9, 9, 6, interlaced=True),
        "ico-4bit-and-32bit.ico": icon([(16, 16, dib(16, 16, 4)), (32, 32, dib(32, 32, 32))]),
        "ico-1bit-8bit.ico": icon([(8, 8, dib(8, 8, 1)), (8, 16, dib(8, 16, 8))]),
        "ico-png.ico": icon([(5, 3, png(5, 3, 2))]),
        "cur-24bit.cur": icon([(12, 12, dib(12, 12, 24))], kind=2, hotspot=(3, 4)),
        "cur-png-256.cur": icon([(256, 1, png(256, 1, 0))], kind=2, hotspot=(0, 0)),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
    for name in ("media/backdrop.png", "media/play.bmp", "resources/button.cur",
                 "resources/link.cur"):
        shutil.copyfile(os.path.join(MARKET, name),
                        os.path.join(folder, "market-" + os.path.basename(name)))
    if shutil.which("ffmpeg") is None:
        print("make-seeds: ffmpeg not found; JPEG and GIF seeds left as they are",
              file=sys.stderr)
        return
    # ffmpeg's test pattern, one frame; bit-exact output.
    for name, size, extra in (("jpeg-baseline.jpg", "13x7", ["-q:v", "5"]),
                              ("jpeg-grey.jpg", "8x8", ["-pix_fmt", "gray", "-q:v", "5"]),
                              ("gif-palette.gif", "10x6", [])):
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi",
                        "-i", f"testsrc=size={size}:rate=1:duration=1", "-frames:v", "1",
                        "-fflags", "+bitexact", "-flags:v", "+bitexact", "-map_metadata", "-1",
                        *extra, os.path.join(folder, name)], check=True)


def lesson_folder_seeds(folder):
    def read(path):
        with open(path, "rb") as f:
            return f.read()

    settings = read(os.path.join(MARKET, "settings.ini"))
    script = read(os.path.join(MARKET, "script.txt"))
    actions_folder = os.path.join(ROOT, "tests", "cli", "actions")
    for name in sorted(os.listdir(actions_folder)):
        actions = read(os.path.join(actions_folder, name))
        with open(os.path.join(folder, "market-" + os.path.splitext(name)[0]), "wb") as out:
            out.write(settings + b"\f" + script + b"\f" + actions)
    small = {
        "crlf-duplicates": b"A = 1\r\n;c\r\n#d\r\na=2\r\n=\r\nno equals\r\n\fVIDEO x.avi\r\n\r\n"
                           b"TEXT t\f# none\r\n",
        "every-action": b"\f\fadvance 0.25\npress frmRoseNavigation Next  Page\n"
                        b"enter frmRose btnVideoPlay\nleave frmRose btnVideoPlay\nthumb-down\n"
                        b"scroll\nthumb-up\nslide -3\ndrag 2147483647\nlink-click 1\n"
                        b"link-enter 2\nlink-leave 2\nshow\nhide\nstartup\nshutdown\n"
                        b"lost-focus\nmove 1.5\nmove -1 2e3 3 4\n",
        "no-script": b"Help=help.htm",
    }
    for name, data in small.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def lesson_folder_kind_seeds(folder):
    """Inputs that make the lesson's files links, FIFOs, folders, devices or
    files past their limit: DEL, then settings.ini's kind in the low three
    bits and script.txt's in the next three (lesson_folder_fuzzer.cpp)."""
    text = b"Help=help.htm\fVIDEO market.avi\nACTOR Anna\nTEXT Hi.\n\fadvance 1\n"
    kinds = {"link-and-fifo": 1 | 2 << 3, "folder-and-device": 3 | 4 << 3,
             "dangling-and-past-the-limit": 5 | 6 << 3, "past-the-limit-and-link": 6 | 1 << 3}
    for name, kind in kinds.items():
        with open(os.path.join(folder, "kinds-" + name), "wb") as out:
            out.write(b"\x7f" + bytes([kind]) + text)


def lesson_seeds(folder):
    """The sample lesson with each actions file of the command's tests, and
    with every action and host call a person or a host can make."""
    with open(os.path.join(folder, "market"), "rb") as f:
        market = f.read()
    actions_folder = os.path.join(ROOT, "tests", "cli", "actions")
    for name in sorted(os.listdir(actions_folder)):
        with open(os.path.join(actions_folder, name), "rb") as f:
            actions = f.read()
        with open(os.path.join(folder, "market-" + os.path.splitext(name)[0]), "wb") as out:
            out.write(market + b"\f" + actions)
    every = (b"press frmRose btnVideoPlay\nadvance 0.6\nenter frmRose btnVideoStop\n"
             b"leave frmRose btnVideoStop\nthumb-down\nscroll\nthumb-up\ndrag 3\nslide 1\n"
             b"link-enter 2\nlink-click 2\nlink-leave 2\nadvance 2\n"
             b"press frmRose btnVideoFwd\npress frmRose btnVideoRew\npress frmRose btnTextOff\n"
             b"press frmRose btnTextOn\npress frmRose btnVideoStop\n"
             b"enter frmRoseToolbar Help\npress frmRoseToolbar Help\nlost-focus\n"
             b"press frmRoseNavigation Next\nadvance 1\nhide\nshow\nstartup\n"
             b"move 10 20 300 200\nmove 5\nshutdown\nshow\n")
    with open(os.path.join(folder, "market-every-action"), "wb") as out:
        out.write(market + b"\f" + every)


def lesson_media(folder):
    """The sample lesson's media and resources as the lesson target reads them:
    the same names, small pictures. Decoding a big backdrop is the picture
    target's work; here it would be most of every run."""
    media = os.path.join(folder, "media")
    resources = os.path.join(folder, "resources")
    os.makedirs(media, exist_ok=True)
    os.makedirs(resources, exist_ok=True)
    for name in sorted(os.listdir(os.path.join(MARKET, "media"))):
        if name.endswith(".bmp"):
            with open(os.path.join(media, name), "wb") as out:
                out.write(bmp(8, 8, 24))
    with open(os.path.join(media, "backdrop.png"), "wb") as out:
        out.write(png(64, 48, 2))
    for name in sorted(os.listdir(os.path.join(MARKET, "resources"))):
        shutil.copyfile(os.path.join(MARKET, "resources", name), os.path.join(resources, name))
    # The movie the lesson seeds name: six seconds of 8x8 grey frames, one a
    # second, uncompressed. Opening it still probes the file and opens a
    # decoder, at a third less than the test data's MPEG-4 movie.
    if shutil.which("ffmpeg") is None:
        print("make-seeds: ffmpeg not found; the lesson target's movie left as it is",
              file=sys.stderr)
        return
    video = os.path.join(folder, "video")
    os.makedirs(video, exist_ok=True)
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi",
                    "-i", "color=c=gray:size=8x8:rate=1:duration=6", "-c:v", "rawvideo",
                    "-pix_fmt", "gray", "-fflags", "+bitexact", "-flags:v", "+bitexact",
                    "-map_metadata", "-1", os.path.join(video, "six_seconds.avi")], check=True)


def zip_bytes(entries, zip64=False):
    """A ZIP archive of (name, data, unix mode) entries, the same on every run:
    ordinary files deflated, the rest stored."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0))
            info.create_system = 3
            info.external_attr = mode << 16
            regular = mode & 0o170000 == 0o100000
            info.compress_type = zipfile.ZIP_DEFLATED if regular else zipfile.ZIP_STORED
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")  # a name written twice, as meant
                with archive.open(info, "w", force_zip64=zip64) as out:
                    out.write(data)
    return bytearray(buffer.getvalue())


def last_entry(archive, offset, size, value):
    """Sets a field of the last entry's local header (at offset) and central
    one (two bytes further)."""
    for signature, place in ((b"PK\x01\x02", offset + 2), (b"PK\x03\x04", offset)):
        at = archive.rfind(signature) + place
        archive[at:at + size] = value.to_bytes(size, "little")
    return archive


def archive_seeds(folder):
    """Packed lessons the reader refuses (tests/authoring/packed/, a name each,
    their lines in expected.txt) and small ones it reads, as the archive
    target's seeds."""
    lesson = [("settings.ini", b"Help=help.htm\n", 0o100644),
              ("script.txt", b"VIDEO v.avi\nACTOR Anna\nTEXT Hi.\n", 0o100644),
              ("media/", b"", 0o40755), ("media/play.bmp", bmp(2, 2, 24), 0o100644)]
    mode = 0o100644
    refused = {
        "climbs-out": zip_bytes(lesson + [("../settings.ini", b"x", mode)]),
        "absolute": zip_bytes(lesson + [("/etc/passwd", b"x", mode)]),
        "drive": zip_bytes(lesson + [("C:help.htm", b"x", mode)]),
        "backslash": zip_bytes(lesson + [("media\\stop.bmp", b"x", mode)]),
        "colon": zip_bytes(lesson + [("media/stop.bmp:stream", b"x", mode)]),
        "dot-part": zip_bytes(lesson + [("media/./stop.bmp", b"x", mode)]),
        "link": zip_bytes(lesson + [("help.htm", b"/etc/passwd", 0o120777)]),
        "fifo": zip_bytes(lesson + [("help.htm", b"", 0o010644)]),
        "twice": zip_bytes(lesson + [("settings.ini", b"x", mode)]),
        "letter-case": zip_bytes(lesson + [("media/Play.bmp", b"x", mode)]),
        "inside-a-file": zip_bytes([("media", b"x", mode)] + lesson[3:]),
        # The general purpose flag's bit 0: encrypted.
        "encrypted": last_entry(zip_bytes(lesson + [("help.htm", b"x", mode)]), 6, 1, 1),
        "more-than-declared": last_entry(zip_bytes(lesson + [("help.htm", b"x" * 99, mode)]),
                                         22, 4, 3),
        "less-than-declared": last_entry(zip_bytes(lesson + [("help.htm", b"x" * 9, mode)]),
                                         22, 4, 99),
        "thousandfold": last_entry(zip_bytes(lesson + [("help.htm", b"x", mode)]),
                                   22, 4, 50_000_000),
        "script-past-its-limit": last_entry(zip_bytes(lesson[:1] + [("script.txt", b"x", mode)]),
                                            22, 4, 17 << 20),
        "no-archive": bytearray(b"VIDEO v.avi\n"),
    }
    # The end record counting more entries than a packed lesson may hold.
    many = zip_bytes(lesson)
    end = many.rfind(b"PK\x05\x06")
    many[end + 8:end + 12] = (5000).to_bytes(2, "little") * 2
    refused["too-many-entries"] = many
    tests = os.path.join(ROOT, "tests", "authoring", "packed")
    os.makedirs(tests, exist_ok=True)
    for name, data in refused.items():
        for place in (tests, folder):
            with open(os.path.join(place, name + ".scenova"), "wb") as out:
                out.write(data)
    with open(os.path.join(folder, "lesson.scenova"), "wb") as out:
        out.write(zip_bytes(lesson))
    with open(os.path.join(folder, "lesson-zip64.scenova"), "wb") as out:
        out.write(zip_bytes(lesson, zip64=True))


def main():
    lesson_media(os.path.join(ROOT, "fuzz", "lesson-media"))
    print("make-seeds: lesson media in fuzz/lesson-media")
    corpus = os.path.join(ROOT, "fuzz", "corpus")
    for target, make in (("picture", picture_seeds), ("lesson_folder", lesson_folder_seeds),
                         ("lesson_folder", lesson_folder_kind_seeds), ("lesson", lesson_seeds),
                         ("archive", archive_seeds)):
        folder = os.path.join(corpus, target)
        os.makedirs(folder, exist_ok=True)
        make(folder)
        print(f"make-seeds: {target}: {len(os.listdir(folder))} files in {folder}")


if __name__ == "__main__":
    main()
