#!/usr/bin/python3
"""Generates src/dicom/dictionary_table.cpp, the DICOM data dictionary table.

Tags, English names and VRs are the standard's (PS3.6, retired elements
included), read from the machine-readable copy that Debian's python3-pydicom
ships; the Japanese names come from dicom_names_ja.py.

Each record is a run of strings ended by the marker "tarven":
    tag, Japanese name, English name, VR    (most elements)
    tag, English name, Japanese name, VR    (file meta group 0002)
    tag, English name, VR                   (no Japanese name)
Items and delimiters of group FFFE carry the note "注参照" instead of a VR.
Repeating groups are written with "xx", e.g. "(60xx,3000)".

Run:  /usr/bin/python3 tools/gen_dicom_dictionary.py [output.cpp]
"""
import os
import re
import sys

import pydicom
from pydicom._dicom_dict import DicomDictionary, RepeatersDictionary

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dicom_names_ja import DROP, GLOSSARY, NAMES  # noqa: E402

MARKER = "tarven"
NOTE = "注参照"

# ---------------------------------------------------------------- Japanese names

_PREPS = {
    "in": lambda a, b: b + "内の" + a,
    "for": lambda a, b: b + "用" + a,
    "from": lambda a, b: b + "からの" + a,
    "with": lambda a, b: b + "付き" + a,
    "on": lambda a, b: b + "上の" + a,
    "by": lambda a, b: b + "による" + a,
    "at": lambda a, b: b + "での" + a,
    "to": lambda a, b: b + "までの" + a,
    "per": lambda a, b: b + "当たりの" + a,
    "and": lambda a, b: a + "及び" + b,
    "or": lambda a, b: a + "又は" + b,
    "of": lambda a, b: b + "数" if a == "番号" else b + "の" + a,
}
_LOOSEST_FIRST = ["in", "for", "from", "with", "on", "by", "at", "to", "per", "and", "or", "of"]
_PHRASES = sorted((k.split() for k in GLOSSARY if " " in k), key=len, reverse=True)


def _full_width(word):
    return "".join(chr(ord(c) + 0xFEE0) if "!" <= c <= "~" else c for c in word)


def _word(word):
    if word in GLOSSARY:
        return GLOSSARY[word]
    if word.lower() in DROP:
        return ""
    if re.fullmatch(r"[A-Z0-9]+", word):
        return _full_width(word)
    if word.endswith("'s") and word[:-2] in GLOSSARY:
        return GLOSSARY[word[:-2]] + "の"
    if "-" in word:
        parts = [_word(p) for p in word.split("-") if p]
        if parts and all(p is not None for p in parts):
            return "".join(parts)
    return None


def _units(words):
    """Words -> units (english, japanese); glossary phrases are one unit."""
    out, i = [], 0
    while i < len(words):
        for phrase in _PHRASES:
            if words[i:i + len(phrase)] == phrase:
                out.append((" ".join(phrase), GLOSSARY[" ".join(phrase)]))
                i += len(phrase)
                break
        else:
            w = words[i]
            out.append((w, None if w.lower() in _PREPS else _word(w)))
            i += 1
    return out


def _render(units):
    if not units:
        return None
    for prep in _LOOSEST_FIRST:
        idx = [k for k, u in enumerate(units) if u[1] is None and u[0].lower() == prep]
        if idx:
            k = idx[-1]
            a, b = _render(units[:k]), _render(units[k + 1:])
            if a is None or b is None:
                return None
            return _PREPS[prep](a, b)
    parts = [u[1] for u in units]
    if any(p is None for p in parts):
        return None
    return "".join(parts) or None


def japanese_name(group, element, english):
    if group is not None and (group, element) in NAMES:
        return NAMES[(group, element)]
    # "Physician(s)", "Time(s)": the plural mark has no Japanese counterpart.
    text = english.replace("(s)", "")
    text = text.replace("(", " ( ").replace(")", " ) ").replace("/", " / ").replace(",", " ")
    words = text.split()
    # Parentheses and slashes separate phrases; render each piece alone.
    pieces, current = [], []
    for w in words:
        if w in ("(", ")", "/"):
            pieces.append(current)
            pieces.append({"(": "（", ")": "）", "/": "／"}[w])
            current = []
        else:
            current.append(w)
    pieces.append(current)
    out = []
    for p in pieces:
        if isinstance(p, str):
            out.append(p)
        elif p:
            r = _render(_units(p))
            if r is None:
                return None
            out.append(r)
    return "".join(out) or None


