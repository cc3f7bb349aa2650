#!/usr/bin/python3
"""Renders the page fixtures of the command-line tests: a few lines of text
per page at 300 dpi, dark grey-level text on white, with the text itself in
NAME.txt beside each NAME.png. The tests turn, invert and cut these pages
themselves. Needs python3-pil and the fonts below; the output files are
committed, the tests do not run this."""
from PIL import Image, ImageDraw, ImageFont

PAGES = {
    # Long lines, so that a small skew moves a line's ends by a line's height.
    "prose-sans": ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12, [
        "Every morning the harbour master walks along the quay",
        "and counts the boats that came in during the night.",
        "Some carry fish, some carry timber from the north,",
        "and a few bring letters for the people of the town.",
    ]),
    "figures-sans": ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12, [
        "52906 14/08/2031 77 3.85 46.20",
        "9 21.60 80.35 6.75 318.90",
        "0061.4428.7013 902/45 2,048",
    ]),
    "caps-serif": ("/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf", 10, [
        "THE NORTH ROAD CLOSES AT DUSK",
        "BRING WATER, BREAD AND A LAMP",
        "ASK FOR HELGA BY THE OLD GATE",
    ]),
    "figures-mono": ("/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf", 12, [
        "30.5 0.25 1.0 700.08",
        "64,512 3.30 10.01 90",
        "2.045 800 0.7 16.64",
    ]),
}
DPI = 300
MARGIN = 40


def render(name, path, points, lines):
    font = ImageFont.truetype(path, round(points * DPI / 72))
    ascent, descent = font.getmetrics()
    pitch = round(1.5 * (ascent + descent))
    width = max(int(font.getlength(line)) for line in lines) + 2 * MARGIN
    height = pitch * len(lines) + 2 * MARGIN
    img = Image.new("L", (width, height), 255)
    draw = ImageDraw.Draw(img)
    for i, line in enumerate(lines):
        draw.text((MARGIN, MARGIN + i * pitch + ascent), line, font=font, fill=0, anchor="ls")
    img.save(f"{name}.png", dpi=(DPI, DPI), optimize=True)
    with open(f"{name}.txt", "w") as out:
        out.write("\n".join(lines) + "\n")


for name, (path, points, lines) in PAGES.items():
    render(name, path, points, lines)
