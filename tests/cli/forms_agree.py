#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""quillon-decode's text, --json and --csv agree field by field on a large random log.

Usage: forms_agree.py QUILLON_DECODE. The log holds frames of every kind with letters not
copied (x), invalid letters (G, a comma, a quote, an accented letter, a byte that is not
UTF-8) and lines of the wrong length. JSON is read with Python's json module and CSV with
its csv module, as a spreadsheet user's script would.
"""
import csv
import io
import json
import random
import re
import subprocess
import sys

BINARY = sys.argv[1]
# Every kind quillon-decode knows, from its help: "  hk    Tanager CW House Keeping Status, 22 letters".
KINDS = {name: (int(letters), title) for name, title, letters in re.findall(
    r"^\s+(\w+)\s+(Tanager .*), (\d+) letters$", subprocess.run([BINARY, "--help"], capture_output=True,
                                                                 text=True, check=True).stdout, re.M)}
LETTERS = [c.encode() for c in "0123456789ABCDEFabcdef"] * 6 + [b"x"] * 4 + [b"G", b",", b'"', "\u00e9".encode(), b"\xff"]
TIME = re.compile(r"(UTC|LocalTime) : \d{4}/\d\d/\d\d \d\d:\d\d:\d\d:\d{3}")


def run(args, log):
    done = subprocess.run([BINARY] + args, input=log, capture_output=True, check=False)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def check_kind(kind, frames, title):
    rnd = random.Random(kind)
    lines = [b"TNGR " + b"".join(rnd.choice(LETTERS) for _ in range(frames + rnd.choice([0] * 30 + [-1, 1])))
             for _ in range(1500)]
    log = b"\n".join(lines) + b"\n"
    text, crlf, as_json, as_csv = (run(args + [kind], log) for args in ([], ["--crlf"], ["--json"], ["--csv"]))
    refused = sum(1 for line in lines if len(line[5:].decode(errors="replace")) != frames)
    for status, _, err in (text, crlf, as_json, as_csv):
        assert status == 1 and err == text[2] and err.count("\n") == refused, (kind, status, err)
    assert TIME.sub("", crlf[1]).replace("\r\n", "\n") == TIME.sub("", text[1]), kind

    reports = text[1].split(title + "\n")[1:]
    records = [json.loads(line) for line in as_json[1].splitlines()]
    rows = list(csv.reader(io.StringIO(as_csv[1], newline="")))
    header, rows = rows[0], rows[1:]
    assert len(reports) == len(records) == len(rows) == len(lines) - refused, kind
    labels = {}
    for report, record, row in zip(reports, records, rows):
        words = [key for key, value in record.items() if isinstance(value, dict) and "fields" in value]
        blocks = [(b + ".", record[b]) for b in words] if words else [("", record)]
        data = report.split("\n")[2][len("Data = "):]
        assert record["kind"] == kind and record["data"] == data == row[2], data
        fields = [(p + k, v) for p, b in blocks for k, v in b["fields"].items()]
        missing = [p + k for p, b in blocks for k in b["notAnalyzed"]]
        assert sorted(header[3:]) == sorted([k for k, _ in fields] + missing), header
        cells = dict(zip(header, row))
        field_lines = [line for line in report.split("\n")[4:] if line]
        assert len(field_lines) == len(fields), (data, field_lines, fields)
        for (key, value), line in zip(fields, field_lines):
            shown = f"{value:.3f}" if isinstance(value, float) else str(value)
            label, _, unit = line.rpartition(shown)
            assert label and labels.setdefault(key, (label, unit)) == (label, unit), (key, line)
            cell = cells[key]
            assert cell == (repr(value) if isinstance(value, float) else str(value)), (key, cell, value)
        assert all(cells[key] == "" for key in missing), data
    return len(records)


if __name__ == "__main__":
    assert len(KINDS) >= 4, KINDS
    total = sum(check_kind(kind, n, title) for kind, (n, title) in KINDS.items())
    print(f"{total} frames agree in text, JSON and CSV")
