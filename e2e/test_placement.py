"""A "config.ini" from another desktop or edited by hand: the board still starts on the screen
with its whole toolbar, and closing it unchanged leaves the stored geometry as it was."""

import controls
import harness
from test_settings import SettingsTestCase

# The toolbar's groups end at 874; the fold button's panel takes the last 17 pixels.
TOOLBAR_WIDTH = 874 + 17


class PlacementTestCase(SettingsTestCase):
    def assert_on_screen_and_whole(self):
        left, top, width, height = self.board.geometry()
        self.assertGreaterEqual(left, 0)
        self.assertGreaterEqual(top, 0)
        self.assertLessEqual(left + width, self.x.width)
        self.assertLessEqual(top + height, self.x.height)
        self.assertGreaterEqual(width, TOOLBAR_WIDTH)
        self.assertGreaterEqual(height, controls.TOOLBAR_HEIGHT)
        # Both ends of the toolbar take the mouse: the first button and the fold button.
        for point in (controls.button("tbSystem", 0), controls.fold_button(width)):
            self.assertTrue(self.board.owns(self.window_under_board_point(*point)), point)

    def assert_stored_geometry_kept(self, expected):
        self.exit_from_menu(controls.group_background("tbSystem"))
        stored = self.stored()
        self.assertEqual({k: stored.get(("form1", k)) for k in expected}, expected)


class OffScreenTest(PlacementTestCase):
    # As after unplugging the monitor right of a 1024-wide laptop screen.
    config = "[form1]\nleft=3000\ntop=2000\nwidth=700\nheight=400\n[confirm]\nonExitMenu=0\n"

    def test_board_stored_off_screen_starts_on_it(self):
        self.assert_on_screen_and_whole()
        self.assert_stored_geometry_kept({"left": "3000", "top": "2000", "width": "700",
                                          "height": "400"})


class WidthZeroTest(PlacementTestCase):
    config = "[form1]\nwidth=0\nheight=0\n[confirm]\nonExitMenu=0\n"

    def test_board_stored_without_a_size_starts_with_its_whole_toolbar(self):
        self.assertEqual(self.board.geometry()[2:], (TOOLBAR_WIDTH, controls.TOOLBAR_HEIGHT))
        self.assert_on_screen_and_whole()
        self.assert_stored_geometry_kept({"width": "0", "height": "0"})


if __name__ == "__main__":
    harness.main()
