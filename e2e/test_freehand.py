"""Freehand strokes drawn with Shift held, and erased again with Ctrl held, on the real window."""

import harness

BLACK = (0, 0, 0)
PEN_WIDTH = 4
STEP = 15  # pixels between two pointer positions along the path

# Axis-parallel legs, so that strokes drawn from different tick positions cover the same pixels.
PATH = [(120, 150), (420, 150), (420, 330), (220, 330), (220, 240)]


def direction(a, b):
    return ((b[0] > a[0]) - (b[0] < a[0]), (b[1] > a[1]) - (b[1] < a[1]))


def points_along(path):
    """Every pointer position of the stroke: the corners and points STEP apart between them."""
    points = [path[0]]
    for a, b in zip(path, path[1:]):
        dx, dy = direction(a, b)
        length = abs(b[0] - a[0]) + abs(b[1] - a[1])
        points += [(a[0] + dx * d, a[1] + dy * d) for d in range(STEP, length, STEP)] + [b]
    return points


class FreehandTest(harness.BoardTestCase):
    def setUp(self):
        super().setUp()
        # The board starts blank: wait until it shows the desktop where the strokes go.
        self.wait_for_pixel(*PATH[0], self.desktop)

    def stroke(self, key, colour_behind_cursor, started, path=PATH):
        """Holds `key` while the pointer walks the path. At each corner it waits until the board
        has drawn up to the corner, so that no tick cuts across it to the next leg."""
        self.x.move_mouse(*self.screen(*path[0]))
        self.x.key_down(key)
        try:
            harness.poll_until(lambda: started(self.board_pixel(*path[0])),
                               message="the stroke to start at %s" % (path[0],))
            for a, b in zip(path, path[1:]):
                leg = points_along([a, b])[1:]
                for point in leg:
                    self.x.move_mouse(*self.screen(*point))
                # Five pixels short of the corner lies beyond the reach of the previous pointer
                # position and of the eraser's marker dot at the cursor.
                dx, dy = direction(a, b)
                self.wait_for_pixel(b[0] - 5 * dx, b[1] - 5 * dy, colour_behind_cursor)
        finally:
            self.x.key_up(key)

    def draw(self):
        self.stroke("shift", BLACK, lambda seen: seen == BLACK)

    def erase(self):
        # Backwards from where the drawing ended: should the board handle the Shift release only
        # after the pointer has moved on, the extra segment still lies on the path being erased.
        # The eraser marks the cursor with a dot of a random colour, which is not committed.
        self.stroke("ctrl", self.desktop, lambda seen: seen != BLACK, path=PATH[::-1])
        self.wait_for_pixel(*PATH[0], self.desktop)

    def wait_until_released(self):
        """Returns once the board has handled the Shift release, with the pointer unmoved: a Ctrl
        press after it starts the eraser, whose marker replaces the black under the cursor, and
        keys are handled in order. The eraser's own release may come late; it only clears."""
        end = PATH[-1]
        self.x.key_down("ctrl")
        try:
            harness.poll_until(lambda: self.board_pixel(*end) != BLACK,
                               message="the eraser to start at %s" % (end,))
        finally:
            self.x.key_up("ctrl")

    def run_length(self, shot, x, y, dx, dy):
        """How many black pixels in a row through (x, y) along (dx, dy) and back."""
        count = 0
        for sign in (1, -1):
            step = 0 if sign == 1 else 1
            while self.board_pixel(x + sign * dx * step, y + sign * dy * step, shot) == BLACK:
                count += 1
                step += 1
        return count

    def test_shift_draws_an_opaque_black_stroke_of_the_pen_width(self):
        self.draw()
        shot = self.x.screenshot()
        for point in points_along(PATH):
            self.assertEqual(self.board_pixel(*point, shot), BLACK, "stroke at %s" % (point,))
        # Across a horizontal and a vertical leg the stroke is exactly as wide as the pen.
        self.assertEqual(self.run_length(shot, 270, 150, 0, 1), PEN_WIDTH)
        self.assertEqual(self.run_length(shot, 420, 240, 1, 0), PEN_WIDTH)
        # Away from the stroke the board stays see-through.
        self.assertEqual(self.board_pixel(270, 160, shot), self.desktop)
        self.assertEqual(self.board_pixel(300, 240, shot), self.desktop)

        for point in PATH + [(270, 150), (420, 240), (300, 331)]:
            with self.subTest(point=point):
                self.assertTrue(self.board.owns(self.window_under_board_point(*point)))
        self.assertFalse(self.board.owns(self.window_under_board_point(270, 160)))

    def test_releasing_shift_ends_the_stroke(self):
        self.draw()
        self.wait_until_released()
        self.x.move_mouse(*self.screen(600, 400))
        # A dot drawn by a second press proves that ticks have seen the pointer at its new place.
        self.x.key_down("shift")
        try:
            self.wait_for_pixel(600, 400, BLACK)
        finally:
            self.x.key_up("shift")
        # Halfway along the way from the stroke's end to the new place: nothing was drawn.
        self.assertEqual(self.board_pixel(410, 320), self.desktop)

    def test_ctrl_along_the_stroke_erases_it_back_to_see_through(self):
        self.draw()
        self.erase()
        left = min(x for x, _ in PATH) - 2 * PEN_WIDTH
        right = max(x for x, _ in PATH) + 2 * PEN_WIDTH
        top = min(y for _, y in PATH) - 2 * PEN_WIDTH
        bottom = max(y for _, y in PATH) + 2 * PEN_WIDTH
        desktop_row = bytes(self.desktop) * (right - left)
        self.wait_for_area(left, top, right, bottom, lambda y: desktop_row,
                           "the erased stroke to show the desktop")
        for point in PATH + [(270, 150), (420, 240), (300, 331)]:
            with self.subTest(point=point):
                self.assertFalse(self.board.owns(self.window_under_board_point(*point)))


class FreehandUnderWindowManagerTest(FreehandTest):
    """The board's client area no longer starts at the screen's corner: the cursor must still be
    mapped into board coordinates."""

    window_manager = "openbox"


class FreehandUnderCompositorTest(FreehandTest):
    compositor = True


if __name__ == "__main__":
    harness.main()
