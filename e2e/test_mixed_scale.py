"""Two monitors side by side on one X screen (RandR 1.5 monitors), the second at twice the
scale: the board moved onto the second keeps its whole toolbar, and a stroke drawn there lies
under the pointer's path, with no stray line from the window's edge."""

import os

import controls
import harness

BLACK = (0, 0, 0)
MONITOR_WIDTH = 1920


class MixedScaleTest(harness.BoardTestCase):
    screen_size = (2 * MONITOR_WIDTH, 1080)

    def setUp(self):
        self.set_up_with("QT_SCREEN_SCALE_FACTORS", "LEFT=1;RIGHT=2")

    def board_args_for_test(self):
        # The X screen's own output becomes the left monitor; the right one has none.
        self.x.run("xrandr", "--setmonitor", "LEFT", "%d/508x1080/286+0+0" % MONITOR_WIDTH,
                   "screen")
        self.x.run("xrandr", "--setmonitor", "RIGHT",
                   "%d/508x1080/286+%d+0" % (MONITOR_WIDTH, MONITOR_WIDTH), "none")
        return super().board_args_for_test()

    def test_board_moved_to_the_scaled_monitor_draws_under_the_pointer_whole(self):
        self.x.run("xdotool", "windowmove", str(self.board.window), str(MONITOR_WIDTH + 100),
                   "100")
        # The toolbar is laid out in logical pixels: twice as wide in device pixels there.
        harness.poll_until(lambda: self.board.geometry()[0] >= MONITOR_WIDTH
                           and self.board.geometry()[2] >= 2 * 891,
                           message="the board on the second monitor with its whole toolbar")
        self.origin = self.board.geometry()[:2]
        width = self.board.geometry()[2]
        fold = controls.fold_button(width // 2)
        for x, y in ((4, 4), (fold[0] * 2, fold[1] * 2)):
            harness.poll_until(lambda: self.board.owns(self.window_under_board_point(x, y)),
                               message="the toolbar to take the mouse at %d,%d" % (x, y))

        y = 401
        x0, x1 = 301, 701
        self.wait_for_pixel(x0, y, self.desktop)
        self.draw_freehand_across(x0, x1, y, 20, 3)
        shot = self.x.screenshot()
        for x in range(x0, x1, 25):
            self.assertEqual(self.board_pixel(x, y, shot), BLACK, (x, y))
        # No stray line from the window's left edge to where the stroke began.
        self.assertEqual(self.board_pixel(100, y, shot), self.desktop)
        self.assertEqual(self.board_pixel(x0 - 20, y, shot), self.desktop)


if __name__ == "__main__":
    harness.main()
