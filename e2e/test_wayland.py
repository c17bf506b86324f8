"""The board in a Wayland session, through XWayland, over a native Wayland window (foot).

XWayland knows where the pointer is only while it is over one of its own windows; elsewhere the X
pointer stays where it last was. The board must draw where the pointer really is and never from
such a frozen position: a stroke that leaves the window lifts and resumes where the pointer comes
back, and a shape started with the pointer outside anchors at the first real position inside.
"""

import time

import harness
import controls
import wayland_harness

BLACK = (0, 0, 0)
STEP = 15  # pixels between two pointer positions
# A stroke starts at the first real position the board reads, at its own pace: under load a
# step or two after the pointer got there. (With Shift pressed over a see-through pixel the press
# itself reads as away: only the widened input shape lets XWayland report the pointer there.)
START_SLACK = 3
OUTSIDE_DWELL = 0.2  # seconds at each corner outside the window: several of the board's ticks


def walk(a, b):
    """The pointer positions from a (excluded) to b (included), STEP apart on a straight line."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    steps = max(1, (max(abs(dx), abs(dy)) + STEP - 1) // STEP)
    return [(a[0] + dx * i // steps, a[1] + dy * i // steps) for i in range(1, steps + 1)]


class WaylandStrokes(wayland_harness.WaylandBoardTestCase):
    """Walking the pointer along paths and looking for ink, for the test cases below."""

    def walk_path(self, path, drawn=None):
        """Moves the pointer along the path (board coordinates, outside the window too). With
        `drawn`, at each corner inside the window it waits until the board shows ink short of the
        corner, so that no tick cuts across to the next leg. At a corner outside the window the
        pointer dwells a moment, as a hand does: an excursion shorter than the board's frame
        period may go unseen (docs/wayland.md)."""
        self.move_to_board(*path[0])
        for a, b in zip(path, path[1:]):
            for point in walk(a, b):
                self.move_to_board(*point)
            if drawn and self.inside(b):
                self.wait_for_ink_before(a, b)
            elif not self.inside(b):
                time.sleep(OUTSIDE_DWELL)

    def wait_for_ink_before(self, a, b):
        """Waits until the board shows ink a little short of b on the way from a: on the leg,
        or, should the board draw a straight line from somewhere else, near its end. Short of
        the pointer's arrow, which lies right of and below the pointer."""
        dx, dy = (b[0] > a[0]) - (b[0] < a[0]), (b[1] > a[1]) - (b[1] < a[1])
        x = b[0] - dx * (6 if dx > 0 else 20)
        y = b[1] - dy * (6 if dy > 0 else 28)
        left, right = (min(x, x - 4 * dx), max(x, x - 4 * dx) + 1) if dx else (x - 3, x + 4)
        top, bottom = (min(y, y - 4 * dy), max(y, y - 4 * dy) + 1) if dy else (y - 3, y + 4)
        harness.poll_until(lambda: self.black_in(self.w.screenshot(), left, top, right, bottom),
                           message="ink short of %s" % (b,))

    def under_cursor(self, point):
        """Whether the board point may be covered by the pointer's arrow in a screenshot."""
        cx, cy = self.w.cursor
        x, y = self.screen(*point)
        return cx - 2 <= x <= cx + 16 and cy - 2 <= y <= cy + 24

    def inside(self, point):
        return 0 <= point[0] < self.size[0] and 0 <= point[1] < self.size[1]

    def black_in(self, shot, left, top, right, bottom):
        """The board points of the rectangle that show black."""
        sx, sy = self.screen(0, 0)
        found = []
        for y in range(top, bottom):
            row = shot.row_rgb(sy + y, sx + left, sx + right)
            found += [(left + i // 3, y) for i in range(0, len(row), 3)
                      if row[i:i + 3] == bytes(BLACK)]
        return [p for p in found if not self.under_cursor(p)]

    def assert_black(self, shot, points, what):
        for point in points:
            if not self.under_cursor(point):
                self.assertEqual(self.board_pixel(*point, shot), BLACK, "%s at %s" % (what, point))

    def stroke(self, path, key="shift"):
        """Holds the key while the pointer walks the path; returns once the board has drawn up
        to the path's last corner."""
        self.move_to_board(*path[0])
        self.w.key_down(key)
        try:
            self.walk_path(path, drawn=BLACK)
        finally:
            self.w.key_up(key)


class WaylandDrawingTest(WaylandStrokes):
    def test_a_stroke_over_see_through_parts_follows_the_pointer(self):
        path = [(150, 120), (700, 120), (700, 380), (150, 380)]
        self.stroke(path)
        shot = self.w.screenshot()
        points = [path[0]] + [p for a, b in zip(path, path[1:]) for p in walk(a, b)]
        self.assert_black(shot, points[START_SLACK:], "stroke")
        self.assertEqual(self.black_in(shot, 170, 140, 680, 360), [])

    def test_a_stroke_that_leaves_the_window_and_returns_draws_no_chord(self):
        width = self.size[0]
        out = width + 50  # over foot, right of the board
        path = [(200, 150), (width - 12, 150), (out, 150), (out, 400), (200, 400)]
        self.stroke(path)
        shot = self.w.screenshot()
        # Between the two legs lies only what a straight chord from where the pointer left to
        # where it came back would draw.
        stray = self.black_in(shot, 150, 160, width, 391)
        self.assertEqual(len(stray), 0, "stray pixels, first %s" % (stray[:3],))
        # Both legs inside the window are drawn; on the way back the stroke starts again at the
        # first position inside the board reads.
        back = [p for p in walk((out, 400), (200, 400)) if self.inside(p)]
        out_leg = [(x, 150) for x in range(200, width - 12, STEP)]
        self.assert_black(shot, out_leg[START_SLACK:] + back[START_SLACK:], "stroke")

    def test_a_line_started_over_the_native_window_anchors_at_the_first_position_inside(self):
        self.click_board(*controls.LINE_TOOL)
        width = self.size[0]
        # The pointer leaves the board at (width - 12, 300): XWayland keeps that position.
        self.walk_path([(500, 300), (width - 12, 300), (width + 50, 300), (width + 50, 200)])
        self.w.key_down("shift")
        self.w.key_up("shift")
        self.walk_path([(800, 200), (500, 200)])
        # The preview reaches the pointer, whether it starts at the right place or not.
        harness.poll_until(lambda: self.black_in(self.w.screenshot(), 520, 196, 530, 212),
                           message="the line's preview to reach the pointer")
        self.w.key_down("shift")
        self.w.key_up("shift")
        shot = self.w.screenshot()
        # The line starts at the first position the board saw inside: at 800,200 or a step or
        # two after it, as the board reads the pointer at its own pace.
        self.assert_black(shot, [(x, 200) for x in range(510, 750, 10)], "line")
        self.assertEqual(self.black_in(shot, 806, 190, width, 210), [], "beyond the entry point")
        # A line from the frozen position would cross this rectangle below the real one.
        stray = self.black_in(shot, 150, 210, width, 440)
        self.assertEqual(len(stray), 0, "stray pixels, first %s" % (stray[:3],))


    def start_a_line(self):
        """A line under way from 300,300 to 500,300, its preview shown."""
        self.click_board(*controls.LINE_TOOL)
        self.move_to_board(300, 300)
        self.w.key_down("shift")
        self.w.key_up("shift")
        self.walk_path([(300, 300), (500, 300)], drawn=BLACK)

    def cancel_the_line(self):
        """Ctrl drops the line; once its preview is gone, the board has handled all before."""
        self.w.key_down("ctrl")
        self.w.key_up("ctrl")
        harness.poll_until(lambda: not self.black_in(self.w.screenshot(), 300, 295, 480, 306),
                           message="the line's preview to go")

    def test_a_right_press_on_a_see_through_pixel_during_a_line_opens_no_menu(self):
        self.start_a_line()
        self.click_board(400, 380, button=3)
        self.cancel_the_line()
        # A menu would open at the press, down and right of it.
        shot = self.w.screenshot()
        for point in [(420, 400), (450, 430), (480, 460)]:
            self.assertEqual(self.board_pixel(*point, shot), wayland_harness.FOOT_RGB,
                             "at %s" % (point,))


class WaylandFocusFollowsMouseTest(WaylandStrokes):
    """sway's focus follows the mouse: the compositor gives the keyboard to the window the pointer
    enters, whatever an X client grabs, and a key released over another window never reaches
    the board."""

    focus_follows_mouse = True

    def test_shift_released_over_the_native_window_ends_the_stroke(self):
        width = self.size[0]
        out = width + 50  # over foot
        self.move_to_board(200, 150)
        self.w.key_down("shift")
        try:
            self.walk_path([(200, 150), (width - 12, 150), (out, 150)], drawn=BLACK)
            harness.poll_until(lambda: (self.w.focused_view() or {}).get("app_id") == "foot",
                               message="foot to get the keyboard")
        finally:
            self.w.key_up("shift")
        self.walk_path([(out, 150), (out, 400), (200, 400)])
        # A new stroke from where the pointer came back: once it shows, the board has seen the
        # pointer back on the board. A stroke left running would have drawn the way there.
        self.w.key_down("shift")
        try:
            self.walk_path([(200, 400), (150, 400)], drawn=BLACK)
        finally:
            self.w.key_up("shift")
        stray = self.black_in(self.w.screenshot(), 230, 390, width - 20, 411)
        self.assertEqual(len(stray), 0, "drawn after the key came up, first %s" % (stray[:3],))


if __name__ == "__main__":
    wayland_harness.main()
