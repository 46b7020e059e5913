#!/usr/bin/env python3
"""Writes the seed corpora under tests/fuzz_corpus/, one folder per harness.

Real inputs, kept small: the name tables of a few installed TrueType fonts
(cut down to the records the face-name reader looks at), packages made by
sorvela-pack from those, hand-built packages for the trailer's odd corners
that the tool refuses to write, and packages on a minimal PE stub signed by
osslsigncode with a throw-away key (openssl), some with their security
directory bent.

usage: fuzz/make_corpus.py [PATH/TO/sorvela-pack]   (default build/host/sorvela-pack)
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "fuzz_corpus")
FONTS = "/usr/share/fonts/truetype"
SOURCES = ["dejavu/DejaVuSans.ttf", "dejavu/DejaVuSerif-BoldItalic.ttf",
           "liberation/LiberationSans-Regular.ttf", "liberation/LiberationMono-Italic.ttf"]


def tables(font):
    count = struct.unpack_from(">H", font, 4)[0]
    out = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from(">4sIII", font, 12 + 16 * i)
        out[tag] = font[offset:offset + length]
    return out


def name_table(records):
    """records: (platform, encoding, language, name_id, bytes)."""
    storage, heads = b"", b""
    for platform, encoding, language, name_id, text in records:
        heads += struct.pack(">6H", platform, encoding, language, name_id, len(text), len(storage))
        storage += text
    return struct.pack(">3H", 0, len(records), 6 + len(heads)) + heads + storage


def sfnt(named_tables, version=0x00010000):
    """A font holding just these tables, in the order given."""
    directory = struct.pack(">IHHHH", version, len(named_tables), 16, 0, 0)
    body, offset = b"", 12 + 16 * len(named_tables)
    for tag, data in named_tables:
        directory += struct.pack(">4sIII", tag, 0, offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return directory + body


def whole_font(full, family, style="Regular", cff=False):
    """A font with every table the install's check asks for, nearly empty."""
    names = [(3, 1, 0x409, 1, utf16(family)), (3, 1, 0x409, 2, utf16(style)),
             (3, 1, 0x409, 4, utf16(full))]
    head = bytearray(54)
    head[12:16] = struct.pack(">I", 0x5F0F3CF5)
    tables = [(b"cmap", b"\0" * 4), (b"head", bytes(head)), (b"hhea", b"\0" * 36),
              (b"hmtx", b"\0" * 4), (b"maxp", struct.pack(">IH", 0x5000, 1)),
              (b"name", name_table(names))]
    tables += [(b"CFF ", b"\0" * 4)] if cff else [(b"glyf", b"\0" * 4), (b"loca", b"\0" * 4)]
    return sfnt(tables, version=0x4F54544F if cff else 0x00010000)


def collection(fonts):
    """A font collection; each font's table offsets then count from its start."""
    header = struct.pack(">4sII", b"ttcf", 0x00010000, len(fonts))
    at, body = 12 + 4 * len(fonts), b""
    for font in fonts:
        header += struct.pack(">I", at + len(body))
        moved = bytearray(font)
        for i in range(struct.unpack_from(">H", font, 4)[0]):
            offset = struct.unpack_from(">I", font, 12 + 16 * i + 8)[0]
            struct.pack_into(">I", moved, 12 + 16 * i + 8, offset + at + len(body))
        body += bytes(moved)
    return header + body


def cut_font(path):
    """The font's head and a name table with only its family and style records."""
    t = tables(open(path, "rb").read())
    records = []
    data = t[b"name"]
    count, storage = struct.unpack_from(">2H", data, 2)
    for i in range(count):
        p, e, l, n, length, offset = struct.unpack_from(">6H", data, 6 + 12 * i)
        if n in (1, 2):
            records.append((p, e, l, n, data[storage + offset:storage + offset + length]))
    return sfnt([(b"head", t[b"head"]), (b"name", name_table(records))])


def utf16(text):
    return text.encode("utf-16-be")


def made_fonts():
    """Names the reader must convert, pick between or refuse."""
    win = lambda lang, text: (3, 1, lang, 1, utf16(text))
    mac = lambda text: (1, 0, 0, 1, text)
    return {
        "win_german_and_english": sfnt([(b"name", name_table(
            [win(0x0407, "Schrift"), win(0x0809, "Font UK"), win(0x0409, "Font US")]))]),
        "win_best_fit_and_unmapped": sfnt([(b"name", name_table(
            [win(0x0409, "\u0141\u00e9 \uff21 \u4e2d \u20ac")]))]),
        "mac_roman_only": sfnt([(b"name", name_table([mac(b"Caf\x8e \xdb")]))]),
        "unicode_platform": sfnt([(b"name", name_table([(0, 3, 0, 1, utf16("Uni Face"))]))],
                                 version=0x74727565),
        "long_family": sfnt([(b"name", name_table([win(0x0409, "L" * 40)]))]),
        "record_outside": sfnt([(b"name", struct.pack(">9H", 0, 1, 18, 3, 1, 0x409, 1, 10, 1000))]),
        "cff_refused": sfnt([(b"name", name_table([win(0x0409, "Otto")]))], version=0x4F54544F),
        "whole_truetype": whole_font("Sample Sans Bold", "Sample Sans", "Bold"),
        "whole_cff": whole_font("Sample-Italic", "Sample", "Italic", cff=True),
        "collection_two": collection([whole_font("Pair", "Pair"), whole_font("Pair Bold", "Pair")]),
        "collection_cff": collection([whole_font("C-R", "C", cff=True)]),
    }


