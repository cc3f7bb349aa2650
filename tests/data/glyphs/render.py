#!/usr/bin/python3
"""Renders the glyph fixtures of the letter and sign tests: for each font and
size one line per character set ("upper", "lower", "signs", the characters
one space apart; "date", a date as it is printed), as grey ASCII art ('.'
paper, '#' ink, '1'..'9' grey levels 25..225), with the line's ascender,
mean, base and descender rows on the first line and the column range of each
character's advance on the second.
Size 50 is 12 pt at 300 dpi, as on scanned pages; size 25 is the
same text at half the resolution.
Needs python3-pil and the fonts below; the output files are committed, the
tests do not run this."""
from PIL import Image, ImageDraw, ImageFont

FONTS = {
    "dejavu-sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "dejavu-serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "freeserif": "/usr/share/fonts/truetype/freefont/FreeSerif.ttf",
    "liberation-mono": "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
    "liberation-sans": "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "liberation-serif": "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
}
SETS = {
    "upper": "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z",
    "lower": "a b c d e f g h i j k l m n o p q r s t u v w x y z",
    "signs": "( ) [ ] { } < > / \\ \u00df + $ & ? ! * @ \u00a7 # \u20ac %",
    "date": "03/11/2026",
}
SIZES = (25, 50)


def ink_rows(font, text, base):
    img = Image.new("L", (800, 4 * base), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    rows = [y for y in range(img.height) if min(img.crop((0, y, img.width, y + 1)).getdata()) < 128]
    return rows[0], rows[-1]


def render(name, path, size, set_name, text):
    font = ImageFont.truetype(path, size)
    base = size + 4
    asc = ink_rows(font, "dhkl", base)[0]
    mean = ink_rows(font, "xzvw", base)[0]
    desc = ink_rows(font, "pqgy", base)[1]
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
        for y in range(img.height):
            row = ""
            for x in range(img.width):
                v = img.getpixel((x, y))
                row += "." if v >= 238 else "#" if v < 13 else str(max(1, min(9, round(v / 25))))
            out.write(row + "\n")


for name, path in FONTS.items():
    for size in SIZES:
        for set_name, text in SETS.items():
            render(name, path, size, set_name, text)
