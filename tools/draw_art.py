#!/usr/bin/env python3
"""Draws the window art of Pellorin as XPM source: the window icon, the three pictures of the
QUIT button and the splash picture. Everything is drawn on the pixel grid with a few flat
colours, so it stays sharp when a display enlarges it by whole pixels.

Usage: tools/draw_art.py [OUTPUT_DIR]   (default: res/art next to this script)
"""
import os
import sys

# Letters, one string per row; '#' is ink. Rows are aligned on a shared baseline by `drop`.
QUIT_FONT = {
    "Q": ["..######..",
          ".########.",
          "###....###",
          "##......##",
          "##......##",
          "##......##",
          "##......##",
          "##......##",
          "##...##.##",
          "###...####",
          ".#########",
          "..######.#"],
    "U": ["##......##"] * 9 + ["###....###", ".########.", "..######.."],
    "I": ["######", "######"] + ["..##.."] * 8 + ["######", "######"],
    "T": ["##########", "##########"] + ["....##...."] * 10,
}

# Lower-case letters sit on the x-height (8 rows); ascenders rise 4 rows above it and the
# descender of g falls 3 rows below the baseline.
SPLASH_FONT = {
    "H": (["##.....##"] * 5 + ["#########", "#########"] + ["##.....##"] * 5, 0),
    "o": ([".#####.", "##...##", "##...##", "##...##", "##...##", "##...##", "##...##",
           ".#####."], 4),
    "l": (["##"] * 12, 0),
    "m": (["##.###.###..", "###..###..##"] + ["##...##...##"] * 6, 4),
    "s": ([".#####", "##....", "##....", ".####.", "....##", "....##", "....##", "#####."], 4),
    "g": ([".######", "##...##", "##...##", "##...##", "##...##", "##...##", ".######",
           ".....##", ".....##", "##...##", ".#####."], 4),
    "a": ([".#####.", ".....##", ".######", "##...##", "##...##", "##...##", "##..###",
           ".###.##"], 4),
    "r": (["##.###", "####..", "##....", "##....", "##....", "##....", "##....", "##...."], 4),
    "d": ([".....##"] * 4 + [".######", "##...##", "##...##", "##...##", "##...##", "##...##",
                             "##..###", ".###.##"], 0),
}


def check_fonts():
    for font in (QUIT_FONT, {k: v[0] for k, v in SPLASH_FONT.items()}):
        for letter, rows in font.items():
            assert len({len(r) for r in rows}) == 1, "ragged glyph " + letter


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def hline(self, x0, x1, y, colour):
        self.rect(x0, y, x1, y, colour)

    def vline(self, x, y0, y1, colour):
        self.rect(x, y0, x, y1, colour)

    def glyph(self, rows, x, y, colour):
        for dy, row in enumerate(rows):
            for dx, cell in enumerate(row):
                if cell == "#":
                    self.put(x + dx, y + dy, colour)

    def xpm(self, name, palette):
        """XPM source for the canvas; palette maps one-letter keys to colours."""
        used = sorted({c for row in self.pixels for c in row})
        lines = ["/* XPM */", "static const char* const %s[] = {" % name,
                 '    "%d %d %d 1",' % (self.width, self.height, len(used))]
        lines += ['    "%s c %s",' % (key, palette[key]) for key in used]
        lines += ['    "%s",' % "".join(row) for row in self.pixels]
        lines[-1] = lines[-1].rstrip(",")
        lines.append("};")
        return "\n".join(lines) + "\n"


def text_width(font, text, gap):
    return sum(len(font[c][0]) for c in text) + gap * (len(text) - 1)


# Shared palette of the button pictures: the classic raised look.
BUTTON = {"k": "#000000", "d": "#808080", "f": "#C0C0C0", "w": "#FFFFFF", "r": "#A00000"}


