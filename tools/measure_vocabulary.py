#!/usr/bin/env python3
"""Measures how well the converter ConCmd/ConCmd does in vocabulary mode
against character-by-character table mode ("/f:d") on real text.

The truth is text written in Traditional Chinese:
  - the zh_TW message catalogs of the installed programs
    (/usr/share/locale/zh_TW/LC_MESSAGES/*.mo), translated by people;
  - the zh_TW manual pages of manpages-zh.  Those are made from the zh_CN
    pages by OpenCC itself, so vocabulary mode is measured there against its
    own dictionaries: an upper bound, not a fair score.  The built-in tables turn it into GB2312
(bgconv text --to gb), and both modes of the converter turn that back into
Big5 (/o:big5), which is where one GB2312 character can stand for several
Big5 ones (发: 發 or 髮).  Every hanzi of the GB2312 text counts; a result is
right when it is the character of the original.  The same is done the other
way on the zh_CN catalogs and pages (truth GB2312, tables to Big5, both modes
to GB2312).

"One-to-many" characters are the simplified characters for which OpenCC's
character dictionary lists more than one traditional form (发, 干, 面, 里,
台 and some 230 others).

  python3 tools/measure_vocabulary.py [build/bin]

Needs: manpages-zh, opencc (apt-get install -y --no-install-recommends ...).
"""

import collections
import gettext
import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gather_corpus  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORDS = ["头发", "发现", "干涉", "面条", "里面", "台风"]


def one_to_many():
    """Simplified characters with several traditional forms in OpenCC's STCharacters."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "st.txt")
        subprocess.run(["opencc_dict", "-i", "/usr/share/opencc/STCharacters.ocd2", "-o", out,
                        "-f", "ocd2", "-t", "text"], check=True)
        with open(out, encoding="utf-8") as table:
            rows = (line.rstrip("\n").split("\t") for line in table)
            return {source for source, targets in rows if len(targets.split()) > 1}


def catalog_text(locale):
    """Every translated message of the installed programs' catalogs, one after the other."""
    messages = []
    for path in sorted(glob.glob(f"/usr/share/locale/{locale}/LC_MESSAGES/*.mo")):
        with open(path, "rb") as catalog:
            try:
                translations = gettext.GNUTranslations(catalog)
            except (OSError, UnicodeDecodeError):
                continue
        messages += [text for key, text in sorted(translations._catalog.items(), key=str) if key]
    return "\n".join(messages)


def source_text(text, codepage):
    """`text` with every character the code page cannot hold blanked, CR LF lines."""
    kept = []
    for char in text:
        try:
            char.encode(codepage)
            kept.append(char)
        except UnicodeEncodeError:
            kept.append(" ")
    return "".join(kept).replace("\r", "").replace("\n", "\r\n")


def tables(bin_dir, data, to):
    return subprocess.run([os.path.join(bin_dir, "bgconv"), "text", "--to", to], input=data,
                          capture_output=True, check=True).stdout


def concmd(bin_dir, data, switches):
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "text.txt")
        with open(path, "wb") as out:
            out.write(data)
        subprocess.run([os.path.join(bin_dir, "ConCmd", "ConCmd")] + switches + [os.path.join(work, "*.*")],
                       check=True, capture_output=True)
        with open(path, "rb") as converted:
            return converted.read()


def is_hanzi(char):
    return "\u4e00" <= char <= "\u9fff"


def measure(title, truth, middle, results, simplified_side, ambiguous):
    """truth, middle and results are decoded texts; compares them line by line."""
    tally = collections.Counter()
    word_tally = collections.Counter()
    truth_lines, middle_lines = truth.split("\r\n"), middle.split("\r\n")
    result_lines = {name: text.split("\r\n") for name, text in results.items()}
    assert len(truth_lines) == len(middle_lines)
    for index, (want, source) in enumerate(zip(truth_lines, middle_lines)):
        if len(want) != len(source):
            tally["lines skipped"] += 1
            continue
        simplified = source if simplified_side == "middle" else want
        for name, lines in result_lines.items():
            got = lines[index]
            aligned = len(got) == len(want)
            if not aligned:
                tally[name + " unaligned lines"] += 1
            for pos, char in enumerate(source):
                if not is_hanzi(char) or not is_hanzi(want[pos]):
                    continue
                right = aligned and got[pos] == want[pos]
                group = "one-to-many" if simplified[pos] in ambiguous else "others"
                tally[(name, "all")] += right
                tally[(name, group)] += right
                if name == next(iter(results)):
                    tally["all"] += 1
                    tally[group] += 1
            for word in WORDS:
                start = simplified.find(word)
                while start >= 0:
                    word_tally[(name, word, "seen")] += 1
                    word_tally[(name, word, "right")] += aligned and got[start:start + 2] == want[start:start + 2]
                    start = simplified.find(word, start + 1)
    print(f"{title}: {tally['all']} hanzi, {tally['one-to-many']} of them one-to-many"
          f" ({tally['lines skipped']} lines skipped where the tables left no character)")
    for name in results:
        figures = "  ".join(f"{group} {100.0 * tally[(name, group)] / max(tally[group], 1):.2f}%"
                            for group in ("all", "one-to-many", "others"))
        print(f"  {name:<12} right: {figures}   ({tally[name + ' unaligned lines']} lines of another length)")
    for word in WORDS:
        seen = word_tally[(next(iter(results)), word, "seen")]
        if seen:
            print(f"  {word} x{seen}: " + ", ".join(
                f"{name} {word_tally[(name, word, 'right')]}" for name in results))


def measure_both_ways(title, traditional, simplified, bin_dir, ambiguous):
    tw = source_text(traditional, "cp950")
    big5 = tw.encode("cp950")
    gb = tables(bin_dir, big5, "gb")
    results = {"vocabulary": concmd(bin_dir, gb, ["/o:big5"]).decode("cp950", "replace"),
               "tables": concmd(bin_dir, gb, ["/o:big5", "/f:d"]).decode("cp950", "replace")}
    measure(f"GB2312 -> Big5 on {title} (zh_TW, the truth) made GB2312 by the tables",
            tw, gb.decode("gbk", "replace"), results, "middle", ambiguous)

    cn = source_text(simplified, "gb2312")
    gb = cn.encode("gbk")
    big5 = tables(bin_dir, gb, "big5")
    results = {"vocabulary": concmd(bin_dir, big5, ["/o:gbk"]).decode("gbk", "replace"),
               "tables": concmd(bin_dir, big5, ["/o:gbk", "/f:d"]).decode("gbk", "replace")}
    measure(f"Big5 -> GB2312 on {title} (zh_CN, the truth) made Big5 by the tables",
            cn, big5.decode("cp950", "replace"), results, "truth", ambiguous)


def main():
    bin_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin")
    if not shutil.which("opencc_dict"):
        sys.exit("measure_vocabulary: opencc_dict is missing (apt-get install opencc)")
    ambiguous = one_to_many()
    catalogs = sorted(os.path.basename(p) for p in glob.glob("/usr/share/locale/zh_TW/LC_MESSAGES/*.mo"))
    print(f"message catalogs: {len(catalogs)} zh_TW ({', '.join(c[:-3] for c in catalogs)})")
    measure_both_ways("the message catalogs", catalog_text("zh_TW"), catalog_text("zh_CN"), bin_dir, ambiguous)
    measure_both_ways("the manual pages (made by OpenCC)", gather_corpus.text_of("zh_TW"),
                      gather_corpus.text_of("zh_CN"), bin_dir, ambiguous)


if __name__ == "__main__":
    main()