def field(text, width, pad):
    return text[:width] + pad * (width - len(text[:width]))


def package(entries, count=None, pad=b" ", stub=b"MZ" + b"\0" * 62, tail=b"\0" * 514):
    """Entries in appending order; the last one appended is entry 1."""
    out = stub
    for name, data, size_text in entries:
        out += data + field(name, 40, pad) + field(size_text or str(len(data)).encode(), 10, pad)
    count_text = str(len(entries) if count is None else count).encode()
    return out + field(count_text, 5, pad) + tail


def pe_stub(magic=0x10B):
    """PE headers of 512 bytes with no sections: all a signer needs."""
    h = bytearray(0x200)
    h[0:2], h[0x80:0x84] = b"MZ", b"PE\0\0"
    struct.pack_into("<I", h, 0x3C, 0x80)
    struct.pack_into("<H", h, 0x94, 240 if magic == 0x20B else 224)  # optional header size
    struct.pack_into("<H", h, 0x98, magic)
    struct.pack_into("<I", h, 0x98 + (108 if magic == 0x20B else 92), 16)  # directories
    return bytes(h)


def security_entry(data):
    """Offset of the security directory entry in a pe_stub() file."""
    return 0x98 + (112 if data[0x98 + 1] == 2 else 96) + 4 * 8


def with_directory(data, offset, size):
    at = security_entry(data)
    return data[:at] + struct.pack("<II", offset, size) + data[at + 8:]


