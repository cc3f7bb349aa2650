#!/usr/bin/python3
"""Renders the digit fixtures: one line "0123456789" per font and size as
grey ASCII art ('.' paper, '#' ink, '1'..'9' grey levels 25..225), with the
line's ascender, mean, base and descender rows on the first line.
Needs python3-pil and ../art_lines.py; the output files are committed, the
tests do not run this."""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from art_lines import line_guides, write_art  # noqa: E402

FONTS = {
    "sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "roman": "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf",
    "mono": "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf",
}

def render(name, path, size):
    font = ImageFont.truetype(path, size)
    asc, mean, base, desc = line_guides(font, size)
    text = "0 1 2 3 4 5 6 7 8 9"
    img = Image.new("L", (int(font.getlength(text)) + 8, desc + 4), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    with open(f"{name}-{size}.txt", "w") as out:
        out.write(f"{asc} {mean} {base} {desc}\n")
        write_art(out, img)

for name, path in FONTS.items():
    for size in (16, 24, 36):
        render(name, path, size)
