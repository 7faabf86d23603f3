"""Makes the flat-colour test graphic of the palette comparison: logos, text and flat shapes in a
few dozen colours on plain backgrounds, with antialiased edges (drawn at four times the size and
scaled down by averaging), as a raw RGB file. The drawing is fixed, so every run makes the same
picture (with the same Pillow and DejaVu fonts).

    /usr/bin/python3 make_flat_graphic.py OUT.rgb [OUT.png]   # 1600 x 1000
"""
import sys

from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT, SCALE = 1600, 1000, 4
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size * SCALE)


def box(x0, y0, x1, y1):
    return [x0 * SCALE, y0 * SCALE, x1 * SCALE, y1 * SCALE]


def draw_logos(d):
    # A badge: rings and a star-like polygon.
    d.ellipse(box(60, 60, 360, 360), fill=(0, 84, 166))
    d.ellipse(box(90, 90, 330, 330), fill=(255, 255, 255))
    d.ellipse(box(110, 110, 310, 310), fill=(237, 28, 36))
    star = [(210, 130), (233, 190), (295, 190), (245, 228), (265, 290), (210, 252), (155, 290),
            (175, 228), (125, 190), (187, 190)]
    d.polygon([(x * SCALE, y * SCALE) for x, y in star], fill=(255, 242, 0))
    # A word mark in a rounded bar.
    d.rounded_rectangle(box(420, 80, 1000, 200), radius=40 * SCALE, fill=(34, 177, 76))
    d.text((450 * SCALE, 95 * SCALE), "Tavlo Flat", font=font("DejaVuSans-Bold.ttf", 80),
           fill=(255, 255, 255))
    # Overlapping translucent-looking discs in flat colours.
    for i, colour in enumerate([(255, 127, 39), (163, 73, 164), (0, 162, 232)]):
        d.ellipse(box(1080 + 110 * i, 70, 1300 + 110 * i, 290), fill=colour)
    d.ellipse(box(1190, 120, 1300, 230), fill=(128, 100, 150))


def draw_text(d):
    body = font("DejaVuSans.ttf", 22)
    lines = ["Palette editing for pictures that must stay small.",
             "Fewer colours without visible loss: merge near colours, drop unused ones.",
             "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz"]
    for i, line in enumerate(lines):
        d.text((60 * SCALE, (420 + 36 * i) * SCALE), line, font=body, fill=(40, 40, 40))
    d.text((60 * SCALE, 540 * SCALE), "Serif heading", font=font("DejaVuSerif-Bold.ttf", 56),
           fill=(136, 0, 21))
    d.text((60 * SCALE, 620 * SCALE), "monospace: x = y + 42;", font=font("DejaVuSansMono.ttf", 30),
           fill=(0, 84, 166))


def draw_shapes(d):
    d.rectangle(box(0, 720, WIDTH, HEIGHT), fill=(245, 240, 225))
    colours = [(237, 28, 36), (255, 201, 14), (34, 177, 76), (0, 162, 232), (63, 72, 204),
               (163, 73, 164), (185, 122, 87), (127, 127, 127)]
    for i, colour in enumerate(colours):
        x = 60 + i * 185
        d.rectangle(box(x, 760, x + 150, 830), fill=colour)
        d.ellipse(box(x + 20, 850, x + 130, 960), fill=colour, outline=(0, 0, 0), width=3 * SCALE)
    d.line([(900 * SCALE, 400 * SCALE), (1550 * SCALE, 680 * SCALE)], fill=(0, 0, 0), width=6 * SCALE)
    d.polygon([(1000 * SCALE, 660 * SCALE), (1200 * SCALE, 420 * SCALE), (1400 * SCALE, 660 * SCALE)],
              fill=(255, 174, 201), outline=(136, 0, 21))
    d.rounded_rectangle(box(1420, 380, 1560, 520), radius=30 * SCALE, fill=(153, 217, 234))


def main(argv):
    if len(argv) < 2:
        sys.exit("usage: make_flat_graphic.py OUT.rgb [OUT.png]")
    big = Image.new("RGB", (WIDTH * SCALE, HEIGHT * SCALE), (255, 255, 255))
    d = ImageDraw.Draw(big)
    draw_logos(d)
    draw_text(d)
    draw_shapes(d)
    img = big.resize((WIDTH, HEIGHT), Image.Resampling.BOX)
    with open(argv[1], "wb") as f:
        f.write(img.tobytes())
    if len(argv) > 2:
        img.save(argv[2])


if __name__ == "__main__":
    main(sys.argv)
