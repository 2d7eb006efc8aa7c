#!/usr/bin/env python3
"""Writes the starting corpus of the fuzz targets into fuzz/corpus/.

form_stream_fuzzer: the binary form fixture of the tests and one form holding every
value kind; form_text_fuzzer: form texts, each after one byte that picks the code
page (odd: Big5, even: GB2312); converter_fuzzer: the sample unit and text with
stray high bytes; charset_names_fuzzer: form texts after one byte that picks the
set, the direction and the default choice; ini_file_fuzzer: settings files.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "form", "fixtures"))
import make_fixtures as f  # noqa: E402


def every_kind():
    end = b"\x00"
    s = b"TPF0" + bytes([0xF7]) + f.int8(1) + f.short("TForm1") + f.short("Form1")
    values = [
        b"\x00", bytes([1]) + f.int8(1) + end, f.int8(-1), f.int16(-300), bytes([4]) + struct.pack("<i", 70000),
        f.extended(0xC000000000000000, 16383), f.string(b"a'b\r\n"), f.ident("clRed"), b"\x08", b"\x09",
        f.binary(bytes(40)), bytes([11]) + f.short("a") + f.short("b") + end,
        bytes([12]) + struct.pack("<I", 70) + b"x" * 70, b"\x0d",
        bytes([14]) + f.int8(0) + b"\x01" + f.short("P") + f.int8(1) + end + end,
        bytes([15]) + struct.pack("<f", 0.1), bytes([16]) + struct.pack("<q", 15000),
        bytes([17]) + struct.pack("<d", 36526.5), f.wide("ab\u4f60\u597d"),
        bytes([19]) + struct.pack("<q", -1), bytes([20]) + struct.pack("<I", 3) + "\u4f60".encode("utf-8"),
    ]
    for i, value in enumerate(values):
        s += f.short("P%d" % i) + value
    return f.resource_file(s + end + end)


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, "corpus", folder), exist_ok=True)
    with open(os.path.join(HERE, "corpus", folder, name), "wb") as out:
        out.write(data)


# Stray high bytes as real projects hold them: a Latin-1 comment and literal,
# a UTF-8 line, a lead byte before CR LF and one at the very end.
STRAY = (b"{ Fran\xe7ois }\r\nS := 'caf\xe9';\r\n"
         b"Caption = '\xe4\xb8\xad\xe6\x96\x87'\r\n\xa4\r\n\x81\xa1\xa1\x40\xb3\x5c\xa5\x5c\xa4")

CHARSET_FORM = (b"object Form1: TForm1\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n"
                b"  Font.Name = '\xb7\x73\xb2\xd3\xa9\xfa\xc5\xe9'\r\n  Hint = '\xe9'gb2312_charset\r\n"
                b"  Tag = \x81DEFAULT_CHARSET\r\nend\r\n")

SETTINGS = (b"; kept by hand\r\n[cpView]\r\nFont=\xb7\x73\xb2\xd3\xa9\xfa\xc5\xe9,136,12,0\r\n\r\n"
            b"[cpOption]\r\n ChagerCharset = 1 \r\nBackUporiginal=0\r\nchagercharset=$10\r\n"
            b"[cpEng]\nFilePath=C:\\ConCmd\\ConCmd.exe\nParameter=/f:d\n[\xa4]\n[\xa4]]\nplain line\n")


def main():
    fixtures = os.path.join(HERE, "..", "tests", "form", "fixtures")
    with open(os.path.join(fixtures, "main_form.dfm"), "rb") as binary:
        write("form_stream_fuzzer", "main_form.dfm", binary.read())
    write("form_stream_fuzzer", "every_kind.dfm", every_kind())
    for name, code_page in (("main_form.txt", b"\x01"), ("text_form.dfm", b"\x00")):
        with open(os.path.join(fixtures, name), "rb") as text:
            write("form_text_fuzzer", name, code_page + text.read())
    with open(os.path.join(HERE, "..", "examples", "project", "MainForm.pas"), "rb") as unit:
        write("converter_fuzzer", "MainForm.pas", unit.read())
    write("converter_fuzzer", "stray_bytes.txt", STRAY)
    with open(os.path.join(fixtures, "main_form.950.txt"), "rb") as text:
        write("charset_names_fuzzer", "main_form.950.txt", b"\x01" + text.read())
    for choice in range(8):
        write("charset_names_fuzzer", "charset_form_%d.txt" % choice, bytes([choice]) + CHARSET_FORM)
    write("ini_file_fuzzer", "settings.ini", SETTINGS)
    write("ini_file_fuzzer", "concmd.ini", b"[Data]\r\nAgegbfix=762576896\r\nIgnore=*.exe;*.dll\r\nFixHtmlCharset=0\r\n")


if __name__ == "__main__":
    main()
