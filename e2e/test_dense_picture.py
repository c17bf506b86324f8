"""A picture too dense for a shape made of rectangles still shows and takes the mouse exactly
where it is drawn.

The picture is a speckle of isolated single pixels on every other row and column: no two drawn
pixels touch, so a shape given as rectangles needs one rectangle per drawn pixel, about 360,000
here. The X server silently empties a shape sent as more than 32,767 rectangles in one request.
"""

import os
import random

import harness
from harness import KEY_RGB, TOOLBAR_HEIGHT

WIDTH, HEIGHT = 1600, 1200
INK = [(0, 0, 0), (200, 30, 30), (20, 120, 40), (30, 40, 200), (120, 60, 0)]


def speckle():
    """Rows of packed RGB: on even rows and columns a seeded 3 in 4 are drawn, the rest is key."""
    rng = random.Random(1600)
    key = bytes(KEY_RGB)
    rows = []
    for y in range(HEIGHT):
        if y % 2:
            rows.append(key * WIDTH)
            continue
        row = bytearray(key * WIDTH)
        for x in range(0, WIDTH, 2):
            if rng.random() < 0.75:
                row[3 * x:3 * x + 3] = bytes(rng.choice(INK))
        rows.append(bytes(row))
    return rows


class DensePictureTest(harness.BoardTestCase):
    screen_size = (WIDTH + 100, HEIGHT + 100)

    def board_args_for_test(self):
        self.picture = speckle()
        path = os.path.join(self.x.tmpdir, "speckle.bmp")
        harness.write_bmp(path, WIDTH, HEIGHT, self.picture)
        return [path]

    def expected_row(self, y):
        """What the screen must show on row y from x = 1: the ink, or the desktop for the key."""
        row = bytearray(self.picture[y][3:])
        key, root = bytes(KEY_RGB), bytes(self.desktop)
        for i in range(0, len(row), 3):
            if row[i:i + 3] == key:
                row[i:i + 3] = root
        return bytes(row)

    def test_every_pixel_shows_its_ink_or_the_desktop_and_the_mouse_follows(self):
        key = bytes(KEY_RGB)
        drawn = sum(1 for y in range(TOOLBAR_HEIGHT, HEIGHT) for i in range(3, 3 * WIDTH, 3)
                    if self.picture[y][i:i + 3] != key)
        self.assertGreater(drawn, 10 * 32767, "the picture is not dense enough to test anything")

        self.board.resize(WIDTH, HEIGHT)
        expected = {y: self.expected_row(y) for y in range(TOOLBAR_HEIGHT, HEIGHT)}
        # Column 0 and row 0 of the board are never restored from the picture.
        self.wait_for_area(1, TOOLBAR_HEIGHT, WIDTH, HEIGHT, expected.__getitem__,
                           "the whole picture to be shown", timeout=30)

        rng = random.Random(7)
        inked, clear = [], []
        while len(inked) < 25 or len(clear) < 25:
            x, y = rng.randrange(1, WIDTH), rng.randrange(TOOLBAR_HEIGHT, HEIGHT)
            pixel = self.picture[y][3 * x:3 * x + 3]
            (clear if pixel == key else inked).append((x, y))
        for point in inked[:25]:
            with self.subTest(inked=point):
                self.assertTrue(self.board.owns(self.window_under_board_point(*point)))
        for point in clear[:25]:
            with self.subTest(clear=point):
                self.assertFalse(self.board.owns(self.window_under_board_point(*point)))


class DensePictureUnderCompositorTest(DensePictureTest):
    """With a compositor the picture is painted through an alpha channel and the same pixels
    make up the input shape."""

    compositor = True


if __name__ == "__main__":
    harness.main()
