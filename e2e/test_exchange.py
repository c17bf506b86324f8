"""Pictures exchanged with other programs: the X clipboard both ways, and bitmap files chosen
through the board's file dialogs."""

import os

import harness
from editing import (AROUND_PATCH, BLACK, FAR_MARGIN, MARGIN, PATCH, PATCH_LEFT, PATCH_RECT,
                     PATCH_TOP, PatchTestCase, framed, quadrants)

TEAL, PINK, OLIVE, GREY = (0, 128, 128), (240, 120, 180), (110, 110, 0), (90, 90, 90)


def answer_box(test, title, key, typed=None):
    """Waits for the board's modal box or dialog of that title to take the keyboard, types into
    it, presses the key, and waits until the board has the keyboard again."""
    box = harness.poll_until(
        lambda: test.x.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title,
                           check=False).split(), message="the box %s" % title)[0]
    harness.poll_until(lambda: test.x.focused_window() == int(box),
                       message="the box %s to take the keyboard" % title)
    if typed:
        test.x.run("xdotool", "type", "--delay", "2", typed)
    test.x.key(key)
    harness.poll_until(lambda: test.x.focused_window() == test.board.window,
                       message="the box to close and hand the keyboard back")


class ClipboardTest(PatchTestCase):
    def test_picture_offered_by_another_program_is_pasted_as_stamp_and_placed(self):
        width, height = 48, 36
        picture = quadrants(width, height, (TEAL, PINK, OLIVE, GREY))
        path = os.path.join(self.x.tmpdir, "offered.png")
        harness.write_png(path, width, height, picture)
        self.x.offer_clipboard(path, "image/png")

        at = (300, 200)
        self.x.move_mouse(*self.screen(*at))
        self.x.key("alt+v")
        self.wait_for_picture(*at, picture, "the pasted picture at the pointer")
        self.x.key("shift")
        # The paste kept the board as it was for undo; undoing twice brings the stamp back.
        self.x.key("alt+z")
        self.wait_for_desktop(at[0], at[1], at[0] + width, at[1] + height, "undo of the paste")
        self.x.key("alt+z")
        self.wait_for_picture(*at, picture, "redo of the paste")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the picture beside it")
        self.wait_owned((at[0] + width // 2, at[1] + height // 2))

    def test_copied_selection_can_be_read_from_the_clipboard_by_another_program(self):
        self.assertNotIn("image/png", self.x.clipboard_targets(), "a fresh display's clipboard")
        self.select(*AROUND_PATCH, changing=PATCH_RECT)
        self.x.key("alt+c")
        harness.poll_until(lambda: "image/png" in self.x.clipboard_targets(),
                           message="the board to offer its copy as PNG")

        copied = harness.decode_picture(self.x.read_clipboard("image/png"), "png")
        expected = framed(PATCH, MARGIN, FAR_MARGIN)
        (left, top), (right, bottom) = AROUND_PATCH
        self.assertEqual((copied.width, copied.height), (right - left, bottom - top))
        for y, row in enumerate(expected):
            self.assertEqual(copied.row_rgb(y, 0, copied.width), row, "row %d of the copy" % y)
        # The PNG has the key colour transparent, everything else opaque; the bitmap is offered
        # beside it, as it was.
        alpha = harness.decode_alpha(self.x.read_clipboard("image/png"))
        self.assertEqual(alpha.pixel(0, 0), (0, 0, 0))
        self.assertEqual(alpha.pixel(MARGIN, MARGIN), (255, 255, 255))
        self.assertIn("image/bmp", self.x.clipboard_targets())
        bitmap = harness.decode_picture(self.x.read_clipboard("image/bmp"), "bmp")
        self.assertEqual([bitmap.row_rgb(y, 0, bitmap.width) for y in range(bitmap.height)],
                         expected)

        # Copying leaves the picture in place and takes the frame off the board.
        self.wait_for_picture(left, top, expected, "the copied range without its frame")

    def test_paste_without_a_picture_on_the_clipboard_reports_it_and_keeps_the_tool(self):
        self.x.move_mouse(*self.screen(400, 250))
        self.x.key("alt+v")
        answer_box(self, "Velmora Board Ver. 2.3", "Return")
        # Still the freehand tool: a held Shift draws at the pointer.
        self.x.key_down("shift")
        try:
            self.wait_for_pixel(400, 250, BLACK)
        finally:
            self.x.key_up("shift")


class FileDialogTest(PatchTestCase):
    """The board's own file dialogs take a typed path and Return."""

    def answer_dialog(self, title, path):
        answer_box(self, title, "Return", typed=path)

    def test_picture_pasted_from_a_file_is_stamped_at_the_pointer(self):
        width, height = 30, 24
        picture = quadrants(width, height, (TEAL, PINK, OLIVE, GREY))
        path = os.path.join(self.x.tmpdir, "stamp.bmp")
        harness.write_bmp(path, width, height, picture)
        at = (500, 300)
        self.x.move_mouse(*self.screen(*at))
        self.x.key("alt+n")
        self.answer_dialog("開く", path)
        self.wait_for_picture(*at, picture, "the stamp from the file at the pointer")

    def test_selection_copied_to_a_file_is_written_as_a_bitmap(self):
        self.select(*AROUND_PATCH, changing=PATCH_RECT)
        path = os.path.join(self.x.tmpdir, "copy.bmp")
        self.x.key("alt+b")
        self.answer_dialog("名前を付けて保存", path)
        expected = framed(PATCH, MARGIN, FAR_MARGIN)

        def written():
            if not os.path.exists(path):
                return None
            with open(path, "rb") as f:
                data = f.read()
            try:
                return harness.decode_picture(data, "bmp")
            except Exception:  # still being written
                return None

        copy = harness.poll_until(written, message="the bitmap file to be written")
        self.assertEqual((copy.width, copy.height), (len(expected[0]) // 3, len(expected)))
        for y, row in enumerate(expected):
            self.assertEqual(copy.row_rgb(y, 0, copy.width), row, "row %d of the file" % y)


if __name__ == "__main__":
    harness.main()
