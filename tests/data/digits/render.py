#!/usr/bin/python3
"""Renders the digit fixtures: one line "0123456789" per font and size as
grey ASCII art ('.' paper, '#' ink, '1'..'9' grey levels 25..225), with the
line's ascender, mean, base and descender rows on the first line.
Needs python3-pil; the output files are committed, the tests do not run this."""
import sys
from PIL import Image, ImageDraw, ImageFont

FONTS = {
    "sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "roman": "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf",
    "mono": "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf",
}

def ink_rows(font, text, base):
    img = Image.new("L", (400, 4 * base), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    rows = [y for y in range(img.height) if min(img.crop((0, y, img.width, y + 1)).getdata()) < 128]
    return rows[0], rows[-1]

def render(name, path, size):
    font = ImageFont.truetype(path, size)
    base = size + 4
    asc = ink_rows(font, "dhkl", base)[0]
    mean = ink_rows(font, "xzvw", base)[0]
    desc = ink_rows(font, "pqgy", base)[1]
    text = "0 1 2 3 4 5 6 7 8 9"
    img = Image.new("L", (int(font.getlength(text)) + 8, desc + 4), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    with open(f"{name}-{size}.txt", "w") as out:
        out.write(f"{asc} {mean} {base} {desc}\n")
        for y in range(img.height):
            row = ""
            for x in range(img.width):
                v = img.getpixel((x, y))
                row += "." if v >= 238 else "#" if v < 13 else str(max(1, min(9, round(v / 25))))
            out.write(row + "\n")

for name, path in FONTS.items():
    for size in (16, 24, 36):
        render(name, path, size)
