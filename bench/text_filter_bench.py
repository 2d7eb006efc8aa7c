#!/usr/bin/env python3
"""`bgconv text` as a whole process against iconv, both directions.

    bench/text_filter_bench.py [--bgconv build/bin/bgconv] [--mb 30] [--runs 5]

Writes a Chinese-heavy Delphi-like text of about 30 MB (string literals and
comments in Chinese between ASCII code, CR LF lines) in Big5 and in GB2312,
then times `bgconv text --to gb|big5 FILE > out` and
`iconv -c -f BIG5 -t GB2312 FILE > out` (and the other way) alternately in
the same run.  Prints each median wall time, the ratio iconv / bgconv
(above 1: bgconv is faster) and each program's peak memory (maximum resident
set, by GNU time).  The numbers are noisy while other processes use the processors.
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time


def common_characters():
    """Chinese characters that both GB2312 and Big5 encode."""
    chars = []
    for code in range(0x4E00, 0x9FA6):
        ch = chr(code)
        try:
            ch.encode("gb2312")
            ch.encode("big5")
        except UnicodeEncodeError:
            continue
        chars.append(ch)
    return chars


def make_text(megabytes):
    rng = random.Random(16)
    chars = common_characters()
    lines = []
    size = 0
    while size < megabytes << 20:
        words = "".join(rng.choice(chars) for _ in range(rng.randint(8, 40)))
        kind = rng.randrange(3)
        if kind == 0:
            line = f"  Label{size % 997}.Caption := '{words}';"
        elif kind == 1:
            line = f"  // {words}"
        else:
            line = f"  ShowMessage('{words[:len(words) // 2]}' + IntToStr(i) + '{words[len(words) // 2:]}');"
        lines.append(line)
        size += len(line.encode("gb2312")) + 2
    return "\r\n".join(lines) + "\r\n"


def input_paths(folder):
    return {"big5": os.path.join(folder, "in.big5"), "gb": os.path.join(folder, "in.gb")}


def write_inputs(text, inputs):
    with open(inputs["big5"], "wb") as f:
        f.write(text.encode("big5"))
    with open(inputs["gb"], "wb") as f:
        f.write(text.encode("gb2312"))


def timed(command, stdout_path):
    with open(stdout_path, "wb") as out:
        start = time.perf_counter()
        subprocess.run(command, stdout=out, check=True)
        return time.perf_counter() - start


def peak_kib(command, stdout_path):
    """The most memory `command` held at once, as GNU time reports it: a child
    started from this process would count this process's memory too."""
    report = stdout_path + ".peak"
    with open(stdout_path, "wb") as out:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + command, stdout=out, check=True)
    with open(report) as f:
        return int(f.read().split()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bgconv", default="build/bin/bgconv")
    parser.add_argument("--mb", type=int, default=30)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--make-into", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.make_into:
        write_inputs(make_text(args.mb), input_paths(args.make_into))
        return
    with tempfile.TemporaryDirectory() as folder:
        # In a process of its own, so that this one stays small.
        subprocess.run([sys.executable, __file__, "--make-into", folder, "--mb", str(args.mb)], check=True)
        inputs = input_paths(folder)
        out = os.path.join(folder, "out")
        cases = [("Big5 -> GB2312", inputs["big5"], "gb", "BIG5", "GB2312"),
                 ("GB2312 -> Big5", inputs["gb"], "big5", "GB2312", "BIG5")]
        print(f"input: {os.path.getsize(inputs['big5']) / 1e6:.1f} MB, median of {args.runs} runs")
        for name, path, to, source, target in cases:
            our_command = [args.bgconv, "text", "--to", to, path]
            their_command = ["iconv", "-c", "-f", source, "-t", target, path]
            ours, theirs = [], []
            for _ in range(args.runs):
                ours.append(timed(our_command, out))
                theirs.append(timed(their_command, out))
            a, b = statistics.median(ours), statistics.median(theirs)
            our_peak, their_peak = peak_kib(our_command, out), peak_kib(their_command, out)
            print(f"{name}: bgconv text {a * 1000:7.1f} ms ({our_peak / 1024:.1f} MB peak)   "
                  f"iconv {b * 1000:7.1f} ms ({their_peak / 1024:.1f} MB peak)   iconv / bgconv {b / a:.2f}x")


if __name__ == "__main__":
    main()