def quit_button(state):
    """state: 'up', 'down' (pressed) or 'focus' (keyboard focus shown)."""
    c = Canvas(66, 39, "f")
    right, bottom = c.width - 1, c.height - 1
    c.hline(0, right, 0, "k"), c.hline(0, right, bottom, "k")
    c.vline(0, 0, bottom, "k"), c.vline(right, 0, bottom, "k")
    if state == "down":
        # Sunken: the shadow runs along the top and left, the face moves down and right.
        c.hline(1, right - 1, 1, "d"), c.vline(1, 1, bottom - 1, "d")
        shift = 1
    else:
        c.hline(1, right - 2, 1, "w"), c.vline(1, 1, bottom - 2, "w")
        c.hline(1, right - 1, bottom - 1, "k"), c.vline(right - 1, 1, bottom - 1, "k")
        c.hline(2, right - 2, bottom - 2, "d"), c.vline(right - 2, 2, bottom - 2, "d")
        shift = 0
    gap = 3
    width = text_width(QUIT_FONT, "QUIT", gap)
    x = (c.width - width) // 2 + shift
    y = (c.height - 12) // 2 + shift
    for letter in "QUIT":
        c.glyph(QUIT_FONT[letter], x, y, "r")
        x += len(QUIT_FONT[letter][0]) + gap
    if state == "focus":
        # A dotted focus mark inside the raised edge.
        for px in range(6, right - 5, 2):
            c.put(px, 6, "k"), c.put(px, bottom - 6, "k")
        for py in range(6, bottom - 5, 2):
            c.put(6, py, "k"), c.put(right - 6, py, "k")
    return c.xpm({"up": "quit_u_xpm", "down": "quit_d_xpm", "focus": "quit_f_xpm"}[state], BUTTON)


def splash():
    palette = {"g": "#C0C0C0", "p": "#800080", "s": "#D8B8D8"}
    c = Canvas(74, 23, "g")
    gap = 1
    width = sum(len(SPLASH_FONT[ch][0][0]) for ch in "Holmsgard") + gap * 8
    x = (c.width - width) // 2
    top = (c.height - 15) // 2
    for ch in "Holmsgard":
        rows, drop = SPLASH_FONT[ch]
        # A light shadow below and right of each stroke lifts the letters off the grey.
        c.glyph(rows, x + 1, top + drop + 1, "s")
        x += len(rows[0]) + gap
    x = (c.width - width) // 2
    for ch in "Holmsgard":
        rows, drop = SPLASH_FONT[ch]
        c.glyph(rows, x, top + drop, "p")
        x += len(rows[0]) + gap
    return c.xpm("splash_137_xpm", palette)


def icon():
    """A monitor showing a list of stations, with the list's header and a highlighted row."""
    palette = {".": "None", "k": "#000000", "d": "#808080", "f": "#C0C0C0", "w": "#FFFFFF",
               "n": "#000080", "b": "#4060C0", "g": "#00C000", "y": "#FFFF00", "c": "#00C0C0"}
    c = Canvas(32, 32, ".")
    # Cabinet with a raised edge.
    c.rect(1, 2, 30, 24, "f")
    c.hline(1, 30, 2, "w"), c.vline(1, 2, 24, "w")
    c.hline(1, 30, 24, "d"), c.vline(30, 2, 24, "d")
    c.hline(0, 31, 1, "k"), c.hline(0, 31, 25, "k"), c.vline(0, 1, 25, "k"), c.vline(31, 1, 25, "k")
    # Screen.
    c.rect(4, 5, 27, 21, "n")
    c.hline(4, 27, 4, "d"), c.vline(3, 4, 21, "d")
    c.hline(3, 28, 22, "w"), c.vline(28, 4, 22, "w")
    # The list: a header bar and rows of cells.
    c.rect(5, 6, 26, 7, "c")
    for col in (10, 18):
        c.vline(col, 6, 7, "n")
    for i, y in enumerate((9, 12, 15, 18)):
        ink = "y" if i == 1 else "g"
        c.hline(6, 8, y, ink), c.hline(11, 16, y, ink), c.hline(19, 24, y, ink)
    c.rect(5, 11, 26, 13, "b")
    c.hline(6, 8, 12, "w"), c.hline(11, 16, 12, "w"), c.hline(19, 24, 12, "w")
    # Stand and foot.
    c.rect(13, 26, 18, 27, "d"), c.vline(12, 26, 27, "k"), c.vline(19, 26, 27, "k")
    c.rect(7, 28, 24, 30, "f")
    c.hline(7, 24, 28, "w"), c.hline(7, 24, 30, "d")
    c.hline(6, 25, 31, "k"), c.vline(6, 28, 31, "k"), c.vline(25, 28, 31, "k")
    c.hline(6, 25, 27, "k")
    return c.xpm("icon_128_xpm", palette)


def main():
    check_fonts()
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "art")
    files = {
        "icon_128.xpm": icon(),
        "quit_u.xpm": quit_button("up"),
        "quit_d.xpm": quit_button("down"),
        "quit_f.xpm": quit_button("focus"),
        "splash_137.xpm": splash(),
    }
    for name, text in files.items():
        with open(os.path.join(out, name), "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
