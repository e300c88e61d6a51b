#!/usr/bin/env python3
"""Draws the bitmaps of the dialogs from the pixel art below:
app/res/logo.bmp (155x34), the About box's logo: the program's name in black
with a red bookmark ribbon on white. At run time white becomes the button face
colour and black the active caption colour.
app/res/browse.bmp (15x13), the folder image of the options' browse buttons,
on magenta, which becomes the button face colour at run time.
Both are written with a colour table (8 bits per pixel): the program maps
their colours through that table, which true-colour bitmaps do not have."""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_bitmaps import PALETTE, art_rows, write_indexed_bmp  # noqa: E402

# 'p' lights the ribbon; it is not white, which would become the button face.
PALETTE.update({'m': (255, 0, 255), 'd': (128, 0, 0), 'Y': (255, 255, 128), 'p': (255, 190, 190)})

# Letters of the name, 7 rows high; '#' is ink.
GLYPHS = {
    'R': """
####.
#...#
#...#
####.
#.#..
#..#.
#...#
""",
    'a': """
.....
.....
.###.
....#
.####
#...#
.####
""",
    'v': """
.....
.....
#...#
#...#
#...#
.#.#.
..#..
""",
    'o': """
.....
.....
.###.
#...#
#...#
#...#
.###.
""",
    'z': """
.....
.....
#####
...#.
..#..
.#...
#####
""",
    'r': """
.....
.....
#.##.
##..#
#....
#....
#....
""",
    'i': """
.#.
...
##.
.#.
.#.
.#.
###
""",
}

RIBBON = """
.kkkkkkkkkkkkkkkk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrprrrrrrrrrrk.
.krrpprrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrrrrrrrrrk.
.krrrrrrdddrrrrrk.
.krrrrrdk.kdrrrrk.
.krrrrdk...kdrrrk.
.krrrdk.....kdrrk.
.krrdk.......kdrk.
.krdk.........kdk.
.kdk...........kk.
.kk.............k.
"""

BROWSE = """
mmmmmmmmmmmmmmm
mmmmmmmmmmmmmmm
mkkkkmmmmmmmmmm
mkYYYkmmmmmmmmm
mkYYYYkkkkkkkmm
mkYYYYYYYYYYkmm
mkYkkkkkkkkkkkk
mkYkyyyyyyyyyyk
mkkyyyyyyyyyykm
mkkyyyyyyyyyykm
mkyyyyyyyyyykmm
mkkkkkkkkkkkkmm
mmmmmmmmmmmmmmm
"""

LOGO_WIDTH, LOGO_HEIGHT = 155, 34
NAME = 'Ravozorizi'
# Letters are drawn two pixels wide and three high per dot, and thickened by a
# pixel to the right, so strokes are three pixels thick both ways.
X_SCALE, Y_SCALE = 2, 3


def draw_logo():
    canvas = [['.'] * LOGO_WIDTH for _ in range(LOGO_HEIGHT)]

    def blit(rows, left, top, ink=None, x_scale=1, y_scale=1, bold=0):
        for y, line in enumerate(rows):
            for x, ch in enumerate(line):
                if ch == '.':
                    continue
                for dy in range(y_scale):
                    for dx in range(x_scale + bold):
                        canvas[top + y * y_scale + dy][left + x * x_scale + dx] = ink or ch

    ribbon = art_rows(RIBBON)
    blit(ribbon, 4, (LOGO_HEIGHT - len(ribbon)) // 2)

    glyphs = [art_rows(GLYPHS[c]) for c in NAME]
    gap = 2
    text_width = sum(len(g[0]) * X_SCALE + 1 for g in glyphs) + (len(glyphs) - 1) * gap
    text_left = 28 + (LOGO_WIDTH - 28 - text_width) // 2
    top = (LOGO_HEIGHT - 7 * Y_SCALE) // 2 - 2
    left = text_left
    for g in glyphs:
        blit(g, left, top, 'k', X_SCALE, Y_SCALE, 1)
        left += len(g[0]) * X_SCALE + 1 + gap
    # A rule under the name, as wide as the name.
    for x in range(text_left, text_left + text_width):
        canvas[top + 7 * Y_SCALE + 2][x] = 'k'
    return '\n'.join(''.join(row) for row in canvas)


def main(folder):
    write_indexed_bmp(folder + '/logo.bmp', draw_logo(), (255, 255, 255))
    write_indexed_bmp(folder + '/browse.bmp', BROWSE, (255, 0, 255))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'app/res')
