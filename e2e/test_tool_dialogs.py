"""The extension tools and the text stamp dialogs, driven from the keyboard as a user would."""

import os

import controls
import harness
from test_settings import SETTINGS_BUTTON, ask_to_close
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


class DialogsBelongToTheBoardTest(ToolDialogTestCase):
    """Under a window manager each dialog is the board's: transient for it, of the dialog type,
    never left behind a board that takes no input while it is open."""

    window_manager = "openbox"

    def openers(self):
        return (("拡張ツール", lambda: self.x.key("alt+e")),
                ("テキスト", lambda: self.click_toolbar_button(TB_DRAW, TEXT_TOOL)),
                ("環境設定", lambda: self.click_toolbar_button(
                    controls.GROUP_LEFT[SETTINGS_BUTTON[0]], SETTINGS_BUTTON[1])))

    def open_dialog(self, title, opener):
        opener()
        self.wait_for_dialog(title)
        return self.x.focused_window()

    def prop(self, window, name):
        """The value of a property as xprop shows it, after the "=" or ":"."""
        out = self.x.run("xprop", "-id", str(window), name)
        return out.split("=", 1)[1].strip() if "=" in out else out.split(":", 1)[-1].strip()

    def viewable(self, window):
        return "IsViewable" in self.x.run("xwininfo", "-id", str(window))

    def test_each_dialog_is_a_dialog_transient_for_the_board_that_cannot_be_maximised(self):
        for title, opener in self.openers():
            dialog = self.open_dialog(title, opener)
            transient = self.prop(dialog, "WM_TRANSIENT_FOR")
            self.assertEqual(int(transient.split("#")[-1].strip(), 16), self.board.window, title)
            # The first type is the one meant; the others are fallbacks for older managers.
            self.assertEqual(self.prop(dialog, "_NET_WM_WINDOW_TYPE").split(",")[0],
                             "_NET_WM_WINDOW_TYPE_DIALOG", title)
            actions = self.prop(dialog, "_NET_WM_ALLOWED_ACTIONS")
            self.assertIn("_NET_WM_ACTION_CLOSE", actions, title)
            self.assertNotIn("MAXIMIZE", actions, title)
            self.assertNotIn("_NET_WM_ACTION_RESIZE", actions, title)
            self.x.key("Escape")
            self.wait_for_board_keyboard()

    def test_a_minimised_dialog_comes_back_when_the_board_is_activated(self):
        for title, opener in self.openers():
            dialog = self.open_dialog(title, opener)
            self.x.run("xdotool", "windowminimize", str(dialog))
            harness.poll_until(lambda: not self.viewable(dialog),
                               message="the dialog %s to be minimised" % title)
            # As a task bar or window list would: the board is asked to the front.
            self.x.run("xdotool", "windowactivate", str(self.board.window), check=False)
            harness.poll_until(lambda: self.viewable(dialog),
                               message="the dialog %s to come back" % title)
            harness.poll_until(lambda: self.x.focused_window() == dialog,
                               message="the dialog %s to have the keyboard again" % title)
            self.x.key("Escape")
            self.wait_for_board_keyboard()

    def test_the_boards_close_box_brings_the_open_dialog_to_the_front(self):
        config = os.path.join(self.board.cwd, "config.ini")
        for title, opener in self.openers():
            dialog = self.open_dialog(title, opener)
            ask_to_close(self.x.display, self.board.window)
            harness.poll_until(lambda: self.x.focused_window() == dialog,
                               message="the dialog %s to be in front" % title)
            self.assertIsNone(self.board.process.poll(), "the board closed under " + title)
            self.assertFalse(os.path.exists(config), "the settings were written")
            self.x.key("Escape")
            self.wait_for_board_keyboard()

    def test_the_frame_is_centred_from_the_first_opening(self):
        for title, opener in self.openers():
            dialog = self.open_dialog(title, opener)

            def frame():
                info = self.x.run("xwininfo", "-id", str(dialog))
                f = dict(l.strip().split(":", 1) for l in info.splitlines() if ":" in l)
                left, top = int(f["Absolute upper-left X"]), int(f["Absolute upper-left Y"])
                extents = self.prop(dialog, "_NET_FRAME_EXTENTS")
                if "," not in extents:
                    return None
                l, r, t, b = (int(v) for v in extents.split(","))
                return (left - l, top - t, 480 + l + r, 240 + t + b)

            def centred():
                f = frame()
                if f is None:
                    return False
                dx = f[0] + f[2] / 2 - self.x.width / 2
                dy = f[1] + f[3] / 2 - self.x.height / 2
                return abs(dx) <= 1 and abs(dy) <= 1

            try:
                harness.poll_until(centred, message="the frame of %s to be centred" % title)
            except harness.Timeout:
                self.fail("the frame of %s at %s" % (title, frame()))
            self.x.key("Escape")
            self.wait_for_board_keyboard()


if __name__ == "__main__":
    harness.main()
