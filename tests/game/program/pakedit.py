#!/usr/bin/env python3
"""Copies the game's pak with planned changes, for the program tests.

  pakedit.py SRC DST [--drop-roots a,b] [--add-text FILE] [--cut-template-at TEXT]
                     [--garble MEMBER] [--remove MEMBER]

--drop-roots      the root records of those names leave ui_main.txt (a record runs from its
                  first line, at the line's start, to the next "end" at a line's start)
--add-text        the file's text is appended to ui_main.txt
--cut-template-at ui_main.txt ends just before the first line that starts with TEXT
--garble          the member's bytes become bytes no reader takes
--remove          the member is left out
"""
import argparse
import zipfile

TEMPLATE = "ui\\ui_iphone\\ui_main.txt"


def drop_roots(text, names):
    out, skipping = [], False
    for line in text.splitlines(keepends=True):
        if not skipping and any(line.startswith('root = "%s"' % n) for n in names):
            skipping = True
        elif skipping and line.rstrip("\r\n") == "end":
            skipping = False
            continue
        if not skipping:
            out.append(line)
    return "".join(out)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("src")
    p.add_argument("dst")
    p.add_argument("--drop-roots", default="")
    p.add_argument("--add-text")
    p.add_argument("--cut-template-at")
    p.add_argument("--garble", action="append", default=[])
    p.add_argument("--remove", action="append", default=[])
    a = p.parse_args()
    src = zipfile.ZipFile(a.src)
    with zipfile.ZipFile(a.dst, "w") as dst:
        for info in src.infolist():
            if info.filename in a.remove:
                continue
            data = src.read(info)
            if info.filename in a.garble:
                data = b"\x89PNG\r\n\x1a\n this is no picture " * 4
            if info.filename == TEMPLATE:
                text = data.decode("latin-1")
                if a.drop_roots:
                    text = drop_roots(text, a.drop_roots.split(","))
                if a.cut_template_at:
                    lines = text.splitlines(keepends=True)
                    cut = next(i for i, l in enumerate(lines) if l.startswith(a.cut_template_at))
                    text = "".join(lines[:cut])
                if a.add_text:
                    text += open(a.add_text, encoding="latin-1").read()
                data = text.encode("latin-1")
            dst.writestr(info, data)


if __name__ == "__main__":
    main()
