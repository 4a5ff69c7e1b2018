#!/usr/bin/env python3
"""Writes data/samples/sample.qlb, the label `make run` shows, byte by byte from the
label file's tables (so the sample does not depend on the writer it demonstrates)."""
import struct
import sys

def be16(v): return struct.pack('>h' if v < 0 else '>H', v)
def le16(*vs): return b''.join(struct.pack('<h' if v < 0 else '<H', v) for v in vs)
def rec(tag, body): return tag.encode() + be16(len(body)) + body
def field(text, width): return text.encode('latin-1').ljust(width, b'\0')

def slot(length, just, pad, step, prompt, value):
    body = bytes([1, length, just, ord(pad), step & 0xFF]) + field(prompt, 27) + field(value, 64)
    assert len(body) == 96
    return body

header = b'ZR5500 FILE\0' + be16(608) + be16(400) + be16(16) + be16(16) + be16(8)
header += bytes([0, 8, 4, 0, 24, 1]) + b'\0' * 4 + field('DD-MN-Y4', 16) + field('H:M:S', 16)
assert len(header) == 64

out = header
out += rec('V', bytes([0]) + slot(10, 3, '0', 0, 'Lot number', '42'))
out += rec('C', bytes([0]) + slot(4, 3, '0', 1, 'Serial', '0001'))
out += rec('A', le16(20, 10, 2, 2, 4, 0, 0, 0) + b'"TAVRIN"\0')
out += rec('A', le16(20, 80, 1, 1, 3, 0, 0, 0) + b'"Lot "V00\0')
out += rec('A', le16(20, 110, 1, 1, 2, 1, 0, 0) + b'"Serial "C00\0')
out += rec('B', le16(8, 20, 160, 100, 2, 3, 2, 0, 0, 0) + b'"123456789012"\0')
out += rec('R', le16(0, 60, 576, 4, 0))
out += rec('X', le16(0, 0, 576, 368, 3))
out += rec('L', le16(400, 150, 560, 340, 4, 0))
# A 16 x 16 picture: a black square with a white centre (0 bits print), run-length coded.
rows = []
for y in range(16):
    rows += [0x00, 0x00] if y < 4 or y >= 12 else [0x0F, 0xF0]
packed = bytearray()
for b in rows:
    packed += bytes([0xC1, b]) if b >= 0xC0 else bytes([b])
block = bytes([2, 2]) + bytes(packed)
out += rec('G', le16(400, 20, 16, 16, len(block)) + field('LOGO', 16)) + block
out += rec('G', le16(440, 20, 16, 16, 0) + field('LOGO', 16))

sys.stdout.buffer.write(out) if len(sys.argv) < 2 else open(sys.argv[1], 'wb').write(out)
