#!/usr/bin/env python3
"""Builds the code tables GB2BIG and BIG2GB and the alternatives list
DUPCODE/DUPDATA, and writes them as src/codec/table_data.gen.cpp.

Data, all from Debian 12 packages:
  locales       /usr/share/i18n/charmaps/GB2312.gz, BIG5.gz   (code <-> Unicode)
  unicode-data  /usr/share/unicode/Unihan_Variants.txt.bz2    (kTraditionalVariant)
  opencc        STCharacters.ocd2, TWVariants.ocd2 dumped with opencc_dict
                (simplified -> traditional, in order of preference)
  tools/data/taiwan_frequency.tsv (committed; made by tools/gather_corpus.py)
Every code written is checked against Python's Windows code pages cp936 and
cp950, so no table ever emits a code that Windows cannot decode.

Run: python3 tools/gen_tables.py            (writes the generated source)
     python3 tools/gen_tables.py --stats    (also prints the counts)
"""

import argparse
import bz2
import collections
import gzip
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "src", "codec", "table_data.gen.cpp")
FREQUENCY = os.path.join(ROOT, "tools", "data", "taiwan_frequency.tsv")
CHARMAPS = "/usr/share/i18n/charmaps"
UNIHAN_VARIANTS = "/usr/share/unicode/Unihan_Variants.txt.bz2"
OPENCC = "/usr/share/opencc"

BIG5_FIRST, BIG5_LAST = 0xA140, 0xF9FE
GB_FIRST, GB_LAST = 0xA1A1, 0xFFFE
FILLER = (0x20, 0x20)
ALTERNATIVE_ROWS = 248

# The Big5 character set proper: symbols, frequent and less frequent hanzi.
# The rows 0xC6A1-0xC8FE and the vendor additions from 0xF9D6 on are left
# out: not every Windows Big5 font or code page carries them.
BIG5_RANGES = ((0xA140, 0xA3BF), (0xA440, 0xC67E), (0xC940, 0xF9D5))

# GB2312 symbols that Big5 does not hold, with the Big5 look-alikes a reader
# expects in their place, best first.  Chosen by eye over the symbol rows.
LOOK_ALIKES = {
    "\u30FB": "\uFE52\u00B7",  # ・ -> ﹒ ·
    "\uFF0E": "\u2027",        # ． -> ‧ (Big5 holds ． too: ‧ is an alternative)
    "\u2016": "\u2225",        # ‖ -> ∥
    "\u2015": "\u2014",        # ― -> —
    "\u2236": "\uFE30",        # ∶ -> ︰
    "\u2211": "\u03A3",        # ∑ -> Σ
    "\u220F": "\u03A0",        # ∏ -> Π
    "\u2248": "\u2252",        # ≈ -> ≒
    "\u2264": "\u2266",        # ≤ -> ≦
    "\u2265": "\u2267",        # ≥ -> ≧
    "\u2033": "\u301E",        # ″ -> 〞
    "\u3016": "\u3010",        # 〖 -> 【
    "\u3017": "\u3011",        # 〗 -> 】
    "\uFF02": "\u201D",        # ＂ -> ”
    "\uFF07": "\u2019",        # ＇ -> ’
    "\uFF40": "\u2035",        # ｀ -> ‵
    "\uFF3B": "\u3014",        # ［ -> 〔
    "\uFF3D": "\u3015",        # ］ -> 〕
    "\u2501": "\u2500",        # ━ -> ─
    "\u2503": "\u2502",        # ┃ -> │
    "\u250F": "\u250C",        # ┏ -> ┌
    "\u2513": "\u2510",        # ┓ -> ┐
    "\u2517": "\u2514",        # ┗ -> └
    "\u251B": "\u2518",        # ┛ -> ┘
    "\u2523": "\u251C",        # ┣ -> ├
    "\u252B": "\u2524",        # ┫ -> ┤
    "\u2533": "\u252C",        # ┳ -> ┬
    "\u253B": "\u2534",        # ┻ -> ┴
    "\u254B": "\u253C",        # ╋ -> ┼
}

# Big5's bopomofo tone marks: GB2312 holds the same code points as spacing
# marks among its symbols, but in Big5 text they belong to zhuyin syllables,
# so a GB2312 symbol never becomes one.
ZHUYIN_TONE_MARKS = range(0xA3BB, 0xA3C0)

