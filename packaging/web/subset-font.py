#!/usr/bin/env python3
"""The Japanese Gothic face that travels with the web build: the glyphs of exactly the characters
that the program's own texts use, cut from IPA Pゴシック and renamed, as its licence asks of a
derived font. Fails when the face lacks a character, so that a new caption never shows tofu.

    subset-font.py FONT OUT.ttf CHARACTERS.txt SOURCE...
"""
import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Perumora Gothic"
POSTSCRIPT = "PerumoraGothic"

# A C++ string or character literal, with its escapes; comments are taken out first.
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
COMMENT = re.compile(r'//[^\n]*|/\*.*?\*/', re.S)


def program_texts(paths):
    """Every character inside a string literal of the given sources."""
    characters = set()
    for path in paths:
        with open(path, encoding="utf-8") as source:
            code = COMMENT.sub("", source.read())
        for literal in LITERAL.findall(code):
            characters.update(re.sub(r"\\.", "", literal))
    # Printable ASCII whatever the sources say: numbers of the read-outs, Qt's own mnemonics.
    characters.update(chr(c) for c in range(0x20, 0x7F))
    return sorted(c for c in characters if c >= " ")


def rename(font):
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 16):
            record.string = FAMILY
        elif record.nameID == 4:
            record.string = FAMILY
        elif record.nameID in (3, 6):
            record.string = POSTSCRIPT
        elif record.nameID in (17,):
            record.string = "Regular"
    if "CFF " in font:
        font["CFF "].cff.fontNames = [POSTSCRIPT]


def main():
    font_path, out_path, characters_path, *sources = sys.argv[1:]
    wanted = program_texts(sources)
    face = TTFont(font_path)
    cmap = face.getBestCmap()
    missing = [c for c in wanted if ord(c) not in cmap]
    if missing:
        listed = " ".join(f"{c} (U+{ord(c):04X})" for c in missing)
        sys.exit(f"perumora: the Japanese face {font_path} has no glyph for: {listed}")
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = ["*"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in wanted])
    subsetter.subset(face)
    rename(face)
    face.save(out_path)
    with open(characters_path, "w", encoding="utf-8") as listing:
        listing.write("".join(wanted) + "\n")


if __name__ == "__main__":
    main()
