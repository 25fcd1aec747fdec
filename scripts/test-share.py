#!/usr/bin/env python3
"""Tests' share of the code: non-blank, non-comment lines of .cpp/.h files in
tests/ over those in app/, core/, platform/ and tests/.

Usage: scripts/test-share.py [FOLDER...]   (each FOLDER also prints its own count)
"""
import os
import sys


def code_lines(path):
    count, in_block = 0, False
    for line in open(path, errors="replace"):
        s = line.strip()
        if in_block:
            in_block = "*/" not in s
            continue
        if not s or s.startswith("//"):
            continue
        if s.startswith("/*"):
            in_block = "*/" not in s
            continue
        count += 1
    return count


def tree(root):
    return sum(code_lines(os.path.join(d, f))
               for d, _, files in os.walk(root)
               for f in files if f.endswith((".cpp", ".h")))


os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
counts = {root: tree(root) for root in ("app", "core", "platform", "tests")}
tests, total = counts["tests"], sum(counts.values())
print(f"tests {tests} of {total} code lines = {100 * tests / total:.1f} % "
      f"(35 % allows {int(0.35 / 0.65 * (total - tests))})")
for folder in sys.argv[1:]:
    print(folder, tree(folder))
