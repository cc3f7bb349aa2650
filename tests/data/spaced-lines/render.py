#!/usr/bin/python3
"""Renders lines set with a letter spacing of their own, as grey ASCII art
('.' paper, '#' ink, '1'..'9' grey levels 25..225) with the line's ascender,
mean, base and descender rows on the first line: with a negative spacing
neighbouring letters run into each other (the touching-character tests).
  render.py                                     every fixture below
  render.py NAME FONT SIZE SPACING TEXT [--png FILE]
FONT is a key of FONTS; SPACING is added to every advance. Needs
python3-pil and the fonts below; the output files are committed, the tests
do not run this."""
import sys
from PIL import Image, ImageChops, ImageDraw, ImageFont

FONTS = {
    "dejavu-sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "dejavu-serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "liberation-sans": "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "liberation-serif": "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
}

FIXTURES = [
    ("touching-58", "dejavu-sans", 25, -4, "58"),
    ("single-m", "dejavu-sans", 25, 0, "m"),
    # 64 letters that all touch: one component
    ("touching-run", "dejavu-sans", 25, -4, ("abcdebacedcabedaebdcbadec" * 3)[:64]),
    ("word-ab-Cde", "dejavu-sans", 25, 0, "ab Cde"),
]


def ink_rows(font, text, base):
    img = Image.new("L", (800, 4 * base), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    rows = [y for y in range(img.height) if min(img.crop((0, y, img.width, y + 1)).getdata()) < 128]
    return rows[0], rows[-1]


def render(name, font_key, size, spacing, text, png=None):
    font = ImageFont.truetype(FONTS[font_key], size)
    base = size + 4
    asc = ink_rows(font, "dhkl", base)[0]
    mean = ink_rows(font, "xzvw", base)[0]
    desc = ink_rows(font, "pqgy", base)[1]
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
        for y in range(img.height):
            row = ""
            for x in range(img.width):
                v = img.getpixel((x, y))
                row += "." if v >= 238 else "#" if v < 13 else str(max(1, min(9, round(v / 25))))
            out.write(row + "\n")


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
