"""A running board driven from outside with `velmo --remote`, over a real session bus (the test
runs under dbus-run-session). The client runs without a display: it must never need one."""

import os
import subprocess
import time

import harness
from editing import PATCH, PATCH_LEFT, PATCH_TOP, RED, PatchTestCase

# A see-through point of the patch picture, away from the patch.
CLEAR_POINT = (400, 300)


class RemoteTest(PatchTestCase):
    def remote(self, *args, cwd=None, status=0, before=()):
        env = self.x.env()
        env.pop("DISPLAY", None)
        argv = [self.executable] + list(before) + ["--remote"] + list(args)
        done = subprocess.run(argv, env=env, cwd=cwd or self.x.tmpdir, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=harness.DEFAULT_TIMEOUT)
        err = done.stderr.decode(errors="replace")
        self.assertEqual(done.returncode, status, "velmo --remote %s: %s" % (" ".join(args), err))
        return done.stdout.decode(errors="replace"), err

    def read_png(self, path, alpha=False):
        with open(path, "rb") as f:
            data = f.read()
        return harness.decode_alpha(data) if alpha else harness.decode_picture(data, "png")

    def test_hidden_board_comes_back_with_its_picture(self):
        self.remote("hide")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "the hidden board")
        self.wait_owned((PATCH_LEFT + 5, PATCH_TOP + 5), owned=False)
        self.remote("toggle")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the board shown again")
        self.wait_owned((PATCH_LEFT + 5, PATCH_TOP + 5))

    def test_colour_tool_and_undo_by_remote(self):
        self.wait_for_pixel(*CLEAR_POINT, self.desktop)
        self.remote("colour", "#%02X%02X%02X" % RED)
        self.remote("fill")
        self.x.move_mouse(*self.screen(*CLEAR_POINT))
        # The first Shift shows the fill, the second fixes it; the keyboard's undo then shows
        # that both were handled, whatever the order of keys and remote commands.
        self.x.tap_key("shift")
        self.wait_for_pixel(*CLEAR_POINT, RED)
        self.x.tap_key("shift")
        self.x.key("alt+z")
        self.wait_for_pixel(*CLEAR_POINT, self.desktop)
        # Undo by remote swaps back and forth, as the button does.
        self.remote("undo")
        self.wait_for_pixel(*CLEAR_POINT, RED)
        self.remote("undo")
        self.wait_for_pixel(*CLEAR_POINT, self.desktop)
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the patch after the undo")

    def test_png_save_then_open_round_trips_the_picture(self):
        # A relative name is the caller's, not the board's: the board started elsewhere.
        os.makedirs(os.path.join(self.x.tmpdir, "here"))
        self.remote("save", "board.png", cwd=os.path.join(self.x.tmpdir, "here"))
        first = os.path.join(self.x.tmpdir, "here", "board.png")
        saved = self.read_png(first)
        for y, row in enumerate(PATCH):
            self.assertEqual(saved.row_rgb(PATCH_TOP + y, PATCH_LEFT, PATCH_LEFT + 60), row)
        alpha = self.read_png(first, alpha=True)
        self.assertEqual(alpha.pixel(*CLEAR_POINT), (0, 0, 0), "see-through is transparent")
        self.assertEqual(alpha.pixel(PATCH_LEFT, PATCH_TOP), (255, 255, 255), "ink is opaque")

        self.remote("erase-all", "--yes")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "after erase all")
        self.remote("open", first)
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "the reopened PNG")
        second = os.path.join(self.x.tmpdir, "again.png")
        self.remote("save", second)
        again = self.read_png(second)
        self.assertEqual((again.width, again.height), (saved.width, saved.height))
        self.assertTrue(again._data[again._offset:] == saved._data[saved._offset:],
                        "the picture saved after reopening differs")
        self.assertTrue(self.read_png(second, alpha=True)._data == alpha._data)

        # Failures come back as one line on standard error, not in a box on the board.
        _, err = self.remote("open", os.path.join(self.x.tmpdir, "missing.png"), status=1)
        self.assertIn("は開けません", err)
        self.assertEqual(err.count("\n"), 1)
        self.assertEqual(self.board.popups(), [])

    def test_snapshot_shows_the_desktop_through_the_picture(self):
        path = os.path.join(self.x.tmpdir, "shot.png")
        self.remote("snapshot", path)
        shot = self.read_png(path)
        self.assertEqual((shot.width, shot.height), tuple(self.board.geometry()[2:]))
        self.assertEqual(shot.pixel(*CLEAR_POINT), self.desktop)
        self.assertEqual(shot.pixel(PATCH_LEFT + 2, PATCH_TOP + 2), RED)

    def test_quit_then_commands_without_a_board_fail_at_once(self):
        out, _ = self.remote("list")
        self.assertEqual([int(line.split()[0]) for line in out.splitlines()],
                         [self.board.process.pid])
        _, err = self.remote("no-such-command", status=2)
        self.assertEqual(err.count("\n"), 1)
        self.remote("--pid", "1", "undo", status=3)
        # Options before --remote never start a board either.
        self.remote("undo", before=["--pid", "1"], status=3)

        self.remote("quit", "--yes")
        self.board.process.wait(timeout=harness.DEFAULT_TIMEOUT)
        harness.poll_until(lambda: self.remote("list")[0] == "", message="the board's name to go")
        started = time.monotonic()
        _, err = self.remote("undo", status=3)
        self.assertEqual(err.count("\n"), 1)
        self.assertLess(time.monotonic() - started, harness.DEFAULT_TIMEOUT)


class RemoteCompositedTest(PatchTestCase):
    """The snapshot with a compositing manager: the board's window has an alpha channel and the
    screen is what the compositor puts together."""

    compositor = True
    remote = RemoteTest.remote
    read_png = RemoteTest.read_png
    test_snapshot_shows_the_desktop_through_the_picture = \
        RemoteTest.test_snapshot_shows_the_desktop_through_the_picture


if __name__ == "__main__":
    harness.main()
