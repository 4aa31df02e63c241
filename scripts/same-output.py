#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Two quillon-decode builds print the same bytes for the same random frames.

Usage: same-output.py OLD_BINARY NEW_BINARY [FRAMES_PER_KIND]

For every kind the old binary knows, a seeded log of random frames (letters not copied, invalid
letters, bytes that are not UTF-8, wrong lengths) is decoded by both builds as text, --crlf,
--json and --csv; the outputs must agree byte for byte once the times are masked. A refactoring
that keeps every report, record and row passes.
"""
import random
import re
import subprocess
import sys

TIMES = [re.compile(rb"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d:\d{3}"),
         re.compile(rb"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d(:\d\d)?)")]
LETTERS = [c.encode() for c in "0123456789ABCDEFabcdef"] * 6 + [b"x"] * 6 + \
    [b"G", b"X", b" ", b",", b'"', "\u00e9".encode(), b"\xff", b"\t", "e\u0301".encode()]
KIND = re.compile(r"^\s+(\w+)\s+Tanager .*, (\d+) letters", re.M)


def masked(data):
    for pattern in TIMES:
        data = pattern.sub(b"<time>", data)
    return data


def run(binary, args, log):
    done = subprocess.run([binary] + args, input=log, capture_output=True, check=False)
    return done.returncode, masked(done.stdout), done.stderr


def main():
    old, new = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 20000
    kinds = KIND.findall(subprocess.run([old, "--help"], capture_output=True, text=True).stdout)
    assert kinds, "no kinds in the old binary's help"
    total = 0
    for name, letters in kinds:
        rnd = random.Random(name)
        lines = []
        for _ in range(count):
            n = int(letters) + rnd.choice([0] * 40 + [-1, 1])
            lines.append(rnd.choice([b"", b"TNGR ", b"  "]) + b"".join(rnd.choice(LETTERS) for _ in range(n)))
        log = b"\n".join(lines) + b"\n"
        for form in ([], ["--crlf"], ["--json"], ["--csv"]):
            a, b = run(old, form + [name], log), run(new, form + [name], log)
            assert a == b, f"{name} {form}: outputs differ"
        total += count
    print(f"{total} frames: the same reports, records and rows in every form")


if __name__ == "__main__":
    main()
