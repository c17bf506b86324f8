"""The extension tools and the text stamp dialogs, driven from the keyboard as a user would."""

import harness
from editing import (BLACK, BLUE, GREEN, ORANGE, PATCH_LEFT, PATCH_TOP, RED, TB_DRAW,
                     PatchTestCase, quadrants)

TEXT_TOOL = 10  # "テキスト" in the drawing group


def negated(rgb):
    return tuple(255 - c for c in rgb)


class ToolDialogTestCase(PatchTestCase):
    def wait_for_dialog(self, title):
        """Waits until the dialog of that title is shown and has the keyboard."""
        window = harness.poll_until(
            lambda: self.x.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title,
                               check=False).split(), message="the dialog %s" % title)[0]
        harness.poll_until(lambda: self.x.focused_window() == int(window),
                           message="the dialog %s to take the keyboard" % title)

    def wait_for_board_keyboard(self):
        harness.poll_until(lambda: self.x.focused_window() == self.board.window,
                           message="the dialog to close and hand the keyboard back")


class ExtensionToolsTest(ToolDialogTestCase):
    def test_negative_from_the_keyboard_then_one_undo_after_closing(self):
        self.x.key("alt+e")
        self.wait_for_dialog("拡張ツール")
        # From "閉じる" to the page tabs, two pages on to "ネガポジ反転", into the page's button
        # "反転", and press it.
        self.x.key("Tab", "Right", "Right", "Tab", "Return")
        negative = quadrants(60, 40, tuple(negated(c) for c in (RED, GREEN, BLUE, ORANGE)))
        self.wait_for_picture(PATCH_LEFT, PATCH_TOP, negative, "the negative of the patch")
        # See-through pixels stay see-through.
        self.wait_for_desktop(PATCH_LEFT - 10, PATCH_TOP - 10, PATCH_LEFT, PATCH_TOP,
                              "the board beside the patch")
        # The button keeps the focus through the run: Enter presses it again, and again.
        self.x.key("Return")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the second negative")
        self.x.key("Return")
        self.wait_for_picture(PATCH_LEFT, PATCH_TOP, negative, "the third negative")
        self.x.key("Escape")
        self.wait_for_board_keyboard()
        self.x.key("alt+z")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "undo after the dialog")


class ExtensionToolsUnderWindowManagerTest(ExtensionToolsTest):
    """The dialog and the board hand the keyboard to each other through a window manager."""

    window_manager = "openbox"


class TextStampTest(ToolDialogTestCase):
    def text_pixels(self, left, top, right, bottom):
        """Counts the black pixels of the board rectangle; fails on any pixel that is neither
        black nor the desktop, so a text drawn with smoothing would show."""
        shot = self.x.screenshot()
        sx, sy = self.screen(0, 0)
        inked = 0
        for y in range(top, bottom):
            row = shot.row_rgb(sy + y, sx + left, sx + right)
            for i in range(0, len(row), 3):
                rgb = tuple(row[i:i + 3])
                if rgb == BLACK:
                    inked += 1
                else:
                    self.assertEqual(rgb, self.desktop, "board point %d,%d" % (left + i // 3, y))
        return inked

    def test_typed_text_follows_the_pointer_and_is_placed_with_shift(self):
        self.click_toolbar_button(TB_DRAW, TEXT_TOOL)
        self.wait_for_dialog("テキスト")
        self.x.key("ctrl+a")
        self.x.run("xdotool", "type", "--delay", "2", "Velmo")
        self.x.key("Return")
        self.wait_for_board_keyboard()

        at, size = (400, 300), (80, 24)
        area = (at[0], at[1], at[0] + size[0], at[1] + size[1])
        self.x.move_mouse(*self.screen(*at))
        harness.poll_until(lambda: self.text_pixels(*area) > 20,
                           message="the text to follow the pointer")
        self.x.key("shift")
        # Undo and redo of the placement show once every key sent before has been handled.
        self.wait_until_keys_handled(area)

        elsewhere = (600, 350)
        self.x.move_mouse(*self.screen(*elsewhere))
        self.assertGreater(self.text_pixels(*area), 20)
        self.wait_for_desktop(elsewhere[0], elsewhere[1], elsewhere[0] + size[0],
                              elsewhere[1] + size[1], "nothing follows the pointer once placed")
        self.assertGreater(self.text_pixels(*area), 20, "the placed text stays")


if __name__ == "__main__":
    harness.main()
