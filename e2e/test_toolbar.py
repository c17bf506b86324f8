"""The toolbar on the real window: tool buttons, palette swatches and pen widths change what the
next shape looks like, and a right click on the toolbar opens the pop-up menu."""

import math

import controls
import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, TOOLBAR_HEIGHT

BLACK = (0, 0, 0)
# A point well away from every shape drawn here, used to prove that the board has seen the pointer.
PROBE, PROBE_END = (800, 410), (830, 440)


def distance_to_segment(p, a, b):
    ax, ay = b[0] - a[0], b[1] - a[1]
    length2 = ax * ax + ay * ay
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * ax + (p[1] - a[1]) * ay)
                                             / length2))
    return math.hypot(p[0] - a[0] - t * ax, p[1] - a[1] - t * ay)


def points_on(a, b, step=4):
    """Points along the segment a-b, ends included, about `step` pixels apart."""
    n = max(1, int(math.hypot(b[0] - a[0], b[1] - a[1]) // step))
    return [(round(a[0] + (b[0] - a[0]) * i / n), round(a[1] + (b[1] - a[1]) * i / n))
            for i in range(n + 1)]


def short_of(a, b, pixels):
    """The point `pixels` before b on the way from a."""
    length = math.hypot(b[0] - a[0], b[1] - a[1])
    f = (length - pixels) / length
    return round(a[0] + (b[0] - a[0]) * f), round(a[1] + (b[1] - a[1]) * f)


class ToolbarTestCase(harness.BoardTestCase):
    def setUp(self):
        super().setUp()
        self.wait_for_pixel(*PROBE, self.desktop)

    def choose(self, control):
        self.click_board(*control)

    def draw_shape(self, a, b, colour, via=(), reached=lambda a, c: short_of(a, c, 8)):
        """With a shape tool chosen: Shift at a, the pointer over `via` to b, Shift again. At each
        stop c it waits until the preview shows the point reached(a, c), which only a preview up
        to c draws, so the second press fixes the shape at b."""
        self.move_to_board(*a)
        self.x.tap_key("shift")
        for point in list(via) + [b]:
            self.move_to_board(*point)
            self.wait_for_pixel(*reached(a, point), colour)
        self.x.tap_key("shift")
        self.prove_pointer_seen()

    def prove_pointer_seen(self):
        """Starts a new shape at PROBE, lets it grow to PROBE_END and cancels it with Ctrl. Its
        preview shows that the board has handled every key before it and has ticked with the
        pointer away from the last shape."""
        left, top = PROBE
        right, bottom = PROBE_END[0] + 3, PROBE_END[1] + 3
        desktop_row = bytes(self.desktop) * (right - left)
        self.move_to_board(*PROBE)
        self.x.tap_key("shift")
        self.move_to_board(*PROBE_END)
        harness.poll_until(lambda: self.first_difference(self.x.screenshot(), left, top, right,
                                                         bottom, lambda y: desktop_row),
                           message="the new shape's preview at %s" % (PROBE,))
        self.x.tap_key("ctrl")
        self.wait_for_area(left, top, right, bottom, lambda y: desktop_row,
                           "Ctrl to remove the new shape's preview")

    def stray_pixels(self, shot, segments, width):
        """Board points below the toolbar that are drawn although they lie farther than half the
        pen from every segment."""
        reach = width / 2 + 1.5
        desktop_row = bytes(self.desktop) * (CLIENT_WIDTH - 1)
        sx, sy = self.screen(1, 0)
        stray = []
        for y in range(TOOLBAR_HEIGHT + 1, CLIENT_HEIGHT):
            row = shot.row_rgb(sy + y, sx, sx + CLIENT_WIDTH - 1)
            if row == desktop_row:
                continue
            for i in range(0, len(row), 3):
                if row[i:i + 3] != desktop_row[i:i + 3]:
                    p = (1 + i // 3, y)
                    if all(distance_to_segment(p, a, b) > reach for a, b in segments):
                        stray.append(p)
        return stray

    def assert_drawn(self, shot, segments, colour):
        for a, b in segments:
            for p in points_on(a, b):
                self.assertEqual(self.board_pixel(*p, shot), colour,
                                 "segment %s-%s at %s" % (a, b, p))

    def run_length(self, shot, x, y, colour):
        """How many pixels of the colour in the column through (x, y), up and down from it."""
        count = 0
        for step in (1, -1):
            at = y if step == 1 else y - 1
            while self.board_pixel(x, at, shot) == colour:
                count += 1
                at += step
        return count


class ToolButtonTest(ToolbarTestCase):
    def test_line_tool_joins_the_two_shift_presses_with_a_straight_line(self):
        a, b = (150, 200), (450, 200)
        self.choose(controls.LINE_TOOL)
        # The pointer's detour is previewed on the way but leaves nothing behind.
        self.draw_shape(a, b, BLACK, via=[(300, 380)])
        shot = self.x.screenshot()
        self.assert_drawn(shot, [(a, b)], BLACK)
        self.assertEqual(self.stray_pixels(shot, [(a, b)], 4), [])
        for x in (200, 300, 400):
            self.assertEqual(self.run_length(shot, x, 200, BLACK), 4, "across the line at x=%d" % x)
        self.assertTrue(self.board.owns(self.window_under_board_point(300, 200)))

    def test_rectangle_tool_draws_the_outline_with_the_presses_as_opposite_corners(self):
        a, b = (200, 120), (500, 380)
        self.choose(controls.RECTANGLE_TOOL)
        # The middle of the edge through the pointer.
        self.draw_shape(a, b, BLACK, via=[(300, 200)],
                        reached=lambda a, c: (c[0], (a[1] + c[1]) // 2))
        corners = [a, (b[0], a[1]), b, (a[0], b[1]), a]
        edges = list(zip(corners, corners[1:]))
        shot = self.x.screenshot()
        self.assert_drawn(shot, edges, BLACK)
        self.assertEqual(self.stray_pixels(shot, edges, 4), [])
        # Inside the outline the desktop shows through, also along the diagonal.
        for p in [(350, 250), (250, 160), (450, 340)]:
            self.assertEqual(self.board_pixel(*p, shot), self.desktop, "inside at %s" % (p,))
        self.assertFalse(self.board.owns(self.window_under_board_point(350, 250)))

    def test_the_line_starts_where_the_pointer_was_when_shift_went_down(self):
        a, b = (150, 250), (450, 250)
        self.choose(controls.LINE_TOOL)
        self.move_to_board(*a)
        # The press and the move go out together, so the board handles the press only once the
        # pointer has left for b, as on a busy machine with a quick hand.
        self.x.run("xdotool", "keydown", "--delay", "0", "shift",
                   "mousemove", *map(str, self.board.to_screen(*b)))
        self.x.key_up("shift")
        self.wait_for_pixel(300, 250, BLACK)  # halfway: only a line from a reaches it
        self.x.tap_key("shift")
        self.prove_pointer_seen()
        self.assert_drawn(self.x.screenshot(), [(a, b)], BLACK)

    def test_held_shift_is_not_repeated_when_the_user_turned_key_repeat_off(self):
        # A short delay, so that a repeat would come well within the sweep; then repeat off.
        self.x.run("xset", "r", "rate", "100", "50")
        self.x.run("xset", "r", "off")
        self.choose(controls.LINE_TOOL)
        a, y = (150, 300), 300
        self.move_to_board(*a)
        self.x.key_down("shift")
        try:
            # Each stop waits for the preview to reach it: the sweep outlasts the delay many
            # times over. A repeated Shift would fix the line so far and start the next one.
            for x in range(200, 651, 50):
                self.move_to_board(x, y)
                self.wait_for_pixel(x - 8, y, BLACK)
        finally:
            self.x.key_up("shift")
        # Ctrl drops the one line under way; nothing of it was fixed.
        self.x.tap_key("ctrl")
        self.wait_for_desktop(a[0] + 4, y - 3, 630, y + 3,
                              "the line's preview to go, leaving nothing fixed")


class PaletteAndPenTest(ToolbarTestCase):
    def setUp(self):
        super().setUp()
        self.choose(controls.LINE_TOOL)

    def test_swatch_gives_the_next_line_its_colour_and_is_shown_lowered(self):
        # The chosen swatch is framed black outside, white inside; the others keep a raised
        # bevel, light at the top left.
        dark, light = (0, 0, 0), (0xff, 0xff, 0xff)
        self.assertEqual(self.board_pixel(*controls.swatch_corner(*controls.BLACK_SWATCH)), dark)
        y = 120
        for chosen in (controls.RED_SWATCH, controls.TEAL_SWATCH):
            with self.subTest(swatch=chosen):
                self.choose(controls.swatch(*chosen))
                corner = controls.swatch_corner(*chosen)
                harness.poll_until(lambda: self.board_pixel(*corner) == dark,
                                   message="the chosen swatch to be lowered")
                shot = self.x.screenshot()
                inside = corner[0] + 1, corner[1] + 1
                self.assertEqual(self.board_pixel(*inside, shot), light)
                shown = self.board_pixel(*controls.swatch(*chosen), shot)
                self.assertEqual(shown, controls.SWATCH_RGB[chosen])
                self.assertEqual(
                    self.board_pixel(*controls.swatch_corner(*controls.BLACK_SWATCH), shot), light)

                self.draw_shape((150, y), (450, y), shown)
                shot = self.x.screenshot()
                self.assert_drawn(shot, [((150, y), (450, y))], shown)
                y += 100

    def test_pen_width_button_sets_the_thickness_of_the_next_line(self):
        y = 120
        for width in (12, 1):
            with self.subTest(width=width):
                self.choose(controls.PEN_WIDTH[width])
                self.draw_shape((150, y), (450, y), BLACK)
                shot = self.x.screenshot()
                for x in (200, 300, 400):
                    self.assertEqual(self.run_length(shot, x, y, BLACK), width,
                                     "across the line at x=%d" % x)
                y += 100


class PopupMenuTest(harness.BoardTestCase):
    def menu_at(self, x, y):
        """The open pop-up window whose top-left corner is the screen point, or None."""
        return next((w for w in self.board.popups() if w[1:3] == (x, y)), None)

    def open_and_close_menu(self, board_point):
        self.click_board(*board_point, button=3)
        at = self.board.to_screen(*board_point)
        menu = harness.poll_until(lambda: self.menu_at(*at),
                                  message="the pop-up menu to open at %s" % (at,))
        self.x.tap_key("Escape")
        harness.poll_until(lambda: menu[0] not in [w[0] for w in self.board.popups()],
                           message="Escape to close the pop-up menu")

    def test_right_click_on_the_toolbar_opens_the_menu_at_the_cursor(self):
        places = {
            "tbSystem background": controls.group_background("tbSystem"),
            "tbDraw background": controls.group_background("tbDraw", 200),
            "tool button": controls.LINE_TOOL,
            "palette swatch": controls.swatch(*controls.RED_SWATCH),
            "mode toggle": controls.TRANSLUCENT_TOGGLE,
        }
        for name, point in places.items():
            with self.subTest(place=name):
                self.open_and_close_menu(point)
        # None of the right presses started a drag: the board draws where the pointer is and
        # stays where it was.
        before = self.board.geometry()
        dot = (600, 300)
        self.move_to_board(*dot)
        self.x.key_down("shift")
        try:
            harness.poll_until(lambda: self.board_pixel(*dot) == BLACK,
                               message="a freehand dot at %s" % (dot,))
        finally:
            self.x.key_up("shift")
        self.assertEqual(self.board.geometry(), before)
        # A drawn pixel of the board opens the menu too.
        self.open_and_close_menu(dot)


if __name__ == "__main__":
    harness.main()
