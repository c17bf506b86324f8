"""Scaled screens: at QT_SCALE_FACTOR=2 on a 3840 x 2160 screen one picture pixel is one device
pixel. A stroke lies under the pointer's path, the see-through and click-through follow it, and
the toolbar, laid out in logical pixels, shows whole at twice the size."""

import os

import controls
import harness

BLACK = (0, 0, 0)
SCALE = 2
PATH_Y = 501  # an odd device row: a half-resolution pointer could not reach it
PATH = [(401, PATH_Y), (801, PATH_Y)]


class ScaledScreenTest(harness.BoardTestCase):
    screen_size = (3840, 2160)

    def setUp(self):
        self.set_up_with("QT_SCALE_FACTOR", str(SCALE))

    def test_stroke_lies_under_the_pointer_and_the_toolbar_is_whole(self):
        _, _, width, height = self.board.geometry()
        self.assertEqual((width, height), (892 * SCALE, 453 * SCALE))
        # Both ends of the toolbar take the mouse, and its lower edge: all of it is shown.
        fold = controls.fold_button(892)
        for x, y in ((4, 4), (fold[0] * SCALE, fold[1] * SCALE), (50 * SCALE, 31 * SCALE)):
            self.assertTrue(self.board.owns(self.window_under_board_point(x, y)), (x, y))

        (x0, y), (x1, _) = PATH
        self.wait_for_pixel(x0, y, self.desktop)
        self.draw_freehand_across(x0, x1, y, 20, 3)
        shot = self.x.screenshot()
        for x in range(x0, x1, 25):
            self.assertEqual(self.board_pixel(x, y, shot), BLACK, (x, y))
        # Nothing at half the pointer's coordinates, and the picture is not pixel-doubled: the
        # pen is 4 device pixels wide.
        self.assertEqual(self.board_pixel(x0 // 2 + 50, y // 2, shot), self.desktop)
        self.assertEqual(self.board_pixel(600, y + 4, shot), self.desktop)
        self.assertEqual(self.board_pixel(600, y - 4, shot), self.desktop)
        # Clicks land on the stroke and pass through beside it.
        self.assertTrue(self.board.owns(self.window_under_board_point(600, y)))
        self.assertFalse(self.board.owns(self.window_under_board_point(600, y + 40)))


class ScaledCompositedTest(ScaledScreenTest):
    compositor = True


if __name__ == "__main__":
    harness.main()
