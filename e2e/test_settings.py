"""Settings on the real program: "config.ini" in the folder the board starts in sets its geometry
and modes and is written back when the board closes; the settings dialog's OK changes what is
stored and its Cancel does not; the duplicate command opens a second board on the same picture.
"""

import ctypes
import ctypes.util
import os
import signal

import controls
import harness

SETTINGS_BUTTON = ("tbConfig", 3)  # SpeedButton27
DUPLICATE_BUTTON = ("tbSystem", 4)  # SpeedButton22


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]  # an XEvent's size


def ask_to_close(display, window):
    """Sends the window the close request a window manager sends for its close box
    (WM_PROTOCOLS / WM_DELETE_WINDOW), without depending on a window manager's key bindings."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise RuntimeError("cannot open display %s" % display)
    try:
        event = _ClientMessage(type=33, window=window, format=32,  # 33: ClientMessage
                               message_type=x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        if not x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(event)):
            raise RuntimeError("XSendEvent failed")
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


def parse_ini(text):
    """{(section, key): value} of a profile file, names lower-cased, first occurrences only."""
    values, section = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line[1:line.index("]")].lower()
        elif "=" in line and section is not None:
            key, value = line.split("=", 1)
            values.setdefault((section, key.strip().lower()), value.strip())
    return values


class SettingsTestCase(harness.BoardTestCase):
    config = None  # what "config.ini" holds before the board starts, if anything

    def board_args_for_test(self):
        self.start_dir = os.path.join(self.x.tmpdir, "start")
        os.makedirs(self.start_dir, exist_ok=True)
        if self.config is not None:
            with open(self.config_path(), "w") as f:
                f.write(self.config)
        return list(self.board_args)

    def config_path(self):
        return os.path.join(self.start_dir, "config.ini")

    def stored(self):
        with open(self.config_path()) as f:
            return parse_ini(f.read())

    def click_button(self, group, index):
        self.click_toolbar_button(controls.GROUP_LEFT[group], index)

    def exit_from_menu(self, board_point):
        """Chooses "終了(&Q)" in the pop-up menu opened at the board point; waits for the end."""
        self.click_board(*board_point, button=3)
        harness.poll_until(lambda: self.board.popups(), message="the pop-up menu to open")
        self.x.tap_key("q")
        harness.poll_until(lambda: self.board.process.poll() is not None,
                           message="the board to exit")
        self.assertEqual(self.board.process.returncode, 0)


class StartFromSettingsTest(SettingsTestCase):
    toolbar_shown = False
    config = ("; written by hand\n"
              "[Form1]\n"
              "toolber=0\n"
              "width=500\n"
              "height=300\n"
              "left=40\n"
              "top=60\n"
              "[preview]\n"
              "framerate=40\n"
              "[confirm]\n"
              "onExitMenu=0\n"
              "[another program]\n"
              "colour=blue\n")

    def test_settings_file_sets_geometry_and_modes_and_closing_writes_them_back(self):
        self.assertEqual(self.board.geometry(), (40, 60, 500, 300))
        # The toolbar starts folded away: only the tab takes the mouse.
        self.assertTrue(self.board.owns(self.window_under_board_point(*controls.RESTORE_BUTTON)))
        self.wait_for_desktop(controls.TAB[0], 1, 500, controls.TOOLBAR_HEIGHT,
                              "the folded toolbar's band to show the desktop")
        self.assertFalse(self.board.owns(self.window_under_board_point(200, 16)))

        self.exit_from_menu(controls.RESTORE_BUTTON)
        stored = self.stored()
        for key, value in {("form1", "toolber"): "0", ("form1", "width"): "500",
                           ("form1", "height"): "300", ("form1", "left"): "40",
                           ("form1", "top"): "60", ("form1", "border"): "1",
                           ("preview", "framerate"): "40", ("confirm", "onexitmenu"): "0",
                           ("confirm", "oneraseall"): "1",
                           ("another program", "colour"): "blue"}.items():
            self.assertEqual(stored.get(key), value, key)
        with open(self.config_path()) as f:
            self.assertTrue(f.read().startswith("; written by hand\n[Form1]\ntoolber=0\n"))


class FramedGeometryTest(SettingsTestCase):
    """Under a window manager the stored size and position are the frame's, so a board that is
    closed unchanged writes back what it read, and does not grow by its frame at every run."""

    window_manager = "openbox"
    config = "[form1]\nwidth=900\nheight=520\nleft=50\ntop=40\n[confirm]\nonExitBox=0\n"

    def test_outer_geometry_is_kept_through_a_run(self):
        extents = harness.poll_until(self.board.frame_extents, message="the frame's extents")
        left, right, top, bottom = extents
        harness.poll_until(lambda: self.board.geometry() == (50 + left, 40 + top,
                                                             900 - left - right,
                                                             520 - top - bottom),
                           message="the client area inside the stored outer bounds")
        # The close box writes the settings and ends the board.
        ask_to_close(self.x.display, self.board.window)
        harness.poll_until(lambda: self.board.process.poll() is not None,
                           message="the board to exit")
        stored = self.stored()
        self.assertEqual([stored[("form1", k)] for k in ("width", "height", "left", "top")],
                         ["900", "520", "50", "40"])


class SettingsDialogTest(SettingsTestCase):
    # Wide enough for the whole toolbar: a file without a size gives 640 x 400.
    config = "[form1]\nwidth=900\nheight=460\n[preview]\nframerate=50\n[confirm]\nonExitMenu=0\n"

    def dialog(self):
        out = self.x.run("xdotool", "search", "--onlyvisible", "--name", "^環境設定$",
                         check=False).split()
        return int(out[0]) if out else None

    def edit_period(self, text, finish_key):
        """Opens the settings dialog, types the period into its field and ends with a key."""
        self.click_button(*SETTINGS_BUTTON)
        dialog = harness.poll_until(self.dialog, message="the settings dialog to open")
        harness.poll_until(lambda: self.x.focused_window() == dialog,
                           message="the settings dialog to have the keyboard")
        info = self.x.run("xwininfo", "-id", str(dialog))
        fields = dict(l.strip().split(":", 1) for l in info.splitlines() if ":" in l)
        left, top = int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])
        self.assertEqual((int(fields["Width"]), int(fields["Height"])), (480, 240))
        # The period field: 64, 16 in the group at 112, 8; 57 x 21.
        self.x.click(left + 112 + 64 + 20, top + 8 + 16 + 10)
        self.x.key("ctrl+a")
        self.x.run("xdotool", "type", text)
        self.x.key(finish_key)
        harness.poll_until(lambda: self.dialog() is None, message="the dialog to close")
        harness.poll_until(lambda: self.x.focused_window() == self.board.window,
                           message="the board to have the keyboard again")

    def test_ok_changes_the_stored_period(self):
        self.edit_period("100", "Return")
        self.exit_from_menu(controls.group_background("tbSystem"))
        self.assertEqual(self.stored()[("preview", "framerate")], "100")

    def test_cancel_keeps_the_stored_period(self):
        self.edit_period("100", "Escape")
        self.exit_from_menu(controls.group_background("tbSystem"))
        self.assertEqual(self.stored()[("preview", "framerate")], "50")


class DuplicateTest(SettingsTestCase):
    INK = (30, 120, 200)

    def board_args_for_test(self):
        super().board_args_for_test()
        path = os.path.join(self.x.tmpdir, "picture.bmp")
        rows = [bytes(self.INK) * 300] * 120 + [bytes((250, 200, 0)) * 300] * 80
        harness.write_bmp(path, 300, 200, rows)
        self.rows = [row[3 * 100:3 * 250] for row in rows[100:140]]  # both colours
        return [path]

    @staticmethod
    def end_process(pid):
        """Ends the board the first one started (it is no child of this test's)."""
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass

    def boards(self):
        return self.x.run("xdotool", "search", "--onlyvisible", "--name",
                          "^%s$" % harness.WINDOW_TITLE, check=False).split()

    def test_duplicate_opens_a_second_board_on_the_same_picture(self):
        self.wait_for_picture(100, 100, self.rows, "the picture to be shown")
        geometry = self.board.geometry()
        self.click_button(*DUPLICATE_BUTTON)
        harness.poll_until(lambda: len(self.boards()) == 2, message="a second board")
        second = next(int(w) for w in self.boards() if int(w) != self.board.window)
        pid = int(self.x.run("xdotool", "getwindowpid", str(second)).strip())
        self.addCleanup(self.end_process, pid)
        hand_over = os.path.join(self.start_dir, "tmp.bmp")
        harness.poll_until(lambda: not os.path.exists(hand_over),
                           message="the hand-over picture to be deleted")
        # The first board goes; the second shows the same picture at the same place.
        self.board.process.terminate()
        self.board.process.wait(timeout=harness.DEFAULT_TIMEOUT)
        harness.poll_until(lambda: len(self.boards()) == 1, message="the first board to go")
        self.board.window = second
        self.board._frames = None
        self.assertEqual(self.board.geometry(), geometry)
        self.wait_for_picture(100, 100, self.rows, "the second board to show the picture")


if __name__ == "__main__":
    harness.main()
