#!/usr/bin/env python3
"""Writes and reads the control library's container files and waves, from the formats alone.

Commands (arguments after the command):
  strings PATH              a good string-list container
  waves PATH WAVE...        a good wave-list container holding the given wave files
  strip PATH W H N MASKED   a good image-list container with one strip of N images of W x H
  damaged DIR KIND          damaged containers of KIND (strings, waves or strip) in DIR; prints their names
  read PATH                 the items of a container file, one line per item and piece of data
  wave PATH CH WIDTH RATE N [...]
                            wave files of N frames by the wave module; prints the RIFF size, block
                            align and file size of each, a line each
  same-wave A B [...]       exits 1 unless each pair of wave files holds the same parameters and frames

Compressed data is written as stored blocks, which every reader of the block format must take.
"""
import os
import struct
import sys
import wave

from lzrw_oracle import decode

SIGNATURES = {"iml": b"VISIML30", "bml": b"VISBML30", "wvl": b"VISWVL30", "sll": b"VISSLL30"}
CHUNK = 32781


def short(text):
    data = text.encode("utf-8")
    return bytes([len(data)]) + data


def sized(data):
    return struct.pack("<i", len(data)) + data


def stored_blocks(data):
    chunks = b"".join(
        struct.pack("<i", len(piece) + 1) + b"\x80" + piece
        for piece in (data[i:i + CHUNK] for i in range(0, len(data), CHUNK)))
    return struct.pack("<i", len(chunks)) + chunks


def block(data, compressed):
    return stored_blocks(data) if compressed else sized(data)


def item(flags, description, ident, body):
    if description:
        flags |= 2
    if ident:
        flags |= 4
    out = bytes([flags])
    if description:
        out += short(description)
    if ident:
        out += struct.pack("<i", ident)
    return out + body


def container(kind, items):
    head = bytes([8]) + SIGNATURES[kind] + struct.pack("<i", len(items))
    position = len(head) + 4 * len(items)
    table = b""
    for it in items:
        table += struct.pack("<i", position)
        position += len(it)
    return head + table + b"".join(items)


def string_items():
    long_lines = ["Zeile %05d mit Umlauten äöü" % i for i in range(1400)]
    return [
        ("Eins", 7, False, ["erste", "", "dritte"]),
        ("", 0, True, ["komprimiert"]),
        ("x" * 255, 65535, True, long_lines),
        ("leer", 1, False, []),
    ]


def string_container():
    items = []
    for description, ident, compressed, lines in string_items():
        text = "".join(line + "\r\n" for line in lines).encode("utf-8")
        items.append(item(1 if compressed else 0, description, ident, block(text, compressed)))
    return container("sll", items)


def wave_container(paths):
    items = []
    for n, path in enumerate(paths):
        with open(path, "rb") as f:
            data = f.read()
        compressed = n % 2 == 1
        items.append(item(1 if compressed else 0, os.path.basename(path), n + 1, block(data, compressed)))
    return container("wvl", items)


def pixel(x, y):
    """The strip's colour at (x, y) as (red, green, blue)."""
    return ((x * 7 + y) & 255, (y * 13) & 255, (x * 3 + y * 5) & 255)


def mask_bit(x, y):
    """1 (white, transparent) where the mask lets the background through."""
    return (x + y) % 3 == 0


def bmp(width, height, bits, rows):
    """A bitmap file with a 40-byte header from top-down rows of packed bytes."""
    stride = (width * bits + 31) // 32 * 4
    table = b"\x00\x00\x00\x00\xff\xff\xff\x00" if bits == 1 else b""
    image = b"".join(row.ljust(stride, b"\0") for row in reversed(rows))
    offset = 14 + 40 + len(table)
    return (b"BM" + struct.pack("<IHHI", offset + len(image), 0, 0, offset) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(image), 0, 0, 0, 0) + table + image)


