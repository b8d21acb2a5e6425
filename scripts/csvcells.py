#!/usr/bin/env python3
"""Reads comma-separated files with Python's csv module and prints their cells.

Usage: csvcells.py SEPARATOR FILE...
Prints one JSON array with, for each file, its rows as arrays of strings. The
files are read as UTF-8 with the csv module's default dialect, the separator
aside; a file that the module cannot read ends the script with status 1.
"""
import csv
import json
import sys


def main(argv):
    if len(argv) < 3 or len(argv[1]) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    separator = argv[1]
    tables = []
    for name in argv[2:]:
        try:
            with open(name, newline="", encoding="utf-8") as f:
                tables.append(list(csv.reader(f, delimiter=separator, strict=True)))
        except (OSError, UnicodeDecodeError, csv.Error) as e:
            print(f"{name}: {e}", file=sys.stderr)
            return 1
    json.dump(tables, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
