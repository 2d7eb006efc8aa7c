#!/usr/bin/env python3
"""Builds the character costs by which the text classifier weighs the Big5
(cp950) and the GBK (cp936) reading of a text, and writes them as
src/codec/reading_cost_data.gen.cpp.

The cost of a double-byte character is -ln p in eighths of a nat, p from a
unigram model of the script's ordinary text:
  - characters counted in tools/data/taiwan_frequency.tsv (Big5) or
    tools/data/mainland_frequency.tsv (GBK): (1 - UNSEEN) * count / total;
  - GBK characters outside GB2312 that the Taiwan counts hold (GBK text that
    needs them is mostly traditional text): TRADITIONAL_IN_GBK * count / total
    of the Taiwan counts;
  - every other character that the code page decodes shares UNSEEN, split by
    region (REGION_WEIGHT), evenly within its region.
Both counts are made by tools/gather_corpus.py --counts from the manual pages
of manpages-zh.  What decodes is what Python's cp950 and cp936 codecs decode
(Windows' code pages 950 and 936); GB2312 membership is Python's gb2312 codec.

Run: python3 tools/gen_reading_costs.py           (writes the generated source)
     python3 tools/gen_reading_costs.py --stats   (also prints the counts)
"""

import argparse
import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "src", "codec", "reading_cost_data.gen.cpp")
COUNTS = {"cp950": os.path.join(ROOT, "tools", "data", "taiwan_frequency.tsv"),
          "cp936": os.path.join(ROOT, "tools", "data", "mainland_frequency.tsv")}

# The share of a program's Chinese text that lies outside the counted
# characters: the manual pages are one field's text, so more than their own
# singletons suggest (about 1/3000).
UNSEEN = 0.002
# The share of GBK text made of traditional characters outside GB2312.
TRADITIONAL_IN_GBK = 0.01
# How the unseen share is split: most unseen characters of real text are
# ordinary hanzi of the frequent set.
REGION_WEIGHT = {"symbol": 0.08, "frequent": 0.80, "rare": 0.10, "other": 0.02}
EIGHTHS = 8       # cost units per nat
MAX_COST = 254    # 255 marks a code that does not decode

HANZI = 1          # flag: the character is a hanzi
OUTSIDE_GB2312 = 2  # flag: a GBK character that GB2312 lacks


def read_counts(path):
    counts = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if not line.startswith("#"):
                char, count = line.rstrip("\n").split("\t")
                counts[char] = int(count)
    return counts


def decode(code, encoding):
    try:
        return bytes((code >> 8, code & 0xFF)).decode(encoding)
    except UnicodeDecodeError:
        return None


def is_hanzi(char):
    point = ord(char)
    return 0x3400 <= point <= 0x9FFF or 0xF900 <= point <= 0xFAFF or 0x20000 <= point


def region(code, char, encoding):
    """symbol, frequent or rare hanzi of the code page's own set, or other."""
    if encoding == "cp950":
        if 0xA140 <= code <= 0xA3BF:
            return "symbol"
        if 0xA440 <= code <= 0xC67E:
            return "frequent"
        if 0xC940 <= code <= 0xF9D5:
            return "rare"
        return "other"
    if decode(code, "gb2312") is None:
        return "other"
    if not is_hanzi(char):
        return "symbol"
    return "frequent" if code < 0xD800 else "rare"


def characters(encoding):
    """(code, character) of every double-byte code the code page decodes."""
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            code = lead << 8 | trail
            char = decode(code, encoding)
            if char is not None:
                yield code, char


def quantised(p):
    return min(MAX_COST, round(-math.log(p) * EIGHTHS))


def model(encoding):
    """Runs (first, last, backoff cost, flags) over every decoded code, and
    the costs of the counted characters: (code, cost)."""
    counts = read_counts(COUNTS[encoding])
    total = sum(counts.values())
    costs = {char: quantised((1 - UNSEEN) * count / total) for char, count in counts.items()}
    codes = list(characters(encoding))
    if encoding == "cp936":
        taiwan = read_counts(COUNTS["cp950"])
        taiwan_total = sum(taiwan.values())
        for code, char in codes:
            if char in taiwan and char not in costs and decode(code, "gb2312") is None:
                costs[char] = quantised(TRADITIONAL_IN_GBK * taiwan[char] / taiwan_total)
    regions = {code: region(code, char, encoding) for code, char in codes}
    unseen = {name: 0 for name in REGION_WEIGHT}
    for code, char in codes:
        if char not in costs:
            unseen[regions[code]] += 1
    backoff = {name: quantised(UNSEEN * REGION_WEIGHT[name] / unseen[name]) if unseen[name] else MAX_COST
               for name in REGION_WEIGHT}
    runs, seen = [], []
    for code, char in codes:
        flags = (HANZI if is_hanzi(char) else 0)
        if encoding == "cp936" and decode(code, "gb2312") is None:
            flags |= OUTSIDE_GB2312
        cost = backoff[regions[code]]
        if runs and runs[-1][1] == code - 1 and runs[-1][2:] == [cost, flags]:
            runs[-1][1] = code
        else:
            runs.append([code, code, cost, flags])
        if char in costs:
            seen.append((code, costs[char]))
    return runs, seen, unseen, backoff


def emit(out, name, encoding):
    runs, seen, unseen, backoff = model(encoding)
    out.write(f"// {encoding}: {sum(r[1] - r[0] + 1 for r in runs)} codes decode, {len(seen)} counted.\n")
    out.write(f"const CodeRun k{name}Runs[] = {{\n")
    for first, last, cost, flags in runs:
        out.write(f"    {{0x{first:04X}, 0x{last:04X}, {cost}, {flags}}},\n")
    out.write("};\n")
    out.write(f"const std::size_t k{name}RunCount = {len(runs)};\n")
    out.write(f"const CountedCode k{name}Counted[] = {{\n")
    for i in range(0, len(seen), 6):
        row = ", ".join(f"{{0x{code:04X}, {cost}}}" for code, cost in seen[i:i + 6])
        out.write(f"    {row},\n")
    out.write("};\n")
    out.write(f"const std::size_t k{name}CountedCount = {len(seen)};\n\n")
    return unseen, backoff, len(seen)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--stats", action="store_true")
    args = parser.parse_args()
    with open(OUTPUT, "w", encoding="utf-8", newline="\n") as out:
        out.write("// Generated by tools/gen_reading_costs.py from tools/data/*_frequency.tsv; do not edit.\n")
        out.write("#include \"codec/reading_cost_data.h\"\n\nnamespace bgconv::reading_data {\n\n")
        stats = {name: emit(out, name, encoding) for name, encoding in (("Big5", "cp950"), ("Gbk", "cp936"))}
        out.write("}  // namespace bgconv::reading_data\n")
    if args.stats:
        for name, (unseen, backoff, counted) in stats.items():
            print(f"{name}: {counted} counted; unseen by region {unseen}; backoff costs (1/8 nat) {backoff}")


if __name__ == "__main__":
    main()