def strip_bitmaps(width, height, count):
    total = width * count
    image = bmp(total, height, 24, [
        b"".join(bytes(reversed(pixel(x, y))) for x in range(total)) for y in range(height)])
    mask_rows = []
    for y in range(height):
        row = bytearray((total + 7) // 8)
        for x in range(total):
            if mask_bit(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(row))
    return image, bmp(total, height, 1, mask_rows)


def strip_item(width, height, count, masked, compressed=False, alloc=4, image=None, mask=None, declared=None):
    good_image, good_mask = strip_bitmaps(width, height, count)
    image = good_image if image is None else image
    mask = good_mask if mask is None else mask
    body = struct.pack("<iiiBi", height, width, alloc, 1 if masked else 0, count if declared is None else declared)
    if (count if declared is None else declared) > 0:
        body += block(image, compressed)
        if masked:
            body += block(mask, compressed)
    return item(1 if compressed else 0, "Streifen", 3, body)


def damaged(directory, kind):
    cases = {}
    if kind == "strings":
        good = string_container()
        text_item = item(0, "", 0, sized(b"a\r\n"))
        cases["count_negative"] = good[:9] + struct.pack("<i", -1) + good[13:]
        cases["count_too_large"] = good[:9] + struct.pack("<i", 0x7FFFFFFF) + good[13:]
        cases["position_past_end"] = good[:13] + struct.pack("<i", len(good) + 10) + good[17:]
        cases["position_inside_table"] = good[:13] + struct.pack("<i", 9) + good[17:]
        cases["truncated"] = good[:len(good) // 2]
        cases["block_length_past_end"] = container("sll", [item(0, "", 0, struct.pack("<i", 1000) + b"abc")])
        cases["block_length_negative"] = container("sll", [item(0, "", 0, struct.pack("<i", -5) + b"abc")])
        cases["description_past_end"] = container("sll", [bytes([2, 200]) + b"kurz"])
        cases["ident_out_of_range"] = container("sll", [bytes([4]) + struct.pack("<i", 70000) + sized(b"a\r\n")])
        total_past_end = struct.pack("<i", 500) + struct.pack("<i", 4) + b"\x80abc"
        cases["total_past_end"] = container("sll", [item(1, "", 0, total_past_end)])
        chunk_past_total = struct.pack("<i", 8) + struct.pack("<i", 5) + b"\x80abcd"
        cases["chunk_past_total"] = container("sll", [item(1, "", 0, chunk_past_total)])
        big = struct.pack("<i", CHUNK + 2) + b"\x80" + b"a" * (CHUNK + 1)
        cases["chunk_past_block_size"] = container("sll", [item(1, "", 0, struct.pack("<i", len(big)) + big)])
        zero = struct.pack("<i", 0)
        cases["chunk_empty"] = container("sll", [item(1, "", 0, struct.pack("<i", 4) + zero)])
        cases["chunk_length_cut"] = container("sll", [item(1, "", 0, struct.pack("<i", 2) + b"\0\0")])
        bad_block = struct.pack("<i", 5) + b"\x40\xff\xff\x00\x01"
        cases["chunk_damaged"] = container("sll", [item(1, "", 0, struct.pack("<i", len(bad_block)) + bad_block)])
        cases["wrong_signature"] = bytes([8]) + b"VISXXX30" + good[9:]
        cases["wrong_kind"] = bytes([8]) + SIGNATURES["wvl"] + good[9:]
        cases["second_item_damaged"] = container("sll", [text_item, bytes([0]) + struct.pack("<i", 99)])
    elif kind == "waves":
        riff = b"RIFF" + struct.pack("<i", 100) + b"WAVE" + b"fmt " + b"\0" * 18
        cases["wave_size_past_end"] = container("wvl", [item(0, "", 0, struct.pack("<i", 5000) + riff)])
        cases["wave_size_negative"] = container("wvl", [item(0, "", 0, struct.pack("<i", -1) + riff)])
        not_wave = b"RIFF" + struct.pack("<i", 100) + b"AVI " + b"fmt " + b"\0" * 18
        cases["wave_not_wave"] = container("wvl", [item(0, "", 0, sized(not_wave))])
        cases["wave_header_short"] = container("wvl", [item(0, "", 0, sized(b"RIFF\0\0"))])
        cases["wave_compressed_not_wave"] = container("wvl", [item(1, "", 0, stored_blocks(not_wave))])
    elif kind == "strip":
        image, mask = strip_bitmaps(4, 3, 2)
        small_image, _ = strip_bitmaps(4, 3, 1)
        cases["height_zero"] = container("iml", [item(0, "", 0, struct.pack("<iiiBi", 0, 4, 4, 0, 2) + sized(image))])
        cases["width_negative"] = container("iml", [item(0, "", 0, struct.pack("<iiiBi", 3, -4, 4, 0, 2) + sized(image))])
        cases["count_negative"] = container("iml", [strip_item(4, 3, 2, False, declared=-1)])
        cases["count_past_limit"] = container("iml", [strip_item(4, 3, 2, False, declared=20000)])
        cases["strip_narrower_than_count"] = container("iml", [strip_item(4, 3, 2, False, image=small_image)])
        cases["strip_of_other_height"] = container("iml", [strip_item(4, 2, 2, False, image=image)])
        cases["mask_of_other_size"] = container("iml", [strip_item(4, 3, 2, True, mask=strip_bitmaps(4, 3, 1)[1])])
        cases["bitmap_header_past_block"] = container("iml", [strip_item(4, 3, 2, False, image=image[:30])])
        long_header = image[:14] + struct.pack("<I", 2000) + image[18:]
        cases["bitmap_info_past_block"] = container("iml", [strip_item(4, 3, 2, False, image=long_header)])
        offset_past = image[:10] + struct.pack("<I", len(image) + 4) + image[14:]
        cases["bitmap_bits_past_block"] = container("iml", [strip_item(4, 3, 2, False, image=offset_past)])
        huge = image[:18] + struct.pack("<ii", 100000, 100000) + image[26:]
        cases["bitmap_too_large"] = container("iml", [strip_item(4, 3, 2, False, image=huge)])
        not_bmp = b"XX" + image[2:]
        cases["bitmap_no_bitmap"] = container("iml", [strip_item(4, 3, 2, False, image=not_bmp)])
        cases["wave_in_image_list"] = bytes([8]) + SIGNATURES["wvl"] + container("iml", [strip_item(4, 3, 2, False)])[9:]
    names = []
    for name, data in sorted(cases.items()):
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
        names.append(name)
    print("\n".join(names))


def read_block(data, at, compressed):
    if not compressed:
        (n,) = struct.unpack_from("<i", data, at)
        return data[at + 4:at + 4 + n], at + 4 + n
    (total,) = struct.unpack_from("<i", data, at)
    at += 4
    end = at + total
    out = b""
    while at < end:
        (n,) = struct.unpack_from("<i", data, at)
        out += decode(data[at + 4:at + 4 + n])
        at += 4 + n
    if at != end:
        raise ValueError("chunks do not add up to the total")
    return out, at


def checksum(data):
    """Sum of each byte times its position plus one, modulo 2**32: cheap to compute on both sides."""
    return sum((i + 1) * b for i, b in enumerate(data)) & 0xFFFFFFFF


def bmp_pixels(data):
    """The width, height and top-down red, green, blue bytes of an uncompressed 1 to 32-bit file."""
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    table = data[14 + size:offset]
    stride = (width * bits + 31) // 32 * 4
    out = bytearray()
    for y in range(abs(height)):
        row = data[offset + stride * (abs(height) - 1 - y if height > 0 else y):][:stride]
        for x in range(width):
            if bits <= 8:
                index = (row[x * bits // 8] >> (8 - bits - (x * bits) % 8)) & ((1 << bits) - 1)
                b, g, r = table[4 * index:4 * index + 3]
            else:
                b, g, r = row[x * bits // 8:x * bits // 8 + 3]
            out += bytes((r, g, b))
    return width, abs(height), bits, bytes(out)


def describe_bitmap(name, data):
    width, height, bits, pixels = bmp_pixels(data)
    return "%s %dx%d bits %d pixels %d" % (name, width, height, bits, checksum(pixels))


def read(path):
    """One line per item and per piece of its data; texts in hex."""
    with open(path, "rb") as f:
        data = f.read()
    signature = data[1:1 + data[0]]
    kind = next(k for k, v in SIGNATURES.items() if v == signature)
    (count,) = struct.unpack_from("<i", data, 9)
    positions = struct.unpack_from("<%di" % count, data, 13)
    lines = ["kind " + kind]
    at = 13 + 4 * count
    for position in positions:
        if position != at:
            raise ValueError("position %d, item found at %d" % (position, at))
        flags = data[at]
        at += 1
        description, ident = b"", 0
        if flags & 2:
            description = data[at + 1:at + 1 + data[at]]
            at += 1 + data[at]
        if flags & 4:
            (ident,) = struct.unpack_from("<i", data, at)
            at += 4
        lines.append("item flags %d description %s ident %d" % (flags, description.hex(), ident))
        compressed = bool(flags & 1)
        if kind == "sll":
            text, at = read_block(data, at, compressed)
            lines.append(" ".join(["lines"] + [l.hex() for l in text.split(b"\r\n")[:-1]]))
        elif kind == "wvl":
            raw, at = read_block(data, at, compressed)
            lines.append("wave %d %d" % (len(raw), checksum(raw)))
        elif kind == "bml":
            if flags & 8:
                raw, at = read_block(data, at, compressed)
                lines.append(describe_bitmap("bitmap", raw))
        elif kind == "iml":
            height, width, alloc, masked, images = struct.unpack_from("<iiiBi", data, at)
            at += 17
            lines.append("strip %dx%d alloc %d masked %d images %d" % (width, height, alloc, masked, images))
            if images > 0:
                raw, at = read_block(data, at, compressed)
                lines.append(describe_bitmap("image", raw))
                if masked:
                    raw, at = read_block(data, at, compressed)
                    lines.append(describe_bitmap("mask", raw))
    if at != len(data):
        raise ValueError("%d bytes after the last item" % (len(data) - at))
    print("\n".join(lines))


def write_wave(path, channels, width, rate, frames):
    data = bytes((i * 37 + i // 5) & 255 for i in range(frames * channels * width))
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(data)
    with open(path, "rb") as f:
        riff_size = struct.unpack_from("<i", f.read(8), 4)[0]
    print(riff_size, channels * width, os.path.getsize(path))


def same_wave(a, b):
    with wave.open(a, "rb") as x, wave.open(b, "rb") as y:
        if x.getparams() != y.getparams() or x.readframes(x.getnframes()) != y.readframes(y.getnframes()):
            print("waves differ: %s / %s" % (x.getparams(), y.getparams()))
            sys.exit(1)


def main(args):
    command = args[0]
    if command == "strings":
        with open(args[1], "wb") as f:
            f.write(string_container())
    elif command == "waves":
        with open(args[1], "wb") as f:
            f.write(wave_container(args[2:]))
    elif command == "strip":
        width, height, count, masked = (int(a) for a in args[2:6])
        with open(args[1], "wb") as f:
            f.write(container("iml", [strip_item(width, height, count, bool(masked), compressed=bool(masked))]))
    elif command == "damaged":
        damaged(args[1], args[2])
    elif command == "read":
        read(args[1])
    elif command == "wave":
        for at in range(1, len(args), 5):
            write_wave(args[at], *(int(a) for a in args[at + 1:at + 5]))
    elif command == "same-wave":
        for at in range(1, len(args), 2):
            same_wave(args[at], args[at + 1])
    else:
        raise SystemExit("unknown command " + command)


if __name__ == "__main__":
    main(sys.argv[1:])
