#!/usr/bin/env python3
"""Decodes blocks of the control library's compressor, written from the block format alone.

Usage: lzrw_oracle.py BLOCK OUTPUT [BLOCK OUTPUT ...]
Writes each block's decoded bytes to its OUTPUT; exits 1 with a message at the first block that
is not valid.
"""
import sys


def decode(block: bytes) -> bytes:
    if not block:
        raise ValueError("empty block")
    if block[0] == 0x80:
        return block[1:]
    if block[0] != 0x40:
        raise ValueError("unknown block kind %#x" % block[0])
    out = bytearray()
    pos = 1
    while pos < len(block):
        if pos + 2 > len(block):
            raise ValueError("control word cut off")
        control = (block[pos] << 8) | block[pos + 1]
        pos += 2
        for bit in range(15, -1, -1):
            if pos >= len(block):
                break
            if not (control >> bit) & 1:
                out.append(block[pos])
                pos += 1
                continue
            if pos + 2 > len(block):
                raise ValueError("item cut off")
            first, second = block[pos], block[pos + 1]
            offset = first * 16 + (second >> 4)
            if offset == 0:
                if pos + 4 > len(block):
                    raise ValueError("run cut off")
                count = (second & 15) * 256 + block[pos + 2] + 16
                out.extend(bytes([block[pos + 3]]) * count)
                pos += 4
            else:
                length = (second & 15) + 3
                if offset > len(out):
                    raise ValueError("copy before the start")
                for _ in range(length):
                    out.append(out[-offset])
                pos += 2
    return bytes(out)


def main() -> int:
    args = sys.argv[1:]
    for block_name, output_name in zip(args[::2], args[1::2]):
        with open(block_name, "rb") as f:
            block = f.read()
        try:
            data = decode(block)
        except ValueError as e:
            print("%s: %s" % (block_name, e))
            return 1
        with open(output_name, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
