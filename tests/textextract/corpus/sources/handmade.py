#!/usr/bin/env python3
"""Writes the documents of the set that no Debian tool writes, and damaged ones.

Usage: handmade.py <folder>. Called by make-corpus.sh after the other tools ran (the damaged
files are made from their output).
"""
import os
import struct
import sys

out = sys.argv[1]


def write(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


def read(name):
    with open(os.path.join(out, name), "rb") as f:
        return f.read()


# ---------------------------------------------------------------- Excel 4 sheet (bare BIFF4)
def rec(kind, data):
    return struct.pack("<HH", kind, len(data)) + data


def biff4_format(text):
    b = text.encode("latin-1")
    return rec(0x041E, b"\0\0" + bytes([len(b)]) + b)


def biff4_xf(fmt):
    return rec(0x0443, bytes([0, fmt]) + b"\0" * 10)


def biff4_label(row, col, xf, text):
    b = text.encode("cp1252")
    return rec(0x0204, struct.pack("<HHHH", row, col, xf, len(b)) + b)


def biff4_number(row, col, xf, value):
    return rec(0x0203, struct.pack("<HHHd", row, col, xf, value))


sheet = rec(0x0409, struct.pack("<HHH", 0, 0x0010, 0))
sheet += rec(0x0042, struct.pack("<H", 1252))
sheet += biff4_format("General") + biff4_format("d-mmm-yy") + biff4_format("0.00%")
sheet += biff4_xf(0) + biff4_xf(1) + biff4_xf(2)
sheet += biff4_label(0, 0, 0, "Excelfourword caf\u00e9")
sheet += biff4_number(1, 0, 1, 39219.0) + biff4_number(1, 1, 2, 0.125)
# A formula whose result is a string: the STRING record follows it.
sheet += rec(0x0406, struct.pack("<HHH", 2, 0, 0) + b"\0\0\0\0\0\0\xff\xff" + b"\0\0" + b"\0\0")
text = b"Formulafourword"
sheet += rec(0x0207, struct.pack("<H", len(text)) + text)
sheet += rec(0x000A, b"")
write("excel4.xls", sheet)


# ---------------------------------------------------------------- Mobipocket books
def palmdoc_literal(data):
    """PalmDOC compression using only literal runs (a valid stream any reader decodes)."""
    outb = bytearray()
    i = 0
    while i < len(data):
        chunk = data[i:i + 8]
        if all(0x09 <= c <= 0x7F for c in chunk[:1]):
            outb.append(chunk[0])
            i += 1
        else:
            outb.append(len(chunk))
            outb += chunk
            i += len(chunk)
    return bytes(outb)


def pdb(name, records):
    header = name.ljust(32, b"\0")[:32]
    header += struct.pack(">HHIIIIII", 0, 0, 0, 0, 0, 0, 0, 0)
    header += b"BOOKMOBI" + struct.pack(">II", 0, 0) + struct.pack(">H", len(records))
    offset = 78 + 8 * len(records) + 2
    table = b""
    for n, r in enumerate(records):
        table += struct.pack(">II", offset, n * 2)
        offset += len(r)
    return header + table + b"\0\0" + b"".join(records)


def record0(compression, text_length, text_records, version, encoding=65001, extra=None):
    rec0 = bytearray(struct.pack(">HHIHHHH", compression, 0, text_length, text_records, 4096, 0, 0))
    mobi = bytearray(0x108)
    mobi[0:4] = b"MOBI"
    struct.pack_into(">I", mobi, 4, 0x108)      # header length
    struct.pack_into(">I", mobi, 8, 2)          # book
    struct.pack_into(">I", mobi, 12, encoding)
    struct.pack_into(">I", mobi, 0x14, version)
    struct.pack_into(">I", mobi, 0x50, 0xFFFFFFFF)  # first non-book record: none
    for field, value in (extra or {}).items():
        struct.pack_into(">I", mobi, field - 16, value)
    struct.pack_into(">H", mobi, 0xF2 - 16, 0)   # no trailing entries
    return bytes(rec0 + mobi)


# KF8: the text flow holds a skeleton whose body is empty and the fragment that fills it;
# a CSS flow follows, cut off by the FDST record.
skeleton = b'<html><head><title>Kftitle</title></head><body aid="0"></body></html>'
fragment = ("<p>Kfeightword nebula</p><p>Second kfparagraph Stra\u00dfe</p>"
            "<ul><li>alpha</li><li>kflistword</li></ul>").encode("utf-8")
flow0 = skeleton + fragment
css = b"p { kfcssword: 1 }"
raw = flow0 + css
text_records = [palmdoc_literal(raw[i:i + 4096]) for i in range(0, len(raw), 4096)]
fdst = b"FDST" + struct.pack(">II", 12, 2) + struct.pack(">IIII", 0, len(flow0), len(flow0), len(raw))
fdst_index = 1 + len(text_records)
r0 = record0(2, len(raw), len(text_records), 8, extra={0xC0: fdst_index, 0xC4: 2})
write("kf8.azw3", pdb(b"kf8book", [r0] + text_records + [fdst, b"\xe9\x8e\r\n"]))


# HUFF/CDIC: every byte is its own 8-bit code (code c reads table slot 255 - c); code 0x01
# names a phrase that is itself compressed (it expands to "phrase "), so the recursive
# entries are exercised.
def huff_record():
    # Code length 8, terminal, the same maximum code 0xFFFFFFFF for all first bytes.
    dict1 = [8 | 0x80 | (255 << 8)] * 256
    dict2 = [0] * 64
    body = b"HUFF" + struct.pack(">III", 0x18, 0x18, 0x18 + 1024) + b"\0" * 8
    body += b"".join(struct.pack(">I", v) for v in dict1)
    body += b"".join(struct.pack(">I", v) for v in dict2)
    return body


def cdic_record():
    entries = []
    for slot in range(256):
        c = 255 - slot
        entries.append((b"phrase ", False) if c == 1 else (bytes([c]), True))
    offsets = b""
    data = b""
    base = 2 * 256
    for blob, literal in entries:
        offsets += struct.pack(">H", base + len(data))
        data += struct.pack(">H", len(blob) | (0x8000 if literal else 0)) + blob
    return b"CDIC" + struct.pack(">III", 0x10, 256, 8) + offsets + data


html = ("<html><head><title>t</title></head><body><p>Huffword lantern \x01kept</p>"
        "<p>Second hufftwo</p></body></html>").encode("latin-1")
huff_text = [html]
r0 = record0(17480, len(html), 1, 6, encoding=1252, extra={0x80: 2, 0x84: 2})
write("huffcdic.mobi", pdb(b"huffbook", [r0] + huff_text + [huff_record(), cdic_record(), b"\xe9\x8e\r\n"]))

# A KF8 book under the older names.
write("kf8.azw", read("kf8.azw3"))
write("kf8.prc", read("kf8.azw3"))

# ---------------------------------------------------------------- damaged documents
doc = read("writer.doc")
write("damaged-truncated.doc", doc[: len(doc) // 2])
# A FAT whose first entry points to itself: every chain through it loops.
looped = bytearray(doc)
first_fat = struct.unpack_from("<I", looped, 0x4C)[0]
struct.pack_into("<I", looped, (first_fat + 1) * 512, 0)
write("damaged-fatloop.doc", bytes(looped))
xls = bytearray(read("calc.xls"))
at = xls.find(b"\xfc\x00")
if at > 0:
    struct.pack_into("<II", xls, at + 4, 0x7FFFFFFF, 0x7FFFFFFF)  # SST counts far too large
write("damaged-sst.xls", bytes(xls))
ppt = bytearray(read("impress.ppt"))
write("damaged-zeros.ppt", bytes(ppt[:512]) + b"\0" * (len(ppt) - 512))
write("damaged-nesting.rtf", b"{\\rtf1\\ansi " + b"{" * 100000 + b"deepword \\u-10179 \\'")
write("notacompound.doc", b"Plain text saved under a Word name: plaindocword.\n")

# ---------------------------------------------------------------- OpenOffice.org 1.x files
import zipfile

OOO_NS = ('xmlns:office="http://openoffice.org/2000/office" '
          'xmlns:style="http://openoffice.org/2000/style" '
          'xmlns:text="http://openoffice.org/2000/text" '
          'xmlns:table="http://openoffice.org/2000/table" '
          'xmlns:draw="http://openoffice.org/2000/drawing" '
          'xmlns:presentation="http://openoffice.org/2000/presentation" '
          'xmlns:svg="http://www.w3.org/2000/svg" '
          'xmlns:fo="http://www.w3.org/1999/XSL/Format" '
          'xmlns:dc="http://purl.org/dc/elements/1.1/"')


def ooo(name, mimetype, cls, body, master=""):
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n'
               '<office:document-content %s office:class="%s" office:version="1.0">'
               '<office:body>%s</office:body></office:document-content>' % (OOO_NS, cls, body))
    styles = ('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<office:document-styles %s office:version="1.0"><office:master-styles>%s'
              '</office:master-styles></office:document-styles>' % (OOO_NS, master))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<manifest:manifest xmlns:manifest="http://openoffice.org/2001/manifest">'
                '<manifest:file-entry manifest:media-type="%s" manifest:full-path="/"/>'
                '<manifest:file-entry manifest:media-type="text/xml" manifest:full-path="content.xml"/>'
                '<manifest:file-entry manifest:media-type="text/xml" manifest:full-path="styles.xml"/>'
                '</manifest:manifest>' % mimetype)
    with zipfile.ZipFile(os.path.join(out, name), "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), mimetype)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED)
        z.writestr("styles.xml", styles, zipfile.ZIP_DEFLATED)
        z.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)


ooo("writer.sxw", "application/vnd.sun.xml.writer", "text",
    '<text:h text:level="1">Sxwheading</text:h>'
    '<text:p>Sxwbodyword alpha<text:s text:c="2"/>spaced<text:tab-stop/>tabbed Stra\u00dfe</text:p>'
    '<text:p>Anchor<text:footnote text:id="ftn1"><text:footnote-citation>1</text:footnote-citation>'
    '<text:footnote-body><text:p>Sxwfootnoteword</text:p></text:footnote-body></text:footnote> after</text:p>',
    '<style:master-page style:name="Standard"><style:header><text:p>Sxwheaderword</text:p></style:header>'
    '</style:master-page>')
ooo("calc.sxc", "application/vnd.sun.xml.calc", "spreadsheet",
    '<table:table table:name="S"><table:table-row>'
    '<table:table-cell table:value-type="string"><text:p>Sxccellword</text:p></table:table-cell>'
    '<table:table-cell table:value-type="float" table:value="42"><text:p>42</text:p></table:table-cell>'
    '</table:table-row></table:table>')
ooo("impress.sxi", "application/vnd.sun.xml.impress", "presentation",
    '<draw:page draw:name="p1" draw:master-page-name="Default">'
    '<draw:text-box svg:x="1cm" svg:y="1cm" svg:width="10cm" svg:height="3cm">'
    '<text:p>Sxislideword</text:p></draw:text-box>'
    '<presentation:notes><draw:text-box><text:p>Sxinotesword</text:p></draw:text-box></presentation:notes>'
    '</draw:page>')
