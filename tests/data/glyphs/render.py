#!/usr/bin/python3
"""Renders the glyph fixtures of the letter and sign tests: for each font and
size one line per character set ("upper", "lower", "signs", the characters
one space apart; "date", a date as it is printed), as grey ASCII art ('.'
paper, '#' ink, '1'..'9' grey levels 25..225), with the line's ascender,
mean, base and descender rows on the first line and the column range of each
character's advance on the second.
Size 50 is 12 pt at 300 dpi, as on scanned pages; size 25 is the
same text at half the resolution.
Needs python3-pil, ../art_lines.py and the fonts it names; the output files
are committed, the tests do not run this."""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from art_lines import FONTS, line_guides, write_art  # noqa: E402

SETS = {
    "upper": "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z",
    "lower": "a b c d e f g h i j k l m n o p q r s t u v w x y z",
    "signs": "( ) [ ] { } < > / \\ \u00df + $ & ? ! * @ \u00a7 # \u20ac %",
    "date": "03/11/2026",
}
SIZES = (25, 50)


def render(name, path, size, set_name, text):
    font = ImageFont.truetype(path, size)
    asc, mean, base, desc = line_guides(font, size)
    img = Image.new("L", (int(font.getlength(text)) + 8, desc + 6), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    # The advance range of each character, so that tests can find its record.
    cols = []
    for i, ch in enumerate(text):
        if ch != " ":
            x0 = 4 + int(font.getlength(text[:i]))
            cols.append(f"{x0} {4 + int(font.getlength(text[:i + 1])) - 1}")
    with open(f"{name}-{size}-{set_name}.txt", "w") as out:
        out.write(f"{asc} {mean} {base} {desc}\n")
        out.write("columns " + " ".join(cols) + "\n")
        write_art(out, img)


for name, path in FONTS.items():
    for size in SIZES:
        for set_name, text in SETS.items():
            render(name, path, size, set_name, text)
