"""The picture survives a crash: a board killed outright leaves its picture behind, and the next
board started opens with it."""

import glob
import os

import harness

BLACK = (0, 0, 0)
LINE = [(150, 200), (400, 200)]


class RecoveryTest(harness.BoardTestCase):
    def recovery_files(self):
        return glob.glob(os.path.join(self.x.tmpdir, "state", "velmo", "recovery-*.bmp"))

    def test_a_killed_board_comes_back_with_its_picture(self):
        (x0, y), (x1, _) = LINE
        self.wait_for_pixel(x0, y, self.desktop)
        self.x.move_mouse(*self.screen(x0, y))
        self.x.key_down("shift")
        try:
            self.wait_for_pixel(x0, y, BLACK)
            for x in range(x0 + 10, x1 + 1, 10):
                self.x.move_mouse(*self.screen(x, y))
            self.wait_for_pixel(x1 - 5, y, BLACK)
        finally:
            self.x.key_up("shift")
        # Written within a few seconds of the change.
        harness.poll_until(self.recovery_files, timeout=15,
                           message="the recovery file to be written")

        self.board.process.kill()
        self.board.process.wait()
        self.board.stop()

        self.board = harness.Board(self.x, self.executable)
        self.board.start()
        self.origin = self.board.geometry()[:2]
        for x in (x0 + 5, (x0 + x1) // 2, x1 - 5):
            self.wait_for_pixel(x, y, BLACK)
        # The left-behind file goes once the new board has saved the picture itself.
        harness.poll_until(lambda: len(self.recovery_files()) == 1
                           and str(self.board.process.pid) in self.recovery_files()[0],
                           timeout=15, message="the old recovery file to be replaced")


if __name__ == "__main__":
    harness.main()
