"""A blank board is invisible and lets the mouse through, except for its toolbar."""

import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, TOOLBAR_HEIGHT


class BlankBoardTest(harness.BoardTestCase):
    def test_starts_with_the_designed_client_size_and_a_visual_for_the_desktop(self):
        self.assertEqual(self.board.geometry()[2:], (CLIENT_WIDTH, CLIENT_HEIGHT))
        # An alpha channel only where a compositor blends it; without one the shape does the work.
        self.assertEqual(self.board.depth(), 32 if self.compositor else 24)

    def test_key_coloured_surface_shows_the_desktop_and_lets_the_mouse_through(self):
        desktop_row = bytes(self.desktop) * (CLIENT_WIDTH - 1)
        self.wait_for_area(1, TOOLBAR_HEIGHT, CLIENT_WIDTH, CLIENT_HEIGHT,
                           lambda y: desktop_row, "the blank board to show the desktop")
        for x, y in [(1, TOOLBAR_HEIGHT), (CLIENT_WIDTH // 2, CLIENT_HEIGHT // 2), (40, 300),
                     (CLIENT_WIDTH - 1, CLIENT_HEIGHT - 1), (700, TOOLBAR_HEIGHT + 5)]:
            with self.subTest(point=(x, y)):
                self.assertFalse(self.board.owns(self.window_under_board_point(x, y)))

    def test_toolbar_band_is_shown_and_belongs_to_the_board(self):
        # The rows above and below the buttons and swatches are panel background and bevels;
        # the swatches themselves may happen to match the desktop (a grey one does).
        rows = [0, 1, 2, 3, TOOLBAR_HEIGHT - 4, TOOLBAR_HEIGHT - 3, TOOLBAR_HEIGHT - 2,
                TOOLBAR_HEIGHT - 1]

        def band_shown():
            shot = self.x.screenshot()
            return all(self.board_pixel(x, y, shot) != self.desktop
                       for y in rows for x in range(0, CLIENT_WIDTH, 7))

        harness.poll_until(band_shown, message="the toolbar to be shown")
        for x, y in [(0, 0), (3, TOOLBAR_HEIGHT - 1), (CLIENT_WIDTH // 2, TOOLBAR_HEIGHT // 2),
                     (CLIENT_WIDTH - 1, 1)]:
            with self.subTest(point=(x, y)):
                self.assertTrue(self.board.owns(self.window_under_board_point(x, y)))


class BlankBoardUnderWindowManagerTest(BlankBoardTest):
    """The same, with the board reparented into a window manager's frame."""

    window_manager = "openbox"


class BlankBoardUnderCompositorTest(BlankBoardTest):
    """The same with a compositing manager: the board paints its key colour fully clear through
    an alpha channel and keeps only the input shape."""

    compositor = True


if __name__ == "__main__":
    harness.main()
