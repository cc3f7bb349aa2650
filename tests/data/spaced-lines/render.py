#!/usr/bin/python3
"""Renders lines set with a letter spacing of their own, as grey ASCII art
('.' paper, '#' ink, '1'..'9' grey levels 25..225) with the line's ascender,
mean, base and descender rows on the first line: with a negative spacing
neighbouring letters run into each other (the touching-character tests).
  render.py                                     every fixture below
  render.py NAME FONT SIZE SPACING TEXT [--png FILE]
FONT is a key of FONTS in ../art_lines.py; SPACING is added to every
advance. Needs python3-pil, ../art_lines.py and the fonts it names; the output
files are committed, the tests do not run this."""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from art_lines import FONTS, line_guides, write_art  # noqa: E402

FIXTURES = [
    ("touching-58", "dejavu-sans", 25, -4, "58"),
    ("single-m", "dejavu-sans", 25, 0, "m"),
    # 64 letters that all touch: one component
    ("touching-run", "dejavu-sans", 25, -4, ("abcdebacedcabedaebdcbadec" * 3)[:64]),
    ("word-ab-Cde", "dejavu-sans", 25, 0, "ab Cde"),
]


def render(name, font_key, size, spacing, text, png=None):
    font = ImageFont.truetype(FONTS[font_key], size)
    asc, mean, base, desc = line_guides(font, size)
    width = int(sum(font.getlength(ch) + spacing for ch in text)) + 16
    # Each letter is drawn on its own layer and the layers are combined by
    # their darkest value, so that overlapping letters stay solid ink.
    img = Image.new("L", (width, desc + 6), 255)
    x = 8.0
    for ch in text:
        layer = Image.new("L", img.size, 255)
        ImageDraw.Draw(layer).text((x, base), ch, font=font, fill=0, anchor="ls")
        img = ImageChops.darker(img, layer)
        x += font.getlength(ch) + spacing
    if png:
        img.save(png)
    with open(f"{name}.txt", "w") as out:
        out.write(f"{asc} {mean} {base} {desc}\n")
        write_art(out, img)


if __name__ == "__main__":
    args = sys.argv[1:]
    if not args:
        for fixture in FIXTURES:
            render(*fixture)
        sys.exit(0)
    png = None
    if "--png" in args:
        i = args.index("--png")
        png = args[i + 1]
        del args[i:i + 2]
    name, font_key, size, spacing, text = args
    render(name, font_key, int(size), float(spacing), text, png)
