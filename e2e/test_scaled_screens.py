"""Scaled screens: at QT_SCALE_FACTOR=2, 1.5 or Xft.dpi 120 (1.25) on a 3840 x 2160 screen one
picture pixel is one device pixel. A stroke lies under the pointer's path, the see-through and
click-through follow it, and the toolbar, laid out in logical pixels, shows whole at the scale,
with nothing of the board's colour key along its edge."""

import os

import controls
import harness

BLACK = (0, 0, 0)
PATH_Y = 501  # an odd device row: a pointer in logical pixels could not reach it at 2x
PATH = [(401, PATH_Y), (801, PATH_Y)]


def device(logical, scale):
    """A logical coordinate in device pixels, rounded as the toolkit rounds a widget's edge."""
    return int(logical * scale + 0.5)


class ScaledScreenTest(harness.BoardTestCase):
    screen_size = (3840, 2160)
    scale = 2

    def setUp(self):
        self.set_up_with("QT_SCALE_FACTOR", str(self.scale))

    def test_stroke_lies_under_the_pointer_and_the_toolbar_is_whole(self):
        s = self.scale
        _, _, width, height = self.board.geometry()
        self.assertEqual((width, height), (device(892, s), device(453, s)))
        # Both ends of the toolbar take the mouse, and its last device row: all of it is shown.
        bottom = device(harness.TOOLBAR_HEIGHT, s)
        fold = controls.fold_button(892)
        for x, y in ((4, 4), (int(fold[0] * s), int(fold[1] * s)), (int(50 * s), bottom - 1)):
            self.assertTrue(self.board.owns(self.window_under_board_point(x, y)), (x, y))
        # The row beneath the toolbar is see-through along its whole length: not a line of the
        # colour key left in the window's shape by a logical edge rounded outward.
        self.wait_for_desktop(0, bottom, width, bottom + 1, "the row beneath the toolbar")
        self.assertFalse(self.board.owns(self.window_under_board_point(int(50 * s), bottom)))

        (x0, y), (x1, _) = PATH
        self.wait_for_pixel(x0, y, self.desktop)
        self.draw_freehand_across(x0, x1, y, 20, 3)
        shot = self.x.screenshot()
        for x in range(x0, x1, 25):
            self.assertEqual(self.board_pixel(x, y, shot), BLACK, (x, y))
        # Nothing at the pointer's coordinates in logical pixels, and the picture is not scaled
        # up: the pen is 4 device pixels wide.
        self.assertEqual(self.board_pixel(int(x0 / s) + 50, int(y / s), shot), self.desktop)
        self.assertEqual(self.board_pixel(600, y + 4, shot), self.desktop)
        self.assertEqual(self.board_pixel(600, y - 4, shot), self.desktop)
        # Clicks land on the stroke and pass through beside it.
        self.assertTrue(self.board.owns(self.window_under_board_point(600, y)))
        self.assertFalse(self.board.owns(self.window_under_board_point(600, y + 40)))


class ScaledCompositedTest(ScaledScreenTest):
    compositor = True


class FractionalScaleTest(ScaledScreenTest):
    scale = 1.5


class XftDpiScaleTest(ScaledScreenTest):
    """The scale the desktop sets through the X resources (120 dpi over 96): 1.25."""
    scale = 1.25

    def setUp(self):
        harness.BoardTestCase.setUp(self)

    def board_args_for_test(self):
        resources = os.path.join(self.x.tmpdir, "resources")
        with open(resources, "w") as f:
            f.write("Xft.dpi: %d\n" % round(96 * self.scale))
        self.x.run("xrdb", "-merge", resources)
        return super().board_args_for_test()


if __name__ == "__main__":
    harness.main()
