"""The picture survives a crash: a board killed outright leaves its picture behind, and the next
board started opens with it."""

import glob
import os
import signal

import harness

BLACK = (0, 0, 0)
LINE = [(150, 200), (400, 200)]
DOT = (300, 300)


class RecoveryTest(harness.BoardTestCase):
    def recovery_files(self):
        return glob.glob(os.path.join(self.x.tmpdir, "state", "velmo", "recovery-*.bmp"))

    def draw_dot(self, x, y):
        self.x.move_mouse(*self.screen(x, y))
        self.x.key_down("shift")
        try:
            self.wait_for_pixel(x, y, BLACK)
        finally:
            self.x.key_up("shift")

    def recovered_picture(self):
        """The one recovery file left behind, decoded."""
        files = self.recovery_files()
        self.assertEqual(len(files), 1, files)
        with open(files[0], "rb") as f:
            return harness.decode_picture(f.read(), "bmp")

    def ends_keeping_the_last_change(self, end):
        """A change made just after a periodic write is in the file when `end` has ended the
        board: it was written on the way out, not left for the next period."""
        self.draw_dot(*LINE[0])
        harness.poll_until(self.recovery_files, timeout=15,
                           message="the first periodic write")
        self.draw_dot(*DOT)  # well inside the next 3 s
        status = end()
        picture = self.recovered_picture()
        self.assertEqual(picture.pixel(*LINE[0]), BLACK)
        self.assertEqual(picture.pixel(*DOT), BLACK)
        return status

    def test_sigterm_and_sighup_write_the_last_change_before_the_board_ends(self):
        for number in (signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=number.name):
                def end():
                    self.board.process.send_signal(number)
                    return self.board.process.wait(timeout=15)

                # Ended by the signal itself, as without a handler.
                self.assertEqual(self.ends_keeping_the_last_change(end), -number)
                for path in glob.glob(os.path.join(self.x.tmpdir, "state", "velmo", "*")):
                    os.remove(path)
                if number != signal.SIGHUP:
                    self.board.stop()
                    self.board = harness.Board(self.x, self.executable)
                    self.board.start()
                    self.origin = self.board.geometry()[:2]

    def test_a_lost_display_writes_the_last_change_before_the_board_ends(self):
        server = self.x._processes[0]  # Xvfb, started first

        def end():
            server.kill()
            server.wait()
            return self.board.process.wait(timeout=15)

        # Qt ends the board with exit(1) when its X connection breaks.
        self.assertEqual(self.ends_keeping_the_last_change(end), 1)

    def test_a_killed_board_comes_back_with_its_picture(self):
        (x0, y), (x1, _) = LINE
        self.wait_for_pixel(x0, y, self.desktop)
        self.draw_freehand_across(x0, x1, y, 10, 5)
        # Written within a few seconds of the change. A periodic write may have caught the stroke
        # half drawn (a busy machine draws it over more than one period): the file must hold its
        # end before the kill.
        def stroke_written():
            files = self.recovery_files()
            if len(files) != 1:
                return False
            with open(files[0], "rb") as f:
                picture = harness.decode_picture(f.read(), "bmp")
            return picture.pixel(x1 - 5, y) == BLACK

        harness.poll_until(stroke_written, timeout=15, message="the whole stroke to be written")

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
