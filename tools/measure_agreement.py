#!/usr/bin/env python3
"""Measures how often the built-in engine agrees, character by character, with
glibc's iconv (its direct GB2312 <-> BIG5 module) and with OpenCC on real
text: the zh_CN manual pages of manpages-zh for GB2312 -> Big5, the zh_TW
pages for Big5 -> GB2312.  Counts every hanzi occurrence the source code page
holds.

  python3 tools/measure_agreement.py [build/bin/bgconv]

Needs: manpages-zh, opencc (apt-get install -y --no-install-recommends ...).
"""

import collections
import ctypes
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gather_corpus  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPENCC = "/usr/share/opencc"

libc = ctypes.CDLL("libc.so.6", use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                       ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]


def glibc_iconv(to, frm):
    handle = libc.iconv_open(to.encode(), frm.encode())

    def convert(data):
        source = ctypes.create_string_buffer(data, len(data))
        target = ctypes.create_string_buffer(16)
        in_ptr, out_ptr = ctypes.c_char_p(ctypes.addressof(source)), ctypes.c_char_p(ctypes.addressof(target))
        in_left, out_left = ctypes.c_size_t(len(data)), ctypes.c_size_t(16)
        libc.iconv(handle, None, None, None, None)
        if libc.iconv(handle, ctypes.byref(in_ptr), ctypes.byref(in_left), ctypes.byref(out_ptr),
                      ctypes.byref(out_left)) == ctypes.c_size_t(-1).value:
            return None
        return target.raw[:16 - out_left.value]
    return convert


def opencc(text, config):
    return subprocess.run(["opencc", "-c", config], input=text.encode(), capture_output=True,
                          check=True).stdout.decode()


def opencc_characters(text, dictionaries):
    """OpenCC's character dictionaries alone, without its phrase tables."""
    chain = [{"dict": {"type": "ocd2", "file": os.path.join(OPENCC, d + ".ocd2")}} for d in dictionaries]
    config = {"name": "characters", "segmentation": {"type": "mmseg", "dict": chain[0]["dict"]},
              "conversion_chain": chain}
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as out:
        json.dump(config, out)
    try:
        return opencc(text, out.name)
    finally:
        os.unlink(out.name)


def bgconv(binary, data, to):
    return subprocess.run([binary, "text", "--to", to], input=data, capture_output=True, check=True).stdout


def source_text(locale, codepage):
    """The pages' text with every character the code page cannot hold blanked."""
    kept = []
    for char in gather_corpus.text_of(locale):
        try:
            char.encode(codepage)
            kept.append(char)
        except UnicodeEncodeError:
            kept.append(" ")
    return "".join(kept)


def is_hanzi(char):
    return "\u4e00" <= char <= "\u9fff"


def measure(title, text, source_cp, target_cp, ours_bytes, iconv_convert, references):
    encoded = text.encode(source_cp)
    ours = ours_bytes(encoded)
    assert len(ours) == len(encoded), "the built-in engine keeps the byte length"
    tally = collections.Counter()
    misses = collections.defaultdict(collections.Counter)
    cache = {}
    offset = 0
    position_of = []
    for index, char in enumerate(text):
        width = len(char.encode(source_cp))
        if is_hanzi(char) and width == 2:
            pair = ours[offset:offset + 2]
            mine = None if pair == b"  " else pair.decode(target_cp, errors="replace")
            if char not in cache:
                converted = iconv_convert(char.encode(source_cp))
                cache[char] = converted.decode(target_cp) if converted else None
            position_of.append((index, mine, cache[char]))
        offset += width
    for index, mine, theirs in position_of:
        tally["total"] += 1
        tally["iconv"] += mine == theirs
        for name, converted in references.items():
            tally[name] += converted is not None and converted[index] == mine
            tally["iconv " + name] += converted is not None and converted[index] == theirs
            if converted is not None and converted[index] != mine:
                misses[name][(text[index], mine, converted[index])] += 1
    print(f"{title}: {tally['total']} hanzi occurrences")
    print(f"  agrees with iconv (glibc direct module): {100.0 * tally['iconv'] / tally['total']:.2f}%")
    for name in references:
        print(f"  agrees with {name}: {100.0 * tally[name] / tally['total']:.2f}%"
              f"   (iconv with it: {100.0 * tally['iconv ' + name] / tally['total']:.2f}%)")
        common = ", ".join(f"{c}->{m or 'filler'} ({r}) x{n}" for (c, m, r), n in misses[name].most_common(8))
        print(f"    most frequent differences: {common}")


def aligned(converted, text):
    return converted if len(converted) == len(text) else None


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin", "bgconv")
    cn = source_text("zh_CN", "gb2312")
    measure("GB2312 -> Big5 on the zh_CN pages", cn, "gb2312", "cp950",
            lambda data: bgconv(binary, data, "big5"), glibc_iconv("BIG5", "GB2312"),
            {"OpenCC s2tw (phrases)": aligned(opencc(cn, "s2tw"), cn),
             "OpenCC s2tw characters": aligned(opencc_characters(cn, ["STCharacters", "TWVariants"]), cn)})
    tw = source_text("zh_TW", "big5")
    measure("Big5 -> GB2312 on the zh_TW pages", tw, "big5", "gb2312",
            lambda data: bgconv(binary, data, "gb"), glibc_iconv("GB2312", "BIG5"),
            {"OpenCC t2s (phrases)": aligned(opencc(tw, "t2s"), tw),
             "OpenCC t2s characters": aligned(opencc_characters(tw, ["TSCharacters"]), tw)})


if __name__ == "__main__":
    main()