# ---------------------------------------------------------------- records

def tag_text(key):
    """'00280010' -> '(0028,0010)'; repeaters keep their x's lower case."""
    k = key.upper().replace("X", "x")
    return "(" + k[:4] + "," + k[4:] + ")"


def vr_field(vr):
    if vr == "NONE":
        return NOTE
    # Pixel data and its kin are written "OW or OB", as the old table had them.
    if vr == "OB or OW":
        return "OW or OB"
    return vr


def records():
    entries = []
    for tag, (vr, _vm, name, _retired, _kw) in DicomDictionary.items():
        entries.append((f"{tag:08X}", vr, name, tag >> 16, tag & 0xFFFF))
    for key, (vr, _vm, name, _retired, _kw) in RepeatersDictionary.items():
        entries.append((key, vr, name, None, None))
    entries.sort(key=lambda e: e[0].upper().replace("X", "0"))
    out = []
    for key, vr, name, g, e in entries:
        # Three retired elements have lost their names in the standard.
        name = name or "Retired"
        ja = japanese_name(g, e, name)
        fields = [tag_text(key)]
        if ja is None:
            fields += [name]
        elif g == 0x0002:
            fields += [name, ja]
        else:
            fields += [ja, name]
        fields.append(vr_field(vr))
        out.append((key, vr, fields))
    return out


# ---------------------------------------------------------------- checks

def vr_rule(name_bytes):
    """The VR found in a name: the last two-byte word between blanks."""
    best = None
    for i in range(len(name_bytes) - 3):
        if (name_bytes[i] == 32 and name_bytes[i + 3] == 32 and name_bytes[i + 1] > 32
                and name_bytes[i + 2] > 32):
            best = i
    if best is None:
        return b""
    vr = name_bytes[best + 1:best + 3]
    return b"SQ2" if vr == b"SQ" else vr


def check(recs):
    seen = set()
    for key, vr, fields in recs:
        assert key not in seen, key
        seen.add(key)
        for f in fields:
            assert f and "\r" not in f and f != MARKER, (key, f)
            f.encode("cp932")  # every name must exist in the Shift-JIS code page
        name = " ".join(fields[1:]) + " "
        expected = b"" if vr == "NONE" else vr_field(vr).split()[-1].encode()
        if expected == b"SQ":
            expected = b"SQ2"
        for enc in ("utf-8", "cp932"):
            got = vr_rule(name.encode(enc))
            assert got == expected, (key, enc, got, expected)


# ---------------------------------------------------------------- output

def c_string(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "dicom", "dictionary_table.cpp")
    recs = records()
    check(recs)
    with_ja = sum(1 for _k, _v, f in recs if len(f) == 4)
    lines = [
        "// GENERATED FILE - do not edit.",
        f"// Made by tools/gen_dicom_dictionary.py from the data dictionary of pydicom {pydicom.__version__}",
        f"// ({len(recs)} records, {with_ja} with a Japanese name). Each record is a run of strings",
        '// ended by the marker "tarven".',
        '#include "dicom/dictionary.h"',
        "",
        "namespace tarven::dicom {",
        "namespace {",
        "const char* const table[] = {",
    ]
    for _key, _vr, fields in recs:
        lines.append("    " + ", ".join(c_string(f) for f in fields + [MARKER]) + ",")
    lines += [
        "};",
        "} // namespace",
        "",
        "const std::span<const char* const> dictionaryTable{table};",
        "",
        "} // namespace tarven::dicom",
        "",
    ]
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))
    print(f"{target}: {len(recs)} records, {with_ja} with a Japanese name")


if __name__ == "__main__":
    main()
