"""The whole-picture commands on the real board: erase all with its question, save and open
through the board's file dialogs, and the help window."""

import os

import harness
from editing import PATCH, PATCH_LEFT, PATCH_TOP, PatchTestCase
from test_exchange import answer_box

# The board's message boxes carry the application's title, exactly.
BOX_TITLE = r"Velmora Board Ver\. 2\.3"


def written_file(path, complete, message):
    """Polls until the file at `path` exists and its bytes are complete; returns them."""
    def written():
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            data = f.read()
        return data if complete(data) else None

    return harness.poll_until(written, message=message)


class FileCommandsTest(PatchTestCase):
    def erase_all(self, answer):
        self.x.key("F2")
        answer_box(self, BOX_TITLE, answer)

    def test_erase_all_asks_first_and_can_be_undone(self):
        self.erase_all("Escape")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "after erase all was cancelled")

        self.erase_all("Return")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "after erase all")
        self.wait_owned((PATCH_LEFT + 30, PATCH_TOP + 20), owned=False)

        # The undo picture was taken before the question: it holds the patch.
        self.x.key("alt+z")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "undo of erase all")

    def test_saved_picture_is_the_whole_board_and_opens_again(self):
        path = os.path.join(self.x.tmpdir, "board.bmp")
        self.x.key("alt+s")
        answer_box(self, "名前を付けて保存", "Return", typed=path)

        data = written_file(path, lambda data: len(data) == 54 + 1600 * 1200 * 3,
                            "the picture to be saved")
        saved = harness.decode_picture(data, "bmp")
        self.assertEqual((saved.width, saved.height), (1600, 1200))
        for y, row in enumerate(PATCH):
            self.assertEqual(saved.row_rgb(PATCH_TOP + y, PATCH_LEFT, PATCH_LEFT + 60), row,
                             "row %d of the patch in the file" % y)
        self.assertEqual(saved.pixel(5, 5), harness.KEY_RGB)

        self.erase_all("Return")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "after erase all")
        self.x.key("alt+o")
        answer_box(self, "開く", "Return", typed=path)
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the reopened picture")

    def test_picture_saved_as_png_keeps_its_see_through_parts_and_opens_again(self):
        path = os.path.join(self.x.tmpdir, "board.png")
        self.x.key("alt+s")
        answer_box(self, "名前を付けて保存", "Return", typed=path)

        data = written_file(path, lambda data: data.endswith(b"IEND\xaeB`\x82"),
                            "the PNG to be saved")
        saved = harness.decode_picture(data, "png")
        self.assertEqual((saved.width, saved.height), (1600, 1200))
        for y, row in enumerate(PATCH):
            self.assertEqual(saved.row_rgb(PATCH_TOP + y, PATCH_LEFT, PATCH_LEFT + 60), row,
                             "row %d of the patch in the file" % y)
        alpha = harness.decode_alpha(data)
        self.assertEqual(alpha.pixel(5, 5), (0, 0, 0))
        self.assertEqual(alpha.pixel(PATCH_LEFT, PATCH_TOP), (255, 255, 255))

        self.erase_all("Return")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "after erase all")
        self.x.key("alt+o")
        answer_box(self, "開く", "Return", typed=path)
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the reopened PNG")

    def test_help_opens_in_a_window_of_its_own(self):
        self.x.key("F1")
        window = harness.poll_until(
            lambda: self.x.run("xdotool", "search", "--onlyvisible", "--name",
                               "^Velmora Board ヘルプ$", check=False).split(),
            message="the help window")[0]
        harness.poll_until(lambda: self.x.focused_window() == int(window),
                           message="the help window to take the keyboard")
        # It shows the page: dark text on a light ground.
        info = self.x.run("xwininfo", "-id", window)
        field = {k.strip(): v.strip() for k, v in
                 (line.split(":", 1) for line in info.splitlines() if ":" in line)}
        left, top = int(field["Absolute upper-left X"]), int(field["Absolute upper-left Y"])
        width, height = int(field["Width"]), int(field["Height"])

        def text_shown():
            shot = self.x.screenshot()
            dark = 0
            for y in range(top, top + min(height, 200)):
                row = shot.row_rgb(y, left, left + width)
                dark += sum(1 for i in range(0, len(row), 3) if max(row[i:i + 3]) < 96)
            return dark > 200

        harness.poll_until(text_shown, message="the help page's text")


if __name__ == "__main__":
    harness.main()
