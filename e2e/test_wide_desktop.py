"""A desktop wider than 1600 pixels: a stroke drawn right of x = 1600 stays on the board through
a shape's preview, an undo and a redo, is saved with the rest, and comes back after a crash."""

import glob
import os

import controls
import harness
from test_exchange import answer_box

BLACK = (0, 0, 0)
WIDTH, HEIGHT = 1920, 1080
STROKE = [(1700, 600), (1880, 600)]
AT = (1800, 600)


class WideDesktopTest(harness.BoardTestCase):
    screen_size = (WIDTH, HEIGHT)

    def setUp(self):
        super().setUp()
        self.board.resize(WIDTH, HEIGHT)
        self.wait_for_pixel(*AT, self.desktop)

    def draw_stroke(self):
        (x0, y), (x1, _) = STROKE
        self.draw_freehand_across(x0, x1, y, 10, 5)

    def recovery_files(self):
        return glob.glob(os.path.join(self.x.tmpdir, "state", "velmo", "recovery-*.bmp"))

    def test_stroke_beyond_1600_is_kept_undone_redone_saved_and_recovered(self):
        self.draw_stroke()
        self.x.key("alt+z")
        self.wait_for_pixel(*AT, self.desktop)
        self.x.key("alt+z")
        self.wait_for_pixel(*AT, BLACK)

        # A line's preview follows the pointer; every tick restores the board under it.
        self.click_board(*controls.LINE_TOOL)
        self.x.move_mouse(*self.screen(300, 300))
        self.x.key("shift")
        for x in range(320, 700, 40):
            self.x.move_mouse(*self.screen(x, 500))
        self.wait_for_pixel(680, 500, BLACK)
        self.x.key("ctrl")  # drops the line
        self.wait_for_pixel(680, 500, self.desktop)
        self.assertEqual(self.board_pixel(*AT), BLACK, "the stroke after the preview")

        path = os.path.join(self.x.tmpdir, "wide.bmp")
        self.x.key("alt+s")
        answer_box(self, "名前を付けて保存", "Return", typed=path)

        def written():
            if not os.path.exists(path):
                return None
            with open(path, "rb") as f:
                data = f.read()
            return data if len(data) == 54 + WIDTH * 1200 * 3 else None  # complete

        saved = harness.decode_picture(
            harness.poll_until(written, message="the picture to be saved"), "bmp")
        self.assertEqual((saved.width, saved.height), (WIDTH, 1200))
        self.assertEqual(saved.pixel(*AT), BLACK)
        self.assertEqual(saved.pixel(1600, 300), harness.KEY_RGB)

        # The recovery file holds it too: a board killed outright gives it back.
        harness.poll_until(self.recovery_files, timeout=15,
                           message="the recovery file to be written")
        self.board.process.kill()
        self.board.process.wait()
        self.board.stop()
        self.board = harness.Board(self.x, self.executable)
        self.board.start()
        self.board.resize(WIDTH, HEIGHT)
        self.origin = self.board.geometry()[:2]
        self.wait_for_pixel(*AT, BLACK)


if __name__ == "__main__":
    harness.main()
