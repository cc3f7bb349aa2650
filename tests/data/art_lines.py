"""What the fixture renderers share: the fonts of the letter and sign lines,
the guide rows of a font at a size, and a rendered line written as grey ASCII
art ('.' paper, '#' ink, '1'..'9' grey levels 25..225). Needs python3-pil."""
from PIL import Image, ImageDraw

# The fonts of the letter and sign lines, by the names the fixtures carry.
FONTS = {
    "dejavu-sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "dejavu-serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "freeserif": "/usr/share/fonts/truetype/freefont/FreeSerif.ttf",
    "liberation-mono": "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
    "liberation-sans": "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "liberation-serif": "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
}


def ink_rows(font, text, base):
    """The first and last rows with ink of `text` set on the baseline `base`."""
    img = Image.new("L", (800, 4 * base), 255)
    ImageDraw.Draw(img).text((4, base), text, font=font, fill=0, anchor="ls")
    rows = [y for y in range(img.height) if min(img.crop((0, y, img.width, y + 1)).getdata()) < 128]
    return rows[0], rows[-1]


def line_guides(font, size):
    """The ascender, mean, base and descender rows of a line of `font` at
    `size` pixels, its baseline at row size + 4."""
    base = size + 4
    asc = ink_rows(font, "dhkl", base)[0]
    mean = ink_rows(font, "xzvw", base)[0]
    desc = ink_rows(font, "pqgy", base)[1]
    return asc, mean, base, desc


def write_art(out, img):
    """Writes the rows of the grey image `img` as ASCII art, one a line."""
    for y in range(img.height):
        row = ""
        for x in range(img.width):
            v = img.getpixel((x, y))
            row += "." if v >= 238 else "#" if v < 13 else str(max(1, min(9, round(v / 25))))
        out.write(row + "\n")
