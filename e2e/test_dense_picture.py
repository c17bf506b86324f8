"""A picture too dense for a shape made of rectangles still shows and takes the mouse exactly
where it is drawn: when it is opened, when it is erased and brought back, and after each frame
and on-top toggle.

The picture is a speckle of isolated single pixels on every other row and column: no two drawn
pixels touch, so a shape given as rectangles needs one rectangle per drawn pixel, about 360,000
here. The X server silently empties a shape sent as more than 32,767 rectangles in one request.
"""

import os
import random
import subprocess

import controls
import harness
from harness import KEY_RGB, TOOLBAR_HEIGHT
from test_exchange import answer_box

WIDTH, HEIGHT = 1600, 1200
INK = [(0, 0, 0), (200, 30, 30), (20, 120, 40), (30, 40, 200), (120, 60, 0)]
ON_TOP_TOGGLE = controls.button("tbConfig", 0)  # Panel20
DRAG_HANDLE = controls.group_background("tbSystem")
BOX_TITLE = r"Velmora Board Ver\. 2\.3"


def speckle(ink_rows=HEIGHT):
    """Rows of packed RGB, and the inked points below the toolbar: on even rows and columns
    above `ink_rows` a seeded 3 in 4 are drawn, the rest is key."""
    rng = random.Random(1600)
    key = bytes(KEY_RGB)
    rows, inked = [], []
    for y in range(HEIGHT):
        if y % 2 or y >= ink_rows:
            rows.append(key * WIDTH)
            continue
        row = bytearray(key * WIDTH)
        for x in range(0, WIDTH, 2):
            if rng.random() < 0.75:
                row[3 * x:3 * x + 3] = bytes(rng.choice(INK))
                if x and y >= TOOLBAR_HEIGHT:
                    inked.append((x, y))
        rows.append(bytes(row))
    return rows, inked


class DenseBoardTestCase(harness.BoardTestCase):
    screen_size = (WIDTH + 100, HEIGHT + 100)
    ink_rows = HEIGHT

    def board_args_for_test(self):
        self.picture, self.inked = speckle(self.ink_rows)
        path = os.path.join(self.x.tmpdir, "speckle.bmp")
        harness.write_bmp(path, WIDTH, HEIGHT, self.picture)
        return [path]

    def setUp(self):
        super().setUp()
        self.board.resize(WIDTH, HEIGHT)
        self.origin = self.board.geometry()[:2]
        self.rng = random.Random(7)

    def expected_row(self, y):
        """What the screen must show on row y from x = 1: the ink, or the desktop for the key."""
        return harness.see_through(self.picture[y][3:], self.desktop)

    def clear_points(self, count):
        key, found = bytes(KEY_RGB), []
        while len(found) < count:
            x, y = self.rng.randrange(1, WIDTH), self.rng.randrange(TOOLBAR_HEIGHT, HEIGHT)
            if self.picture[y][3 * x:3 * x + 3] == key:
                found.append((x, y))
        return found

    def check_picture(self, what, samples):
        """The whole picture shows, pixel for pixel, and the mouse hits the board on sampled
        inked points and goes through it on sampled key points."""
        self.origin = self.board.geometry()[:2]
        self.wait_for_area(1, TOOLBAR_HEIGHT, WIDTH, HEIGHT, self.expected_row,
                           "%s: the whole picture to be shown" % what, timeout=30)
        for point in self.rng.sample(self.inked, samples):
            with self.subTest(what, inked=point):
                self.assertTrue(self.board.owns(self.window_under_board_point(*point)))
        for point in self.clear_points(samples):
            with self.subTest(what, clear=point):
                self.assertFalse(self.board.owns(self.window_under_board_point(*point)))

    def toggle(self, control, what, done):
        """Clicks a toggle, waits until it has taken effect, and checks the whole shape."""
        self.click_board(*control)
        harness.poll_until(done, message=what)
        # The native window stays, and with it its shape: no moment with a wrong one.
        self.assertEqual(self.board._find_window(), self.board.window, what)
        self.check_picture(what, samples=6)


class DensePictureTest(DenseBoardTestCase):
    def test_shape_follows_erase_all_undo_and_a_drag(self):
        self.assertGreater(len(self.inked), 10 * 32767, "the picture is not dense enough")
        # On a desktop the board is never the only window: the X server's cost of moving a
        # window with a dense shape then grows with the square of the shape's rectangles.
        self.x.spawn(["xmessage", "-geometry", "40x40+%d+%d" % (WIDTH + 55, HEIGHT + 55), "x"],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        harness.poll_until(lambda: '"xmessage"' in self.x.run("xwininfo", "-root", "-children"),
                           message="another window on the desktop")
        self.check_picture("opened", samples=10)

        # Both changes are far too large to be sent as rectangles: the shape goes as a mask.
        self.x.key("F2")
        answer_box(self, BOX_TITLE, "Return")
        self.wait_for_desktop(1, TOOLBAR_HEIGHT, WIDTH, HEIGHT, "erase all to clear the board",
                              timeout=30)
        for point in self.rng.sample(self.inked, 10):
            with self.subTest("erased", inked=point):
                self.assertFalse(self.board.owns(self.window_under_board_point(*point)))
        self.x.key("alt+z")
        self.check_picture("undo of erase all", samples=10)

        x0, y0, width, height = self.board.geometry()
        start = self.board.to_screen(*DRAG_HANDLE)
        self.x.move_mouse(*start)
        self.x.run("xdotool", "mousedown", "1")
        try:
            for step in range(1, 5):
                self.x.move_mouse(start[0] + 10 * step, start[1] + 10 * step)
            harness.poll_until(lambda: self.board.geometry() == (x0 + 40, y0 + 40, width, height),
                               message="the window to follow the pointer")
        finally:
            self.x.run("xdotool", "mouseup", "1")
        self.check_picture("dragged", samples=6)


class DensePictureUnderCompositorTest(DensePictureTest):
    """With a compositor the picture is painted through an alpha channel and the same pixels
    make up the input shape."""

    compositor = True


class TogglesUnderWindowManagerAndCompositorTest(DenseBoardTestCase):
    """Each frame toggle has the window manager reframe the window, the on-top toggle restack
    it; the shape stays right after each."""

    window_manager = "openbox"
    compositor = True

    def window_state(self):
        return self.x.run("xprop", "-id", str(self.board.window), "_NET_WM_STATE", check=False)

    def test_shape_is_right_after_each_frame_and_on_top_toggle(self):
        framed = harness.poll_until(self.board.frame_extents,
                                    message="the window manager to announce its frame")
        self.check_picture("opened", samples=6)
        self.toggle(controls.FRAME_TOGGLE, "the frame to go",
                    lambda: self.board.frame_extents() == (0, 0, 0, 0))
        self.toggle(controls.FRAME_TOGGLE, "the frame to come back",
                    lambda: self.board.frame_extents() == framed)
        self.toggle(ON_TOP_TOGGLE, "the window to be kept above",
                    lambda: "_NET_WM_STATE_ABOVE" in self.window_state())
        self.toggle(ON_TOP_TOGGLE, "the window to stack normally",
                    lambda: "_NET_WM_STATE_ABOVE" not in self.window_state())


class TogglesUnderWindowManagerTest(TogglesUnderWindowManagerAndCompositorTest):
    """Without a compositor the window manager copies the board's bounding shape onto its frame,
    and the X server's cost of every change of it, and of every move of the frame, grows with the
    square of the shape's rectangles: about 20,000 here (the top rows inked), which the board
    sets aside while the frame changes."""

    compositor = False
    ink_rows = 100


if __name__ == "__main__":
    harness.main()
