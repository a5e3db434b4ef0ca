#!/usr/bin/env python3
"""Prints the tables of platform/Cp932Display.cpp: the double-byte code page
932 characters that the C library's converter has a Unicode form for, and
those whose form is East Asian ambiguous width (drawn one column wide by most
terminals outside Japan, though the character takes two bytes). Run at
development time, on a glibc system:

    python3 tools/cp932_display_table.py

Codes without a Unicode form are "don't care" in the ambiguous table, so its
ranges may span them. Python's cp932 codec agrees with glibc's CP932 on every
double-byte code (checked here); the width comes from unicodedata.
"""
import codecs
import subprocess
import unicodedata

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]


def glibc_forms():
    """Each pair converted alone by iconv (one pair per line)."""
    pairs = [(l, t) for l in LEADS for t in TRAILS]
    forms = {}
    for l, t in pairs:
        out = subprocess.run(["iconv", "-f", "CP932", "-t", "UTF-8"], input=bytes([l, t]),
                             capture_output=True)
        forms[(l, t)] = out.stdout.decode("utf-8") if out.returncode == 0 else None
    return forms


def ranges(codes):
    """Merges sorted codes into (first, last) runs; `codes` maps code -> bool
    or None (don't care)."""
    out, start, last = [], None, None
    for code in sorted(codes):
        value = codes[code]
        if value is None:
            continue
        if value:
            if start is None:
                start = code
            last = code
        elif start is not None:
            out.append((start, last))
            start = None
    if start is not None:
        out.append((start, last))
    return out


def main():
    forms = glibc_forms()
    for (l, t), form in forms.items():
        try:
            mine = codecs.decode(bytes([l, t]), "cp932")
        except UnicodeDecodeError:
            mine = None
        assert mine == form, (hex(l), hex(t), form, mine)
    # Every character is wide or ambiguous: no other width needs a table.
    for form in forms.values():
        assert form is None or unicodedata.east_asian_width(form) in ("W", "F", "A"), form
    has = {l * 256 + t: f is not None for (l, t), f in forms.items()}
    ambiguous = {l * 256 + t: (None if f is None else unicodedata.east_asian_width(f) == "A")
                 for (l, t), f in forms.items()}
    for name, table in (("kUnicodeForm", ranges(has)), ("kAmbiguous", ranges(ambiguous))):
        print(f"constexpr CodeRange {name}[] = {{")
        row = [f"{{0x{a:04X}, 0x{b:04X}}}," for a, b in table]
        for i in range(0, len(row), 5):
            print("    " + " ".join(row[i:i + 5]))
        print("};")


if __name__ == "__main__":
    main()
