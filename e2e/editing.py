"""What the selection, stamp and clipboard tests share: toolbar places, a test picture and the
key sequences that fix a selection and move a stamp."""

import os

import harness
from harness import KEY_RGB

BLACK = (0, 0, 0)
# The selection frame inverts every other pixel of its edges; over the key colour that shows as:
FRAMED_KEY = tuple(255 - c for c in KEY_RGB)

# Toolbar groups and the index of a button within its group.
TB_DRAW, TB_PEN = 278, 548
LINE_TOOL, SELECTION_TOOL = 1, 9
PEN_32 = 6

RED, GREEN, BLUE, ORANGE = (200, 30, 30), (20, 140, 40), (30, 40, 200), (230, 150, 20)


def quadrants(width, height, colours=(RED, GREEN, BLUE, ORANGE)):
    """Rows of packed RGB: four quadrants, so that a shifted or flipped copy shows."""
    top_left, top_right, bottom_left, bottom_right = (bytes(c) for c in colours)
    half = width // 2
    return [(top_left * half + top_right * (width - half)) if y < height // 2 else
            (bottom_left * half + bottom_right * (width - half)) for y in range(height)]


def framed(rows, margin, far_margin):
    """The rows inside the key colour: `margin` wide on the left and top, `far_margin` on the
    right and bottom."""
    width = len(rows[0]) // 3 + margin + far_margin
    key = bytes(KEY_RGB)
    return ([key * width] * margin + [key * margin + row + key * far_margin for row in rows]
            + [key * width] * far_margin)


# The picture opened at start: a 60x40 patch at (100, 100) on a see-through board.
PATCH_LEFT, PATCH_TOP = 100, 100
PATCH = quadrants(60, 40)
PATCH_RIGHT, PATCH_BOTTOM = PATCH_LEFT + 60, PATCH_TOP + 40
PATCH_RECT = (PATCH_LEFT, PATCH_TOP, PATCH_RIGHT, PATCH_BOTTOM)
# A selection around it with a margin of 10 (11 on the right and bottom, so that the frame's
# bottom-right pixel is an inverted one).
MARGIN, FAR_MARGIN = 10, 11
AROUND_PATCH = ((PATCH_LEFT - MARGIN, PATCH_TOP - MARGIN),
                (PATCH_RIGHT + FAR_MARGIN, PATCH_BOTTOM + FAR_MARGIN))


class EditingTestCase(harness.BoardTestCase):
    """Fixing a range selection and checking where the mouse goes."""

    def select(self, corner, opposite, changing):
        """Chooses the selection tool and fixes the range between two board points. The frame
        corner nearest `opposite` must lie on a key-coloured pixel with an even coordinate sum,
        so that its inversion shows; `changing` is as for wait_until_keys_handled."""
        self.click_toolbar_button(TB_DRAW, SELECTION_TOOL)
        self.x.move_mouse(*self.screen(*corner))
        self.x.key("shift")
        self.wait_until_keys_handled(changing)
        self.x.move_mouse(*self.screen(*opposite))
        # The second press fixes the range the last frame showed: wait until it reaches here.
        self.wait_for_pixel(opposite[0] - 1, opposite[1] - 1, FRAMED_KEY)
        self.x.key("shift")

    def wait_until_keys_handled(self, changing):
        """Undoes and redoes, waiting until each shows. The board handles keys in the order they
        come but reads the pointer when it handles one, not when it was sent; once both have
        shown, every key sent before has been handled and the pointer may move on. Undo must
        change what the board rectangle `changing` (left, top, right, bottom) shows; afterwards
        the board is as before."""
        left, top, right, bottom = changing
        sx, sy = self.screen(left, top)

        def shown():
            shot = self.x.screenshot()
            return [shot.row_rgb(sy + y, sx, sx + right - left) for y in range(bottom - top)]

        before = shown()
        self.x.key("alt+z")
        harness.poll_until(lambda: shown() != before, message="undo to show in %s" % (changing,))
        self.x.key("alt+z")
        harness.poll_until(lambda: shown() == before, message="redo to show in %s" % (changing,))

    def hold_eraser(self, point):
        """Holds Ctrl, the pointer resting on the see-through board point, until the eraser's
        marker (a dot of a random colour) shows there; returns a screenshot taken meanwhile, then
        lets go and waits until the marker is gone. Every eraser frame starts from the committed
        picture, so the screenshot shows what has been committed; and once the marker shows,
        every key sent before has been handled."""
        def marked():
            shot = self.x.screenshot()
            return shot if self.board_pixel(*point, shot) != self.desktop else None

        self.x.key_down("ctrl")
        try:
            shot = harness.poll_until(marked, message="the eraser's marker at %s" % (point,))
        finally:
            self.x.key_up("ctrl")
        self.wait_for_pixel(*point, self.desktop)
        return shot

    def wait_owned(self, point, owned=True):
        """Polls until the mouse at the board point goes to the board (or through it)."""
        harness.poll_until(
            lambda: self.board.owns(self.window_under_board_point(*point)) == owned,
            message="the mouse at %s to %s" % (point, "hit the board" if owned else "go through"))


class PatchTestCase(EditingTestCase):
    """A board that opens the patch picture at start."""

    def board_args_for_test(self):
        path = os.path.join(self.x.tmpdir, "patch.bmp")
        width, height = 300, 200
        key = bytes(KEY_RGB)
        rows = [key * width for _ in range(height)]
        for y, row in enumerate(PATCH):
            line = rows[PATCH_TOP + y]
            rows[PATCH_TOP + y] = line[:3 * PATCH_LEFT] + row + line[3 * PATCH_RIGHT:]
        harness.write_bmp(path, width, height, rows)
        return [path]

    def setUp(self):
        super().setUp()
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the opened picture")

    def wait_for_patch(self, left, top, what):
        self.wait_for_picture(left, top, PATCH, "%s to show the patch at %d,%d" % (what, left, top))

    def patch_gone(self, left, top, what):
        self.wait_for_desktop(left, top, left + 60, top + 40,
                              "%s: no patch at %d,%d" % (what, left, top))
