"""The keyboard during a stroke, under a window manager whose focus follows the mouse (openbox
with followMouse): a Shift stroke or a Ctrl erase that leaves the board over another window and
comes back goes on, and ends on the key's release; afterwards the keyboard is the other
window's again as soon as the pointer is over it.

The other window is the project's own e2e/key_witness.cpp, found through VELMO_KEY_WITNESS (set by
ctest) or beside the board's build folder."""

import os
import select
import subprocess
import time

import harness

BLACK = (0, 0, 0)
CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "openbox", "follow_mouse.xml")
ROW = 300  # the board row the strokes run along
STEP = 40


def witness_executable():
    path = os.environ.get("VELMO_KEY_WITNESS")
    if not path:
        build = os.path.dirname(os.path.dirname(harness.BoardTestCase.executable))
        path = os.path.join(build, "e2e", "velmo_key_witness")
    if not os.access(path, os.X_OK):
        raise RuntimeError("no key witness at %s: build the target velmo_key_witness" % path)
    return path


class Witness:
    """Another X client's window, and the lines it printed about the keys and focus it got."""

    def __init__(self, session, x, y, width, height):
        self.session = session
        self.process = session.spawn([witness_executable()] + [str(v) for v in (x, y, width,
                                                                                height)],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._buffer = b""
        self.lines = []
        ready = harness.poll_until(lambda: self._line_starting("ready "),
                                   message="the key witness to be mapped")
        self.window = int(ready.split()[1])

    def _read(self):
        out = self.process.stdout
        while select.select([out], [], [], 0)[0]:
            chunk = os.read(out.fileno(), 4096)
            if not chunk:
                break
            self._buffer += chunk
        *done, self._buffer = self._buffer.split(b"\n")
        self.lines += [line.decode() for line in done]

    def _line_starting(self, prefix):
        self._read()
        return next((line for line in self.lines if line.startswith(prefix)), None)

    def has_focus(self):
        return self.session.focused_window() == self.window

    def presses(self):
        self._read()
        return [line for line in self.lines if line.startswith("press ")]

    def wait_for_key(self, key):
        """Types the key and waits until the witness saw it go down."""
        before = len(self.presses())
        self.session.tap_key(key)
        harness.poll_until(lambda: len(self.presses()) > before,
                           message="the key witness to get the key %s" % key)


class FollowMouseTest(harness.BoardTestCase):
    window_manager = ("openbox", "--config-file", CONFIG)

    def setUp(self):
        super().setUp()
        self.wait_for_pixel(100, ROW, self.desktop)
        # The other window fills the screen below the board, clear of its frame.
        _, gy, _, height = self.board.geometry()
        top = gy + height + 40
        self.witness = Witness(self.x, 0, top, self.x.width, self.x.height - top)
        self.outside = top + 60  # a screen row over the witness
        # The window manager gives the keyboard to the window the pointer enters: the witness,
        # then the board through its toolbar. Over the board's see-through parts the pointer is
        # over the bare desktop, and the keyboard stays where it was.
        self.x.move_mouse(self.x.width // 2, self.outside)
        harness.poll_until(self.witness.has_focus, message="the witness to get the keyboard")
        self.x.move_mouse(*self.screen(60, 10))
        harness.poll_until(lambda: self.x.focused_window() == self.board.window,
                           message="the board to get the keyboard")

    def walk(self, a, b):
        """Moves the pointer in steps along a horizontal or vertical line of screen points."""
        dx = (b[0] > a[0]) - (b[0] < a[0])
        dy = (b[1] > a[1]) - (b[1] < a[1])
        length = abs(b[0] - a[0]) + abs(b[1] - a[1])
        for d in list(range(STEP, length, STEP)) + [length]:
            self.x.move_mouse(a[0] + dx * d, a[1] + dy * d)

    def excursion(self, key, x0, x1, x2, x3, shows_pointer):
        """Holds `key` from board point (x0, ROW) along the row to x1, down over the witness and
        along to x2 there, back up onto the board and along the row to x3, and down over the
        witness again, where the key comes up. The window manager gives the witness the focus
        each time the pointer enters it.

        At each corner on the board the pointer waits until `shows_pointer(x, y)` says the board
        has drawn there; outside nothing can be waited for, so the ways out and back in turn at
        the board's lowest rows, and between there and the edge the board may cut across."""
        low = self.board.geometry()[3] - 10
        below = lambda x: (self.screen(x, 0)[0], self.outside)

        def reach(x, y):
            harness.poll_until(lambda: shows_pointer(x, y),
                               message="the board to draw with the pointer at %d,%d" % (x, y))

        self.x.move_mouse(*self.screen(x0, ROW))
        self.x.key_down(key)
        try:
            reach(x0, ROW)
            self.walk(self.screen(x0, ROW), self.screen(x1, ROW))
            reach(x1, ROW)
            self.walk(self.screen(x1, ROW), self.screen(x1, low))
            reach(x1, low)
            self.walk(self.screen(x1, low), below(x1))
            harness.poll_until(self.witness.has_focus,
                               message="the window manager to give the witness the focus")
            self.walk(below(x1), below(x2))
            self.walk(below(x2), self.screen(x2, low))
            reach(x2, low)
            self.walk(self.screen(x2, low), self.screen(x2, ROW))
            reach(x2, ROW)
            self.walk(self.screen(x2, ROW), self.screen(x3, ROW))
            reach(x3, ROW)
            self.walk(self.screen(x3, ROW), below(x3))
            harness.poll_until(self.witness.has_focus,
                               message="the witness to have the focus when the key comes up")
        finally:
            self.x.key_up(key)
        return low

    def check_release_was_the_boards_and_the_keyboard_is_back(self):
        """The key's release went to the board, not to the witness that had the focus; after it
        the witness gets what is typed."""
        self.witness.wait_for_key("a")
        self.assertEqual([line for line in self.witness.lines if line.startswith("release")],
                         ["release %s" % self.witness.presses()[-1].split()[1]],
                         "only the typed key comes up at the witness")

    def test_shift_stroke_goes_on_across_another_window_and_ends_on_release(self):
        low = self.excursion("shift", 100, 300, 500, 700,
                             lambda x, y: self.board_pixel(x, y) == BLACK)
        shot = self.x.screenshot()
        # The stroke is whole on the board: along the row before the pointer left, down to the
        # board's edge, up from it and along the row after the pointer came back, and down to the
        # edge again; nothing joins the two legs along the row.
        for x in list(range(100, 301, 20)) + list(range(500, 701, 20)):
            self.assertEqual(self.board_pixel(x, ROW, shot), BLACK, "stroke at %d,%d" % (x, ROW))
        for x in (300, 500, 700):
            for y in list(range(ROW, low, 20)) + [low]:
                self.assertEqual(self.board_pixel(x, y, shot), BLACK, "stroke at %d,%d" % (x, y))
        self.assertEqual(self.board_pixel(400, ROW, shot), self.desktop)
        self.check_release_was_the_boards_and_the_keyboard_is_back()

    def test_ctrl_erase_goes_on_across_another_window_and_ends_on_release(self):
        self.draw_freehand_across(100, 700, ROW, 20, 5)
        # The eraser marks the pointer with a dot of a random colour: neither ink nor desktop.
        self.excursion("ctrl", 700, 500, 300, 100,
                       lambda x, y: self.board_pixel(x, y) not in (BLACK, self.desktop))
        # Erased along the row before the pointer left and after it came back; the middle,
        # where the pointer went round over the other window, keeps its ink.
        self.wait_for_desktop(510, ROW - 8, 701, ROW + 8, "the erase before the pointer left")
        self.wait_for_desktop(100, ROW - 8, 291, ROW + 8, "the erase after the pointer came back")
        self.assertEqual(self.board_pixel(400, ROW), BLACK)
        self.check_release_was_the_boards_and_the_keyboard_is_back()


if __name__ == "__main__":
    harness.main()