def manifest(readme=b"NOREADME", license=b"NOLICENSE", title=b"Sample Fonts",
             url=b"http://fonts.example/", url_title=b"Sample"):
    return b'"KESTREL DATAFILE 1"\r\n"%s"\r\n"%s"\r\n"%s"\r\n"%s"\r\n"%s"\r\n' % (
        readme, license, title, url, url_title)


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    pack = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/host/sorvela-pack")
    shutil.rmtree(OUT, ignore_errors=True)
    d = lambda harness: os.path.join(OUT, harness)

    fonts = {os.path.basename(s)[:-4]: cut_font(os.path.join(FONTS, s)) for s in SOURCES}
    fonts.update(made_fonts())
    for name, data in fonts.items():
        write(d("face_name_fuzz"), name, data)

    texts = {
        "quoted": manifest(b"readme.txt", b"license.txt"),
        "unquoted_commas": b"KESTREL DATAFILE 1,NOREADME, NOLICENSE ,Title,http://x.example/,Home\n",
        "blank_lines_and_cr": b"KESTREL DATAFILE 1\r\rreadme\r\"a, b\" tail\rhttp://x\r\n",
        "quote_without_end": b"\"KESTREL DATAFILE 1\n\"NOREADME",
        "readme_lines": b"a\r\nb\r\nc\r\n\r\nlone\nlf\rcr only",
        "address_with_line_break": manifest(url=b"http://x.example/\r\nIconFile=\\\\evil\\i.ico"),
    }
    for name, data in texts.items():
        write(d("manifest_fuzz"), name, data)

    with tempfile.TemporaryDirectory() as tmp:
        def path(name, data):
            p = os.path.join(tmp, name)
            open(p, "wb").write(data)
            return p
        stub = path("stub.exe", pe_stub())
        readme = path("readme.txt", b"Welcome\r\nSecond line\r\n")
        license = path("license.txt", b"Free to use.\r\n")
        made = []
        for name, args in {
            "one_font": [path("DejaVuSans.ttf", fonts["DejaVuSans"])],
            "texts_and_fonts": ["--readme", readme, "--license", license,
                                path("Serif.ttf", fonts["DejaVuSerif-BoldItalic"]),
                                path("Mono.TTF", fonts["LiberationMono-Italic"])],
            "no_fonts": ["--readme", readme],
        }.items():
            out = os.path.join(tmp, name)
            subprocess.run([pack, "create", "--stub", stub, "--out", out, "--title", "Sample",
                            "--url", "http://fonts.example/", "--url-title", "Sample Home"] + args,
                           check=True)
            made.append((name, open(out, "rb").read()))

        # Signed with a throw-away key: the tool's packages end on a multiple
        # of 8 bytes, the hand-built one does not and gets the signer's zeros.
        key, cert = os.path.join(tmp, "key.pem"), os.path.join(tmp, "cert.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:P-256", "-nodes", "-subj", "/CN=Seed",
                        "-keyout", key, "-out", cert], check=True, stderr=subprocess.DEVNULL)

        def sign(name, data):
            out = os.path.join(tmp, name + ".signed")
            subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-in",
                            path(name, data), "-out", out], check=True, stdout=subprocess.DEVNULL)
            return open(out, "rb").read()

        signed = sign("one_font", dict(made)["one_font"])
        made += [
            ("signed_one_font", signed),
            ("signed_padded", sign("padded", package([(b"kestrel.dat", manifest(), None)],
                                                     pad=b"\0", stub=pe_stub() + b"x"))),
            ("signed_pe32plus", sign("pe32plus", package([(b"kestrel.dat", manifest(), None)],
                                                         stub=pe_stub(0x20B)))),
        ]
        # Directories that name no table ending the file: read from the true end.
        offset, size = struct.unpack_from("<II", signed, security_entry(signed))
        for name, data in {
            "signed_then_appended": signed + b"appended",
            "signed_size_zero": with_directory(signed, offset, 0),
            "signed_offset_past_end": with_directory(signed, len(signed) + 8, size),
            "signed_size_past_end": with_directory(signed, offset, size + 8),
            "signed_table_in_headers": with_directory(signed, 0x100, len(signed) - 0x100),
        }.items():
            write(d("trailer_fuzz"), name, data)

    font = fonts["LiberationSans-Regular"]
    made += [
        # The tool pads with spaces; the format allows NULs, which the fakes' font system takes.
        ("nul_padded_texts_and_fonts", package(
            [(b"readme.txt", b"Welcome\r\n", None), (b"license.txt", b"Free.\r\n", None),
             (b"kestrel.dat", manifest(b"readme.txt", b"license.txt"), None),
             (b"Sans.ttf", fonts["DejaVuSans"], None), (b"Mono.ttf", fonts["LiberationMono-Italic"], None)],
            pad=b"\0")),
        ("nul_padding_count_00003", package([(b"a.ttf", font, None), (b"kestrel.dat", manifest(), None),
                                             (b"b.ttf", b"", None)], count=b"00003".decode(), pad=b"\0")),
        ("names_with_line_breaks", package([(b"kestrel.dat", manifest(), None),
                                            (b"x.ttf\r\n  ", font, None), (b"x.ttf", b"dup", None)])),
        ("count_zero_reads_entry_one", package([(b"kestrel.dat", manifest(), None)], count=0)),
        ("count_negative", package([(b"kestrel.dat", manifest(), None)], count=-7)),
        ("size_not_a_number", package([(b"kestrel.dat", manifest(), b"12x")])),
        ("size_past_start", package([(b"kestrel.dat", manifest(), b"99999")])),
        ("unsafe_name", package([(b"kestrel.dat", manifest(), None), (b"..\\evil.ttf", b"x", None)])),
        # Names the system would take for a device, change, or refuse.
        ("device_name", package([(b"kestrel.dat", manifest(), None), (b"AUX.ttf", font, None)])),
        ("trailing_dot", package([(b"kestrel.dat", manifest(), None), (b"font.ttf. ", font, None)])),
        ("reserved_character", package([(b"kestrel.dat", manifest(), None), (b"a?b.ttf", font, None)])),
        ("namesakes_in_case", package([(b"kestrel.dat", manifest(), None), (b"Case.ttf", font, None),
                                       (b"case.TTF", fonts["DejaVuSans"], None)], pad=b"\0")),
        # Manifest fields that lead outside the package or into the link file.
        ("readme_outside", package([(b"readme.txt", b"mine\r\n", None),
                                    (b"kestrel.dat", manifest(b"..\\..\\windows\\win.ini"), None)])),
        ("readme_namesake", package([(b"readme.txt", b"mine\r\n", None),
                                     (b"kestrel.dat", manifest(b"README.TXT  "), None)])),
        ("link_line_break", package([(b"kestrel.dat", manifest(
            url=b"http://x.example/\r\nIconFile=\\\\evil\\i.ico"), None), (b"a.ttf", font, None)])),
        ("link_title_device", package([(b"kestrel.dat", manifest(url_title=b"CON"), None)])),
        ("long_title", package([(b"kestrel.dat", manifest(title=b"T" * 300), None)])),
        ("stub_only", b"MZ" + b"\0" * 600),
    ]
    for name, data in made:
        write(d("trailer_fuzz"), name, data)
        write(d("startup_fuzz"), name, data)
    # The tail block's last byte picks what the start-up harness does next.
    for base in ("texts_and_fonts", "nul_padded_texts_and_fonts"):
        data = dict(made)[base]
        for then, byte in (("extract_only", 1), ("silent_install", 2), ("usage", 3), ("close", 4)):
            write(d("startup_fuzz"), base + "_" + then, data[:-1] + bytes([byte]))

    total = sum(os.path.getsize(os.path.join(r, f)) for r, _, fs in os.walk(OUT) for f in fs)
    print(f"{OUT}: {total} bytes")


if __name__ == "__main__":
    main()
