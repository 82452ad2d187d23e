#!/usr/bin/env python3
"""Draws the library's toolbar, button and padlock bitmaps as XPM files.

Run from this folder to regenerate them: python3 make_bitmaps.py
Each picture is drawn with a few primitives on a small palette, so the files
stay readable and diffable.
"""

PALETTE = {
    ".": "None", "k": "#000000", "w": "#FFFFFF", "g": "#808080", "l": "#C0C0C0",
    "r": "#D00000", "n": "#008000", "b": "#0050C0", "y": "#E0B000", "c": "#A0D0FF",
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [["."] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def box(self, x0, y0, x1, y1, edge, inside=None):
        if inside:
            self.fill(x0, y0, x1, y1, inside)
        for x in range(x0, x1 + 1):
            self.dot(x, y0, edge)
            self.dot(x, y1, edge)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, edge)
            self.dot(x1, y, edge)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(width):
                for dy in range(width):
                    self.dot(x + dx, y + dy, c)

    def ring(self, cx, cy, r, c, inside=None):
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if inside and d < r - 0.5:
                    self.dot(x, y, inside)
                elif abs(d - r) < 0.7:
                    self.dot(x, y, c)

    def xpm(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = [f'"{self.w} {self.h} {len(used)} 1",']
        lines += [f'"{c} c {PALETTE[c]}",' for c in used]
        lines += [f'"{"".join(row)}",' for row in self.px]
        lines[-1] = lines[-1].rstrip(",")
        return "/* XPM */\nstatic const char* bitmap_%s[] = {\n%s\n};\n" % (name, "\n".join(lines))


# "ページ製図" at 12 pixels, one character per pixel ("#" ink).
LABEL_PAGE_DRAFT = [
    ".................................#....#.#.....#.............",
    ".......###.................#....#.#...######..#..##########.",
    ".......#.#..................##...#...#######..#..#........#.",
    "....##.###..............................#..#..#..#.#.#..#.#.",
    "...#..#...................##.....#....#####...#..#..#.##..#.",
    "..#....#.....##########....#....##....#.###.###..#.#...#..#.",
    ".#......##.....................##.........#......#..###...#.",
    ".........##...................##.....##########..#..##.##.#.",
    "............................##..........###..##..#.#......#.",
    "..........................##..........###..##....##########.",
    ".....................................#..###..#...#........#.",
]


def page(cv, x0, y0, x1, y1):
    cv.box(x0, y0, x1, y1, "k", "w")
    for y in range(y0 + 3, y1 - 1, 3):
        cv.line(x0 + 2, y, x1 - 2, y, "g")


def red_cross(cv, x0, y0, size):
    cv.line(x0, y0, x0 + size, y0 + size, "r", 2)
    cv.line(x0 + size, y0, x0, y0 + size, "r", 2)


def magnifier(cv):
    cv.ring(9, 9, 6, "k", "c")
    cv.line(13, 13, 20, 20, "k", 3)


def arrow_left(cv, x0, y, x1, c):
    cv.line(x0, y, x1, y, c, 2)
    for i in range(4):
        cv.line(x0 + i, y - i, x0 + i, y + i + 1, c)


def padlock(cv, closed):
    cv.fill(3, 9, 16, 18, "y")
    cv.box(3, 9, 16, 18, "k")
    cv.fill(9, 12, 10, 15, "k")
    left = 5 if closed else 12
    cv.line(left, 8, left, 4, "k", 2)
    cv.line(left + 2, 2, left + 7, 2, "k", 2)
    cv.line(left + 8, 4, left + 8, 8 if closed else 6, "k", 2)
    cv.dot(left + 1, 3, "k")
    cv.dot(left + 8, 3, "k")


def draw_all():
    out = {}
    cv = Canvas(24, 24)  # page list: three stacked pages
    page(cv, 9, 1, 21, 15)
    page(cv, 6, 4, 18, 18)
    page(cv, 3, 7, 15, 21)
    out[29009] = cv
    cv = Canvas(24, 24)  # delete a drawing
    page(cv, 3, 1, 16, 20)
    red_cross(cv, 11, 11, 10)
    out[29039] = cv
    cv = Canvas(24, 24)  # restore a deleted drawing
    page(cv, 9, 1, 21, 20)
    arrow_left(cv, 1, 16, 12, "n")
    out[29011] = cv
    cv = Canvas(24, 24)  # restore from a backup: two pages and an arrow
    page(cv, 10, 1, 21, 14)
    page(cv, 6, 5, 17, 18)
    arrow_left(cv, 1, 20, 14, "b")
    out[29042] = cv
    cv = Canvas(24, 24)  # search
    magnifier(cv)
    out[29040] = cv
    cv = Canvas(24, 24)  # clear the search
    magnifier(cv)
    red_cross(cv, 14, 1, 8)
    out[29041] = cv
    cv = Canvas(24, 24)  # display items: a table with a highlighted column
    cv.box(1, 3, 22, 20, "k", "w")
    cv.fill(9, 4, 14, 19, "c")
    for x in (8, 15):
        cv.line(x, 3, x, 20, "k")
    for y in (8, 12, 16):
        cv.line(1, y, 22, y, "g")
    cv.fill(2, 4, 21, 7, "l")
    out[11045] = cv
    cv = Canvas(24, 24)  # print the list: a printer
    cv.box(6, 1, 17, 9, "k", "w")
    cv.box(2, 9, 21, 18, "k", "l")
    cv.fill(16, 11, 18, 12, "n")
    cv.box(6, 15, 17, 22, "k", "w")
    cv.line(8, 18, 15, 18, "g")
    cv.line(8, 20, 15, 20, "g")
    out[29018] = cv
    cv = Canvas(24, 24)  # switch to drawing management: two opposite arrows
    cv.line(3, 8, 19, 8, "b", 2)
    for i in range(4):
        cv.line(19 - i, 8 - i, 19 - i, 9 + i, "b")
    arrow_left(cv, 3, 16, 19, "n")
    out[25000] = cv
    cv = Canvas(80, 15)  # the page dialog's draw button: a sheet, then its caption
    page(cv, 1, 1, 12, 13)
    for y, row in enumerate(LABEL_PAGE_DRAFT):
        for x, ink in enumerate(row):
            if ink == "#":
                cv.dot(16 + x, 2 + y, "k")
    out[29010] = cv
    cv = Canvas(20, 20)
    padlock(cv, True)
    out[29003] = cv
    cv = Canvas(20, 20)
    padlock(cv, False)
    out[29004] = cv
    return out


if __name__ == "__main__":
    for ident, canvas in draw_all().items():
        with open(f"{ident}.xpm", "w") as f:
            f.write(canvas.xpm(str(ident)))
