#!/usr/bin/env python3
"""Draws bitmap 102 of Dotpress.rc: the page picture of "Configurar página".

A white sheet with a dark frame, covered with rows of Braille cells that spell a Spanish
sentence, as a 122 x 132 pixel, 24-bit BMP. Run it from anywhere; it rewrites page.bmp beside
this file:

    python3 dotpress/resources/make_page_bitmap.py
"""
import os
import struct

WIDTH, HEIGHT = 122, 132
CELL_WIDTH, LINE_HEIGHT = 10, 14  # one cell and one line of the page, in pixels
DOT_PITCH = 4  # between the dots of a cell
DOT = 2  # a dot is a square this wide
BORDER = 5  # at least this much white inside the frame
WHITE = (255, 255, 255)
FRAME = (0, 0, 0)
INK = (40, 40, 40)

# Dots 1-6 of the letters, as the six-dot alphabet numbers them.
LETTERS = {
    "a": "1", "b": "12", "c": "14", "d": "145", "e": "15", "f": "124", "g": "1245",
    "h": "125", "i": "24", "j": "245", "k": "13", "l": "123", "m": "134", "n": "1345",
    "o": "135", "p": "1234", "q": "12345", "r": "1235", "s": "234", "t": "2345",
    "u": "136", "v": "1236", "w": "2456", "x": "1346", "y": "13456", "z": "1356",
    " ": "",
}
TEXT = ("el braille se lee con la yema de los dedos y cada celda tiene seis puntos "
        "que forman letras numeros y signos de una pagina entera ")


def dot_origin(dot):
    """Offset of dot 1-6 inside its cell: 1-3 down the left column, 4-6 down the right."""
    column = 0 if dot <= 3 else 1
    row = (dot - 1) % 3
    return column * DOT_PITCH, row * DOT_PITCH


def draw():
    pixels = [[WHITE] * WIDTH for _ in range(HEIGHT)]
    for x in range(WIDTH):
        pixels[0][x] = pixels[HEIGHT - 1][x] = FRAME
    for y in range(HEIGHT):
        pixels[y][0] = pixels[y][WIDTH - 1] = FRAME
    # As many cells as fit inside the border, the block of them centred on the sheet.
    cell_width = DOT_PITCH + DOT
    cell_height = 2 * DOT_PITCH + DOT
    columns = (WIDTH - 2 * BORDER - cell_width) // CELL_WIDTH + 1
    lines = (HEIGHT - 2 * BORDER - cell_height) // LINE_HEIGHT + 1
    margin_x = (WIDTH - (columns - 1) * CELL_WIDTH - cell_width) // 2
    margin_y = (HEIGHT - (lines - 1) * LINE_HEIGHT - cell_height) // 2
    cells = iter(TEXT * 4)
    for line in range(lines):
        for column in range(columns):
            letter = next(cells)
            left = margin_x + column * CELL_WIDTH
            top = margin_y + line * LINE_HEIGHT
            for dot in LETTERS[letter]:
                dx, dy = dot_origin(int(dot))
                for y in range(DOT):
                    for x in range(DOT):
                        pixels[top + dy + y][left + dx + x] = INK
    return pixels


def bmp(pixels):
    """A bottom-up 24-bit BMP, rows padded to four bytes."""
    row_bytes = (WIDTH * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(row_bytes - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "page.bmp")
    with open(out, "wb") as f:
        f.write(bmp(draw()))


if __name__ == "__main__":
    main()
