#!/usr/bin/env python3
"""Gathers real Chinese text from the manual pages of Debian's manpages-zh
package and writes what the table generator, the text classifier's generator
and the agreement measurement use.

  python3 tools/gather_corpus.py --counts    writes tools/data/taiwan_frequency.tsv
                                             and tools/data/mainland_frequency.tsv
                                             (character counts of the zh_TW and the
                                             zh_CN pages)
  python3 tools/gather_corpus.py --text zh_CN OUT   writes the zh_CN pages' text to OUT
  python3 tools/gather_corpus.py --text zh_TW OUT   likewise for zh_TW

Needs: apt-get install -y --no-install-recommends manpages-zh
"""

import argparse
import collections
import gzip
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COUNTS = {"zh_TW": os.path.join(ROOT, "tools", "data", "taiwan_frequency.tsv"),
          "zh_CN": os.path.join(ROOT, "tools", "data", "mainland_frequency.tsv")}
MAN = "/usr/share/man"


def pages(locale):
    folder = os.path.join(MAN, locale)
    if not os.path.isdir(folder):
        sys.exit(f"gather_corpus: {folder} is missing (apt-get install manpages-zh)")
    for top, _, names in sorted(os.walk(folder)):
        for name in sorted(names):
            path = os.path.join(top, name)
            if name.endswith(".gz") and not os.path.islink(path):
                yield path


def text_of(locale):
    """The running text of every page: roff comment lines left out."""
    lines = []
    for path in pages(locale):
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as page:
            lines += [line for line in page if not line.startswith('.\\"')]
    return "".join(lines)


def write_counts(locale):
    counts = collections.Counter(c for c in text_of(locale) if ord(c) >= 0x2E80 and c != "\ufffd")
    with open(COUNTS[locale], "w", encoding="utf-8", newline="\n") as out:
        out.write(f"# Character counts of the {locale} manual pages of manpages-zh (tools/gather_corpus.py).\n")
        for char, count in sorted(counts.items()):
            out.write(f"{char}\t{count}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--counts", action="store_true")
    parser.add_argument("--text", nargs=2, metavar=("LOCALE", "OUT"))
    args = parser.parse_args()
    if args.counts:
        for locale in COUNTS:
            write_counts(locale)
    if args.text:
        with open(args.text[1], "w", encoding="utf-8") as out:
            out.write(text_of(args.text[0]))


if __name__ == "__main__":
    main()