# Variant forms a reader meets that neither OpenCC nor Unihan lists as a
# traditional form: 剉 is how Taiwan writes 銼 in 剉冰.
CURATED_ALTERNATIVES = {"\u9509": "\u5249"}  # 锉 -> 剉

# Hanzi that Big5 also holds as characters of their own, kept as themselves
# although Taiwan text mostly writes another form for the simplified usage:
# 后 (皇后), 里 (公里), 台 (台北).  Turning them into 後, 裡 or 臺 would
# rewrite names that must not change.
KEEP_AS_THEMSELVES = set("后里台")


def read_charmap(name):
    mapping = {}
    pattern = re.compile(r"<U([0-9A-F]+)>\s+/x([0-9a-f]{2})/x([0-9a-f]{2})\s")
    with gzip.open(os.path.join(CHARMAPS, name + ".gz"), "rt", encoding="latin-1") as lines:
        for line in lines:
            match = pattern.match(line)
            if match:
                code = int(match.group(2) + match.group(3), 16)
                mapping.setdefault(code, chr(int(match.group(1), 16)))
    return mapping


def windows_decode(code, codepage):
    try:
        return bytes((code >> 8, code & 0xFF)).decode(codepage)
    except UnicodeDecodeError:
        return None


def in_big5_set(code):
    return any(low <= code <= high for low, high in BIG5_RANGES)


def read_opencc(name):
    with tempfile.TemporaryDirectory() as folder:
        text = os.path.join(folder, name + ".txt")
        subprocess.run(["opencc_dict", "-i", os.path.join(OPENCC, name + ".ocd2"), "-o", text,
                        "-f", "ocd2", "-t", "text"], check=True)
        table = {}
        with open(text, encoding="utf-8") as lines:
            for line in lines:
                key, values = line.rstrip("\n").split("\t")
                table[key] = values.split(" ")
        return table


