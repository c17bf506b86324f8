"""Window modes on the real window: folding the toolbar away and back, dragging the window by its
toolbar, switching the window manager's frame off and on with the client area kept in place, and
the on-top and translucent toggles as the window manager sees them.
"""

import os

import controls
import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, TOOLBAR_HEIGHT

BLACK = (0, 0, 0)
DRAG_HANDLE = controls.group_background("tbSystem")


class FoldTest(harness.BoardTestCase):
    """The board starts on a picture that fills it, so the band the toolbar covered holds ink
    until the fold clears it."""

    INK = (200, 30, 30)

    def board_args_for_test(self):
        path = os.path.join(self.x.tmpdir, "filled.bmp")
        harness.write_bmp(path, CLIENT_WIDTH, CLIENT_HEIGHT,
                          [bytes(self.INK) * CLIENT_WIDTH] * CLIENT_HEIGHT)
        return [path]

    def toolbar_band(self, shot):
        sx, sy = self.screen(0, 0)
        return [shot.row_rgb(sy + y, sx, sx + CLIENT_WIDTH) for y in range(TOOLBAR_HEIGHT)]

    def wait_for_toolbar(self):
        """Polls until the whole toolbar band differs from the desktop in its bevel rows."""
        def shown():
            shot = self.x.screenshot()
            return all(self.board_pixel(x, y, shot) != self.desktop
                       for y in (0, 1, TOOLBAR_HEIGHT - 2, TOOLBAR_HEIGHT - 1)
                       for x in range(0, CLIENT_WIDTH, 7))

        harness.poll_until(shown, message="the toolbar to be shown")

    def test_fold_button_leaves_only_the_tab_and_the_tab_brings_the_toolbar_back(self):
        away = (CLIENT_WIDTH // 2, 300)
        self.move_to_board(*away)
        ink_row = bytes(self.INK) * (CLIENT_WIDTH - 1)
        self.wait_for_area(1, TOOLBAR_HEIGHT, CLIENT_WIDTH, CLIENT_HEIGHT, lambda y: ink_row,
                           "the picture to be shown")
        self.wait_for_toolbar()
        toolbar = self.toolbar_band(self.x.screenshot())

        self.click_board(*controls.fold_button(CLIENT_WIDTH))
        self.move_to_board(*away)
        tab_width, tab_height = controls.TAB
        # Right of the tab, and below it down to the first row under the former toolbar, the
        # picture is cleared: the desktop shows and the mouse goes through. Row 0 and column 0
        # are left as they were.
        right_of_tab = bytes(self.desktop) * (CLIENT_WIDTH - tab_width)
        self.wait_for_area(tab_width, 1, CLIENT_WIDTH, TOOLBAR_HEIGHT + 1,
                           lambda y: right_of_tab, "the toolbar band to show the desktop")
        below_tab = bytes(self.desktop) * (tab_width - 1)
        self.wait_for_area(1, tab_height, tab_width, TOOLBAR_HEIGHT + 1, lambda y: below_tab,
                           "the band below the tab to show the desktop")
        for point in [(tab_width, 2), (100, 16), (400, TOOLBAR_HEIGHT), (CLIENT_WIDTH - 9, 16),
                      (CLIENT_WIDTH - 1, TOOLBAR_HEIGHT - 1), (8, tab_height)]:
            with self.subTest(through=point):
                self.assertFalse(self.board.owns(self.window_under_board_point(*point)))
        # The rest of the picture stays.
        self.wait_for_area(1, TOOLBAR_HEIGHT + 1, CLIENT_WIDTH, CLIENT_HEIGHT,
                           lambda y: ink_row, "the picture below the band to stay")
        self.assertTrue(self.board.owns(self.window_under_board_point(400, TOOLBAR_HEIGHT + 1)))
        # The tab itself is drawn and takes the mouse.
        shot = self.x.screenshot()
        self.assertTrue(any(self.board_pixel(x, y, shot) != self.desktop
                            for x in range(1, tab_width) for y in range(1, tab_height)))
        self.assertTrue(self.board.owns(self.window_under_board_point(*controls.RESTORE_BUTTON)))

        self.click_board(*controls.RESTORE_BUTTON)
        self.move_to_board(*away)
        harness.poll_until(lambda: self.toolbar_band(self.x.screenshot()) == toolbar,
                           message="the toolbar to look as it did before the fold")
        for point in [(100, 16), (400, 30), (CLIENT_WIDTH - 1, TOOLBAR_HEIGHT - 1)]:
            with self.subTest(restored=point):
                self.assertTrue(self.board.owns(self.window_under_board_point(*point)))
        # Restoring paints nothing: the cleared row under the toolbar stays clear.
        self.assertEqual(self.board_pixel(400, TOOLBAR_HEIGHT), self.desktop)


class FoldUnderCompositorTest(FoldTest):
    """With a compositor the folded band is painted clear and left out of the input shape."""

    compositor = True


class DragTest(harness.BoardTestCase):
    screen_size = (1280, 1024)  # room to move the window

    def press_and_drag(self, dx, dy, steps=8):
        """Presses the left button on the toolbar's background and walks the pointer by (dx, dy);
        returns the pointer's screen position."""
        start = self.board.to_screen(*DRAG_HANDLE)
        self.x.move_mouse(*start)
        self.x.run("xdotool", "mousedown", "1")
        for i in range(1, steps + 1):
            self.x.move_mouse(start[0] + dx * i // steps, start[1] + dy * i // steps)
        return start[0] + dx, start[1] + dy

    def draw_dot(self, point):
        """Holds Shift at a board point until the freehand dot shows: the board has ticked with
        the pointer there."""
        self.move_to_board(*point)
        self.x.key_down("shift")
        try:
            harness.poll_until(lambda: self.x.pixel(*self.board.to_screen(*point)) == BLACK,
                               message="a dot at board point %s" % (point,))
        finally:
            self.x.key_up("shift")

    def test_left_drag_on_the_toolbar_background_moves_the_window_with_the_cursor(self):
        x0, y0, width, height = self.board.geometry()
        self.press_and_drag(200, 150)
        try:
            # The window keeps the pointer's offset to its corner.
            harness.poll_until(lambda: self.board.geometry() == (x0 + 200, y0 + 150, width, height),
                               message="the window to follow the pointer")
        finally:
            self.x.run("xdotool", "mouseup", "1")
        # Released, it stays where the drag left it while the pointer moves on.
        self.draw_dot((400, 300))
        self.assertEqual(self.board.geometry(), (x0 + 200, y0 + 150, width, height))

    def test_release_outside_the_window_ends_the_drag(self):
        x0, y0, width, height = self.board.geometry()
        px, py = self.press_and_drag(200, 150)
        try:
            harness.poll_until(lambda: self.board.geometry()[:2] == (x0 + 200, y0 + 150),
                               message="the window to follow the pointer")
            # Up and left past the window's corner, released before the window can catch up.
            jump = (-150, -100)
            self.x.run("xdotool", "mousemove", str(px + jump[0]), str(py + jump[1]),
                       "mouseup", "1")
        except BaseException:
            self.x.run("xdotool", "mouseup", "1")
            raise
        # Were the drag still on, the window would run after the pointer and the dot would not
        # land at the board point the pointer was sent to.
        self.draw_dot((400, 300))
        # The window is where the drag left it; only a tick that slipped in between the jump and
        # the release could have moved it by the jump.
        self.assertIn(self.board.geometry()[:2],
                      [(x0 + 200, y0 + 150), (x0 + 200 + jump[0], y0 + 150 + jump[1])])

    def test_press_on_a_button_or_swatch_does_not_drag(self):
        geometry = self.board.geometry()
        for dot, control in [((300, 300), controls.LINE_TOOL),
                             ((500, 300), controls.swatch(*controls.RED_SWATCH))]:
            with self.subTest(control=control):
                start = self.board.to_screen(*control)
                self.x.move_mouse(*start)
                self.x.run("xdotool", "mousedown", "1")
                try:
                    self.x.move_mouse(start[0] + 120, start[1] + 90)
                    self.draw_dot(dot)
                finally:
                    self.x.run("xdotool", "mouseup", "1")
                self.assertEqual(self.board.geometry(), geometry)


class DragUnderWindowManagerTest(DragTest):
    """The window manager moves the frame with the board; the client area follows the pointer."""

    window_manager = "openbox"


class FrameTest(harness.BoardTestCase):
    window_manager = "openbox"
    screen_size = (1280, 1024)  # room to move the window

    def open_menu_item(self, *keys):
        """Opens the pop-up menu on the toolbar and walks into it with its access keys."""
        self.click_board(*controls.group_background("tbDraw", 120), button=3)
        for depth, key in enumerate(keys, start=1):
            harness.poll_until(lambda: len(self.board.popups()) >= depth,
                               message="menu level %d to open" % depth)
            self.x.tap_key(key)
        harness.poll_until(lambda: not self.board.popups(), message="the menu to close")

    def drag_by(self, dx, dy):
        """Drags the window by its toolbar by (dx, dy) and checks that the client area moved by
        just that, whatever frame the window manager has put around it meanwhile."""
        x0, y0, width, height = self.board.geometry()
        DragTest.press_and_drag(self, dx, dy)
        seen = []

        def moved():
            seen[:] = [self.board.geometry()]
            return seen[0] == (x0 + dx, y0 + dy, width, height)

        try:
            harness.poll_until(moved, message="the client area to move by (%d, %d) from %s"
                               % (dx, dy, (x0, y0)))
        except harness.Timeout as e:
            raise harness.Timeout("%s; it is at %s" % (e, seen[0][:2])) from None
        finally:
            self.x.run("xdotool", "mouseup", "1")

    def test_drags_after_a_frame_toggle_move_by_the_pointer_s_path(self):
        harness.poll_until(self.board.frame_extents,
                           message="the window manager to announce its frame")
        client = self.board.geometry()
        self.click_board(*controls.FRAME_TOGGLE)
        harness.poll_until(lambda: self.board.frame_extents() == (0, 0, 0, 0),
                           message="the frame to go")
        harness.poll_until(lambda: self.board.geometry() == client,
                           message="the client area to stay at %s" % (client,))
        self.drag_by(100, 100)
        self.drag_by(-50, 40)
        self.click_board(*controls.FRAME_TOGGLE)
        harness.poll_until(lambda: self.board.frame_extents() not in (None, (0, 0, 0, 0)),
                           message="the frame to come back")
        self.drag_by(100, 100)
        self.drag_by(-50, 40)

    def test_frame_toggle_keeps_the_client_area_where_it_is(self):
        client = self.board.geometry()
        framed = harness.poll_until(self.board.frame_extents,
                                    message="the window manager to announce its frame")
        self.assertNotEqual(framed, (0, 0, 0, 0))

        self.click_board(*controls.FRAME_TOGGLE)
        harness.poll_until(lambda: self.board.frame_extents() == (0, 0, 0, 0),
                           message="the frame to go")
        harness.poll_until(lambda: self.board.geometry() == client,
                           message="the client area to stay at %s" % (client,))

        # Back on through the menu: 設定(&S) > 枠(&F).
        self.open_menu_item("s", "f")
        harness.poll_until(lambda: self.board.frame_extents() == framed,
                           message="the frame to come back")
        harness.poll_until(lambda: self.board.geometry() == client,
                           message="the client area to stay at %s" % (client,))

    def window_properties(self):
        """The EWMH state and opacity properties of the board's window."""
        return self.x.run("xprop", "-id", str(self.board.window), "_NET_WM_STATE",
                          "_NET_WM_WINDOW_OPACITY", check=False)

    def test_on_top_and_translucent_toggles_reach_the_window_manager(self):
        on_top = controls.button("tbConfig", 0)  # Panel20
        self.click_board(*on_top)
        harness.poll_until(lambda: "_NET_WM_STATE_ABOVE" in self.window_properties(),
                           message="the window to be kept above the others")
        self.click_board(*controls.TRANSLUCENT_TOGGLE)
        # 127 of 255, as the window manager's 32-bit opacity.
        harness.poll_until(lambda: "OPACITY(CARDINAL) = %d" % (127 * 0x01010101)
                           in self.window_properties(), message="the window to be translucent")
        self.click_board(*on_top)
        harness.poll_until(lambda: "_NET_WM_STATE_ABOVE" not in self.window_properties(),
                           message="the window to stack normally again")


if __name__ == "__main__":
    harness.main()