def read_unihan_traditional():
    table = {}
    with bz2.open(UNIHAN_VARIANTS, "rt", encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("#") or "\tkTraditionalVariant\t" not in line:
                continue
            point, _, values = line.rstrip("\n").split("\t")
            table[chr(int(point[2:], 16))] = [chr(int(v[2:].split("<")[0], 16)) for v in values.split()]
    return table


def read_frequency():
    counts = collections.Counter()
    with open(FREQUENCY, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("#") or not line.strip():
                continue
            char, count = line.rstrip("\n").split("\t")
            counts[char] = int(count)
    return counts


class Sources:
    def __init__(self):
        gb = read_charmap("GB2312")
        self.gb = {code: char for code, char in gb.items() if 0xA1A1 <= code <= 0xF7FE}
        self.gb_by_char = {char: code for code, char in sorted(self.gb.items())}
        self.big5 = {}
        for code, char in sorted(read_charmap("BIG5").items()):
            if in_big5_set(code) and windows_decode(code, "cp950") == char and char not in self.big5:
                self.big5[char] = code
        self.big5_chars = {code: char for char, code in self.big5.items()}
        self.opencc = read_opencc("STCharacters")
        self.taiwan_variants = read_opencc("TWVariants")
        self.unihan = read_unihan_traditional()
        self.taiwan = read_frequency()

    def traditional_forms(self, char):
        """Traditional forms of a simplified character, in Taiwan usage, best first."""
        forms = [self.taiwan_variants.get(form, [form])[0] for form in self.opencc.get(char, [])]
        forms += self.unihan.get(char, [])
        return list(dict.fromkeys(forms))

    def prefers_traditional(self, char, form):
        """Whether a reader in Taiwan expects `form` where simplified text writes `char`,
        although Big5 holds `char` too."""
        if char in KEEP_AS_THEMSELVES:
            return False
        if char not in self.opencc.get(char, []):
            return True  # never a traditional character in its own right
        return self.taiwan[form] >= 3 and self.taiwan[char] * 20 < self.taiwan[form]


def fold(char):
    return unicodedata.normalize("NFKC", char)


class Choice:
    """The Big5 form GB2BIG gives a GB2312 code, and the other forms a reader
    may meet for it, each with its rank for the alternatives list."""

    def __init__(self):
        self.chosen = {}         # GB2312 code -> Big5 character
        self.others = {}         # GB2312 code -> [(rank, Big5 character)]


def choose_symbols(sources, choice):
    by_fold = collections.defaultdict(list)
    for char, code in sorted(sources.big5.items(), key=lambda item: item[1]):
        if code < 0xA440:
            by_fold[fold(char)].append(char)
    for code, char in sorted(sources.gb.items()):
        if code >= 0xB0A1:
            continue
        forms = [c for c in [char] + list(LOOK_ALIKES.get(char, ""))
                 if c in sources.big5 and sources.big5[c] not in ZHUYIN_TONE_MARKS]
        if not forms:
            continue  # kana, Cyrillic, circled numbers and the like: no counterpart
        choice.chosen[code] = forms[0]
        # Vertical and small presentation forms of the same symbol.
        choice.others[code] = [(0, c) for c in forms[1:] + by_fold.get(fold(char), [])]


def choose_hanzi(sources, choice):
    hanzi = [(code, char) for code, char in sorted(sources.gb.items()) if code >= 0xB0A1]
    taken = set()
    # Characters Big5 holds map to themselves, unless a reader in Taiwan
    # expects their traditional form; a form another code already gives is not
    # taken again, so the two directions stay one-to-one where they can.
    flips = []
    flipped_to = set()
    for code, char in hanzi:
        forms = [f for f in sources.traditional_forms(char) if f in sources.big5]
        if char in sources.big5:
            if forms and forms[0] != char and sources.prefers_traditional(char, forms[0]):
                flips.append((code, char, forms[0]))
            else:
                choice.chosen[code] = char
                taken.add(char)
    for code, char, form in flips:
        # A form that GB2312 holds itself (于 and 於) is shared: both codes give
        # it, and Big5 -> GB2312 takes the simplified one back.
        shared = form in sources.gb_by_char and form not in flipped_to
        choice.chosen[code] = form if shared or form not in taken else char
        flipped_to.add(choice.chosen[code])
        taken.add(choice.chosen[code])
    for code, char in hanzi:
        if char in sources.big5:
            continue
        forms = [f for f in sources.traditional_forms(char) if f in sources.big5]
        free = [f for f in forms if f not in taken]
        if forms:
            choice.chosen[code] = (free or forms)[0]
            taken.add(choice.chosen[code])
    for code, char in hanzi:
        if code not in choice.chosen:
            continue
        opencc = [sources.taiwan_variants.get(f, [f])[0] for f in sources.opencc.get(char, [])]
        opencc += sources.taiwan_variants.get(char, [])
        candidates = opencc + [char] + sources.unihan.get(char, [])
        choice.others[code] = [(0 if c in opencc else 1, c) for c in dict.fromkeys(candidates)]
        choice.others[code] += [(-1, c) for c in CURATED_ALTERNATIVES.get(char, "")]


def build_gb2big(sources, choice):
    return {code: sources.big5[char] for code, char in choice.chosen.items()}


def build_alternatives(sources, choice, gb2big):
    """The Big5 forms GB2BIG does not give, most useful first, as many as the
    list holds: curated forms, then forms from the symbol and OpenCC data,
    then those only Unihan knows; within each, by how often Taiwan text uses
    them, and then by GB2312 code (its level-1 hanzi are the common ones)."""
    given = set(gb2big.values())
    candidates = set()
    for code, others in choice.others.items():
        for rank, char in others:
            big5 = sources.big5.get(char)
            if big5 is not None and big5 not in given:
                candidates.add((rank, -sources.taiwan[char], code, big5))
    best = sorted(candidates)[:ALTERNATIVE_ROWS]
    return sorted({(code, big5) for _, _, code, big5 in best})


def same_character(gb_code, big5_code):
    return windows_decode(gb_code, "cp936") == windows_decode(big5_code, "cp950")


def build_big2gb(gb2big, alternatives):
    """Rule 1: the inverse of GB2BIG; where several GB2312 codes give one Big5
    code, a symbol takes the same character back and a hanzi the lowest code
    (level 1 holds the common simplified forms: 於 -> 于, 徵 -> 征);
    rule 2: the alternatives list; rule 3: the filler."""
    inverse = {}
    for gb_code, big5_code in sorted(gb2big.items()):
        if big5_code not in inverse or (big5_code < 0xA440 and same_character(gb_code, big5_code)
                                        and not same_character(inverse[big5_code], big5_code)):
            inverse[big5_code] = gb_code
    for gb_code, big5_code in alternatives:
        inverse.setdefault(big5_code, gb_code)
    return inverse


def flat_table(mapping, first, last):
    data = bytearray()
    for code in range(first, last + 1):
        target = mapping.get(code)
        data += bytes((target >> 8, target & 0xFF)) if target else bytes(FILLER)
    return bytes(data)


def check(gb2big, big2gb, alternatives):
    for gb_code, big5_code in gb2big.items():
        assert windows_decode(big5_code, "cp950"), hex(big5_code)
    for big5_code, gb_code in big2gb.items():
        assert windows_decode(gb_code, "cp936"), hex(gb_code)
    if len(alternatives) != ALTERNATIVE_ROWS:
        sys.exit(f"gen_tables: {len(alternatives)} alternatives, the list holds {ALTERNATIVE_ROWS}")


def c_array(name, data):
    lines = [f"extern const unsigned char {name}[{len(data)}] = {{"]
    for start in range(0, len(data), 16):
        lines.append("    " + ",".join(f"0x{b:02X}" for b in data[start:start + 16]) + ",")
    lines.append("};")
    return "\n".join(lines)


def write_source(items):
    # Every entry of a code table is two bytes: the converter keeps a text at
    # its length and refuses a table with a zero byte.
    for name, data in items:
        if name in ("kBig2Gb", "kGb2Big"):
            assert 0 not in data, name + " holds a zero byte"
    parts = [
        "// Generated by tools/gen_tables.py; do not edit.  Run the generator again",
        "// to change the tables.",
        "",
        "namespace bgconv::generated {",
        "",
    ]
    for name, data in items:
        parts += [c_array(name, data), ""]
    parts += ["}  // namespace bgconv::generated", ""]
    with open(OUTPUT, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(parts))


def print_stats(sources, gb2big, big2gb, alternatives):
    def region(mapping, low, high):
        return sum(1 for code in mapping if low <= code <= high)
    print("GB2BIG mapped:", len(gb2big), "symbols", region(gb2big, 0xA1A1, 0xA9FE),
          "level 1", region(gb2big, 0xB0A1, 0xD7F9), "level 2", region(gb2big, 0xD8A1, 0xF7FE))
    print("  GB2312 characters without counterpart:", len(sources.gb) - len(gb2big))
    same = sum(1 for g, b in gb2big.items() if same_character(g, b))
    lookalikes = sum(1 for g, b in gb2big.items() if g < 0xB0A1 and not same_character(g, b))
    print("  same character", same, "other form", len(gb2big) - same, "of which symbol look-alikes", lookalikes)
    both = [g for g, b in gb2big.items() if g >= 0xB0A1 and same_character(g, b) is False
            and sources.gb[g] in sources.big5]
    print("  hanzi Big5 also holds, mapped to another form:", len(both), "".join(sources.gb[g] for g in both))
    print("BIG2GB mapped:", len(big2gb), "through GB2BIG", len(big2gb) - len(alternatives), "symbols", region(big2gb, 0xA140, 0xA3BF),
          "frequent", region(big2gb, 0xA440, 0xC67E), "less frequent", region(big2gb, 0xC940, 0xF9D5))
    codes = collections.Counter(g for g, _ in alternatives)
    print("alternatives:", len(alternatives), "rows,", len(codes), "codes,",
          "symbols", sum(1 for g, _ in alternatives if g < 0xB0A1),
          "multiplicity", sorted(collections.Counter(codes.values()).items()))
    print("  first", [(hex(g), hex(b)) for g, b in alternatives[:3]], "last", hex(alternatives[-1][0]),
          hex(alternatives[-1][1]))
    groups = collections.Counter(gb2big.values())
    print("  GB2BIG many-to-one groups:", sum(1 for n in groups.values() if n > 1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--stats", action="store_true", help="print the counts")
    args = parser.parse_args()
    sources = Sources()
    choice = Choice()
    choose_symbols(sources, choice)
    choose_hanzi(sources, choice)
    gb2big = build_gb2big(sources, choice)
    alternatives = build_alternatives(sources, choice, gb2big)
    big2gb = build_big2gb(gb2big, alternatives)
    if args.stats:
        print_stats(sources, gb2big, big2gb, alternatives)
    check(gb2big, big2gb, alternatives)
    dup_code = b"".join(bytes((g >> 8, g & 0xFF)) for g, _ in alternatives)
    dup_data = b"".join(bytes((b >> 8, b & 0xFF)) for _, b in alternatives)
    write_source([("kBig2Gb", flat_table(big2gb, BIG5_FIRST, BIG5_LAST)),
                  ("kGb2Big", flat_table(gb2big, GB_FIRST, GB_LAST)),
                  ("kDupCode", dup_code), ("kDupData", dup_data)])


if __name__ == "__main__":
    main()
