"""Runs the real board under a private X server and drives it like a user would.

Only the Python standard library and Debian's X tools are used: Xvfb, xdotool, xwininfo, xprop,
ImageMagick's import, xsetroot, and optionally openbox and xcompmgr. Every wait polls a
condition with a deadline; every process started here is ended again, also when a test fails or
the run is killed.
"""

import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

WINDOW_TITLE = "Velmora Board"
CLIENT_WIDTH = 892
CLIENT_HEIGHT = 453
TOOLBAR_HEIGHT = 33
KEY_RGB = (255, 255, 204)  # the board's colour key, 0xCCFFFF as 0x00BBGGRR
ROOT_RGB = (37, 91, 158)  # the desktop behind the board: no colour the board itself uses
DEFAULT_TIMEOUT = 10.0

_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    """Runs in each child before exec: it gets SIGTERM when the test process goes away."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)
    except (OSError, AttributeError):
        pass


def _raise_on_sigterm(signum, frame):
    raise SystemExit(128 + signum)


# A test killed by ctest's timeout still tears its processes down.
signal.signal(signal.SIGTERM, _raise_on_sigterm)


class Timeout(AssertionError):
    pass


def poll_until(condition, timeout=DEFAULT_TIMEOUT, interval=0.02, message="condition"):
    """Calls condition() until it returns a true value, which is returned; fails at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise Timeout("timed out after %.1f s waiting for %s" % (timeout, message))
        time.sleep(interval)


class Screenshot:
    """The screen as ImageMagick's `import -window root` reads it: 24-bit colour at any point.

    (xwd is no use here: once windows with their own colour maps are mapped it pieces the root
    together from each window's contents and ignores their shapes.)
    """

    def __init__(self, data):
        fields = []
        at = 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("expected an 8-bit binary PPM, got %r" % (fields,))
        self.width = int(fields[1])
        self.height = int(fields[2])
        self._offset = at + 1
        self._data = data
        expected = self._offset + 3 * self.width * self.height
        if len(data) < expected:
            raise ValueError("short screenshot: %d of %d bytes" % (len(data), expected))

    def pixel(self, x, y):
        """(r, g, b) at the screen point."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("point %d,%d outside the %dx%d screen"
                             % (x, y, self.width, self.height))
        at = self._offset + 3 * (y * self.width + x)
        return tuple(self._data[at:at + 3])

    def row_rgb(self, y, x0, x1):
        """The pixels x0..x1-1 of row y as packed RGB bytes (3 per pixel)."""
        at = self._offset + 3 * (y * self.width + x0)
        return self._data[at:at + 3 * (x1 - x0)]


class XSession:
    """A private Xvfb display, optionally with a window manager, with a solid desktop colour."""

    def __init__(self, width=1280, height=1024, window_manager=None, compositor=False,
                 root_rgb=ROOT_RGB):
        self.width = width
        self.height = height
        self.window_manager = window_manager
        self.compositor = compositor
        self.root_rgb = root_rgb
        # What the screen shows where no window is; a compositor paints its own desktop.
        self.desktop_rgb = None if compositor else root_rgb
        self.display = None
        self._processes = []
        self._tmp = tempfile.TemporaryDirectory(prefix="velmo-e2e-")
        self.tmpdir = self._tmp.name

    # Processes ----------------------------------------------------------------------------

    def env(self, **extra):
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        env["DISPLAY"] = self.display
        env["XDG_RUNTIME_DIR"] = self.tmpdir
        # The board keeps its recovery file here, never among the user's own.
        env["XDG_STATE_HOME"] = os.path.join(self.tmpdir, "state")
        env.update(extra)
        return env

    def spawn(self, argv, cwd=None, env=None, **kwargs):
        proc = subprocess.Popen(argv, cwd=cwd, env=env or self.env(), stdin=subprocess.DEVNULL,
                                preexec_fn=_die_with_parent, **kwargs)
        self._processes.append(proc)
        return proc

    def run(self, *argv, check=True, timeout=DEFAULT_TIMEOUT):
        """Runs an X client to completion and returns its standard output as text."""
        done = subprocess.run(argv, env=self.env(), stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        if check and done.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (" ".join(argv), done.returncode,
                                                       done.stderr.decode(errors="replace")))
        return done.stdout.decode(errors="replace")

    def start(self):
        try:
            self._start_server()
            if self.window_manager:
                # A program name, or a whole command line (a window manager with options).
                wm = self.window_manager
                self.spawn([wm] if isinstance(wm, str) else list(wm), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
                poll_until(self._window_manager_running, message="the window manager")
            self.run("xsetroot", "-solid", "#%02x%02x%02x" % self.root_rgb)
            poll_until(lambda: self.corner_pixel() == self.root_rgb, message="the desktop colour")
            if self.compositor:
                self.spawn(["xcompmgr"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                # It names the window that owns the compositing-manager selection after itself.
                poll_until(lambda: '"xcompmgr"' in self.run("xwininfo", "-root", "-children"),
                           message="the compositing manager")
        except BaseException:
            self.stop()
            raise
        return self

    def _start_server(self):
        read_end, write_end = os.pipe()
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                        "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp",
                        "-noreset"], env=dict(os.environ), pass_fds=(write_end,),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + DEFAULT_TIMEOUT
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise Timeout("Xvfb did not report its display")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb exited before it reported its display")
                number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def corner_pixel(self, shot=None):
        return (shot or self.screenshot()).pixel(self.width - 1, self.height - 1)

    def settle_desktop(self):
        """Learns the desktop colour once a compositor has painted the screen (it paints only
        when a window changes, and then covers the root's own colour with a tile of its own)."""
        if self.desktop_rgb is None:
            def painted():
                seen = self.corner_pixel()
                return seen if seen != self.root_rgb else None

            self.desktop_rgb = poll_until(painted,
                                          message="the compositing manager to paint the desktop")
        return self.desktop_rgb

    def _window_manager_running(self):
        # An EWMH window manager names itself through _NET_SUPPORTING_WM_CHECK on the root.
        out = self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
        return "window id" in out

    def stop(self):
        end_processes(self._processes)
        self._tmp.cleanup()

    # Looking and pointing -----------------------------------------------------------------

    def screenshot(self):
        return Screenshot(subprocess.run(["import", "-silent", "-window", "root", "-depth", "8",
                                          "ppm:-"], env=self.env(),
                                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                         check=True, timeout=DEFAULT_TIMEOUT).stdout)

    def pixel(self, x, y):
        return self.screenshot().pixel(x, y)

    def move_mouse(self, x, y):
        """Moves the pointer and waits until the server reports it there."""
        self.run("xdotool", "mousemove", str(x), str(y))
        poll_until(lambda: self.mouse_location()[:2] == (x, y), interval=0.005,
                   message="the pointer to reach %d,%d" % (x, y))

    def mouse_location(self):
        fields = dict(line.split("=", 1) for line in
                      self.run("xdotool", "getmouselocation", "--shell").split())
        return int(fields["X"]), int(fields["Y"]), int(fields["WINDOW"])

    def window_under(self, x, y):
        """The top-level window that receives the mouse at the screen point."""
        self.move_mouse(x, y)
        return self.mouse_location()[2]

    def key_down(self, key):
        self.run("xdotool", "keydown", key)

    def key_up(self, key):
        self.run("xdotool", "keyup", key)

    def focused_window(self):
        return int(self.run("xdotool", "getwindowfocus", "-f", check=False).strip() or 0)

    # Clicks, key taps and pop-up windows --------------------------------------------------

    def click(self, x, y, button=1):
        """Moves the pointer to the screen point and clicks a mouse button there."""
        self.move_mouse(x, y)
        self.run("xdotool", "click", str(button))

    def tap_key(self, key):
        """Presses and releases a key in one go, well before any repeat could start."""
        self.run("xdotool", "key", key)

    def popup_windows(self, wm_class=None):
        """(window, x, y, width, height) of every mapped override-redirect top-level window, such
        as an open pop-up menu or tool tip, in stacking order from the top; only those of the
        program whose WM_CLASS names `wm_class`, if given (a window manager has its own)."""
        found = []
        for line in self.run("xwininfo", "-root", "-children").splitlines():
            line = line.strip()
            if not line.startswith("0x"):
                continue
            if wm_class and '("%s" ' % wm_class not in line:
                continue
            info = self.run("xwininfo", "-id", line.split()[0], check=False)
            if "Map State: IsViewable" not in info or "Override Redirect State: yes" not in info:
                continue
            fields = dict(l.strip().split(":", 1) for l in info.splitlines() if ":" in l)
            found.append((int(line.split()[0], 16), int(fields["Absolute upper-left X"]),
                          int(fields["Absolute upper-left Y"]), int(fields["Width"]),
                          int(fields["Height"])))
        return found

    # Key chords and the clipboard ------------------------------------------------------------

    def key(self, *chords):
        """Presses and releases each chord in turn, e.g. key("shift") or key("alt+x")."""
        self.run("xdotool", "key", *chords)

    def clipboard_targets(self):
        """The formats the clipboard's owner offers; empty while nobody owns it."""
        done = subprocess.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                              env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=DEFAULT_TIMEOUT)
        return done.stdout.decode(errors="replace").split() if done.returncode == 0 else []

    def read_clipboard(self, target):
        """The clipboard's content in the given format, as bytes, asked for as any client would."""
        return subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"],
                              env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, check=True,
                              timeout=DEFAULT_TIMEOUT).stdout

    def offer_clipboard(self, path, target):
        """Another client takes the clipboard and serves the file in one format until the session
        ends; returns once the clipboard offers that format."""
        self.spawn(["xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i", path],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        poll_until(lambda: target in self.clipboard_targets(),
                   message="the clipboard to offer %s" % target)


class Board:
    """The real `velmo` executable on an XSession, found by its window title."""

    def __init__(self, session, executable, args=(), cwd=None, toolbar_shown=True):
        self.session = session
        self.toolbar_shown = toolbar_shown  # false when the settings start it folded
        self.executable = executable
        self.args = list(args)
        self.cwd = cwd or os.path.join(session.tmpdir, "start")
        self.process = None
        self.window = None
        self._frames = None
        self.output_path = os.path.join(session.tmpdir, "velmo.log")

    def start(self):
        os.makedirs(self.cwd, exist_ok=True)
        self._log = open(self.output_path, "wb")
        self.process = self.session.spawn([self.executable] + self.args, cwd=self.cwd,
                                          env=self.session.env(QT_QPA_PLATFORM="xcb"),
                                          stdout=self._log, stderr=subprocess.STDOUT)
        self.window = poll_until(self._find_window, message="the board window to be mapped")
        poll_until(lambda: self.session.focused_window() == self.window,
                   message="the board window to have the keyboard focus")
        # The window is mapped with its whole shape: the toolbar takes the mouse at once, not
        # only after a tick or two.
        toolbar = self.to_screen(50, TOOLBAR_HEIGHT - 3)
        if self.toolbar_shown and not self.owns(self.session.window_under(*toolbar)):
            raise AssertionError("the board window was mapped before its toolbar took the mouse")
        return self

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError("velmo exited with %d:\n%s" % (self.process.returncode,
                                                               self.output()))
        out = self.session.run("xdotool", "search", "--onlyvisible", "--name",
                               "^%s$" % WINDOW_TITLE, check=False).split()
        return int(out[0]) if out else None

    def output(self):
        self._log.flush()
        with open(self.output_path, "rb") as f:
            return f.read().decode(errors="replace")

    def geometry(self):
        """(x, y, width, height) of the client area in screen coordinates."""
        info = self.session.run("xwininfo", "-id", str(self.window))
        fields = {}
        for line in info.splitlines():
            if ":" in line:
                name, value = line.split(":", 1)
                fields[name.strip()] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))

    def depth(self):
        """Bits a pixel of the board's window: 32 when it is drawn with an alpha channel."""
        info = self.session.run("xwininfo", "-id", str(self.window))
        return int(next(l for l in info.splitlines() if "Depth:" in l).split(":")[1])

    def frames(self):
        """The board's window and the windows a window manager wrapped it in, up to the root."""
        if self._frames is None:
            self._frames = self._ancestors()
        return self._frames

    def _ancestors(self):
        chain = []
        window = self.window
        while window:
            chain.append(window)
            info = self.session.run("xwininfo", "-children", "-id", str(window))
            parent = 0
            for line in info.splitlines():
                if "Parent window id:" in line:
                    parent = int(line.split(":", 1)[1].split()[0], 16)
                if "Root window id:" in line:
                    root = int(line.split(":", 1)[1].split()[0], 16)
            window = parent if parent != root else 0
        return chain

    def owns(self, window):
        """Whether the mouse at a point that reports `window` is over the board."""
        return window in self.frames()

    def resize(self, width, height):
        self.session.run("xdotool", "windowsize", str(self.window), str(width), str(height))
        poll_until(lambda: self.geometry()[2:] == (width, height),
                   message="the board to be %dx%d" % (width, height))

    def to_screen(self, x, y):
        gx, gy, _, _ = self.geometry()
        return gx + x, gy + y

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if getattr(self, "_log", None):
            self._log.close()

    # Pop-up windows and the window manager's frame ---------------------------------------

    def popups(self):
        """The board's open pop-up windows (menus, tool tips), as XSession.popup_windows."""
        return self.session.popup_windows(wm_class="velmo")

    def frame_extents(self):
        """(left, right, top, bottom) of the frame a window manager draws around the board, as
        it announces them in _NET_FRAME_EXTENTS; None while it has announced none."""
        out = self.session.run("xprop", "-id", str(self.window), "_NET_FRAME_EXTENTS",
                               check=False)
        if "=" not in out:
            return None
        return tuple(int(v) for v in out.split("=", 1)[1].split(","))


class BoardTestCase(unittest.TestCase):
    """Each test gets a fresh display and a freshly started board."""

    executable = None  # set by main()
    window_manager = None
    compositor = False
    # Room for the board with a window manager's frame; a smaller screen makes every screenshot
    # cheaper. Tests that move the window set a larger one.
    screen_size = (1024, 768)
    board_args = ()
    toolbar_shown = True

    def setUp(self):
        self.x = XSession(*self.screen_size, window_manager=self.window_manager,
                          compositor=self.compositor).start()
        self.addCleanup(self.x.stop)
        self.board = Board(self.x, self.executable, self.board_args_for_test(),
                           toolbar_shown=self.toolbar_shown)
        self.addCleanup(self._stop_board)
        self.board.start()
        self.origin = self.board.geometry()[:2]
        self.desktop = self.x.settle_desktop()
        self.assertNotIn(self.desktop, [(0, 0, 0), KEY_RGB], "the desktop must stand out")

    def board_args_for_test(self):
        return list(self.board_args)

    def _stop_board(self):
        output = self.board.output() if self.board.process else ""
        self.board.stop()
        if self.board.process and self._outcome_failed() and output:
            sys.stderr.write("--- velmo output ---\n%s\n" % output)

    def _outcome_failed(self):
        outcome = getattr(self, "_outcome", None)
        return bool(outcome and not getattr(outcome, "success", True))

    # Board coordinates -> screen

    def screen(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def board_pixel(self, x, y, shot=None):
        return (shot or self.x.screenshot()).pixel(*self.screen(x, y))

    def window_under_board_point(self, x, y):
        return self.x.window_under(*self.screen(x, y))

    def first_difference(self, shot, left, top, right, bottom, expected_row):
        """The first board point of the rectangle whose colour on screen is not the expected one,
        as (x, y, seen, expected), or None. expected_row(y) gives packed RGB for x = left..right-1.
        """
        sx, sy = self.screen(0, 0)
        for y in range(top, bottom):
            seen = shot.row_rgb(sy + y, sx + left, sx + right)
            want = expected_row(y)
            if seen != want:
                i = next(i for i in range(0, len(want), 3) if seen[i:i + 3] != want[i:i + 3])
                return (left + i // 3, y, tuple(seen[i:i + 3]), tuple(want[i:i + 3]))
        return None

    def wait_for_area(self, left, top, right, bottom, expected_row, what,
                      timeout=DEFAULT_TIMEOUT):
        """Polls the screen until the board rectangle shows exactly the expected colours."""
        last = []

        def matches():
            last[:] = [self.first_difference(self.x.screenshot(), left, top, right, bottom,
                                             expected_row)]
            return last[0] is None

        try:
            poll_until(matches, timeout=timeout, interval=0.05, message=what)
        except Timeout as e:
            x, y, seen, want = last[0]
            raise Timeout("%s; board point %d,%d shows %s instead of %s"
                          % (e, x, y, seen, want)) from None

    def set_up_with(self, name, value):
        """setUp with the environment variable `name` set to `value` for the board it starts; the
        variable is put back as it was afterwards."""
        before = os.environ.get(name)
        os.environ[name] = value
        try:
            BoardTestCase.setUp(self)
        finally:
            if before is None:
                del os.environ[name]
            else:
                os.environ[name] = before

    def draw_freehand_across(self, x0, x1, y, step, end_margin, ink=(0, 0, 0)):
        """Holds Shift from board point (x0, y) and moves right in steps to x1, waiting until the
        stroke has begun and until it has reached x1 - end_margin before Shift goes up."""
        self.x.move_mouse(*self.screen(x0, y))
        self.x.key_down("shift")
        try:
            self.wait_for_pixel(x0, y, ink)
            for x in range(x0 + step, x1 + 1, step):
                self.x.move_mouse(*self.screen(x, y))
            self.wait_for_pixel(x1 - end_margin, y, ink)
        finally:
            self.x.key_up("shift")

    def wait_for_pixel(self, x, y, rgb, timeout=DEFAULT_TIMEOUT):
        """Polls the screen until the board point shows the colour."""
        seen = []

        def shows():
            seen[:] = [self.board_pixel(x, y)]
            return seen[0] == rgb

        try:
            poll_until(shows, timeout=timeout, message="board point %d,%d to show %s" % (x, y, rgb))
        except Timeout as e:
            raise Timeout("%s; it shows %s" % (e, seen[0] if seen else None)) from None

    # Toolbar and pointer helpers ----------------------------------------------------------

    def click_board(self, x, y, button=1):
        """Clicks at a board point, taken from where the board is now (it may have moved)."""
        self.x.click(*self.board.to_screen(x, y), button=button)

    def move_to_board(self, x, y):
        self.x.move_mouse(*self.board.to_screen(x, y))

    # Toolbar buttons and pictures -----------------------------------------------------------

    def click_toolbar_button(self, group_left, index):
        """Clicks the index-th button of the toolbar group that starts at group_left."""
        self.x.click(*self.screen(group_left + 4 + 20 * index + 10, 4 + 12))

    def wait_for_picture(self, left, top, rows, what, timeout=DEFAULT_TIMEOUT):
        """Polls until the board shows the picture (rows of packed RGB) with its top-left corner
        at (left, top), the key colour showing the desktop."""
        width = len(rows[0]) // 3
        shown = [see_through(row, self.desktop) for row in rows]
        self.wait_for_area(left, top, left + width, top + len(rows), lambda y: shown[y - top],
                           what, timeout=timeout)

    def wait_for_desktop(self, left, top, right, bottom, what, timeout=DEFAULT_TIMEOUT):
        """Polls until the board rectangle shows only the desktop."""
        row = bytes(self.desktop) * (right - left)
        self.wait_for_area(left, top, right, bottom, lambda y: row, what, timeout=timeout)


def write_bmp(path, width, height, rows):
    """Writes a 24-bit Windows bitmap; rows are packed RGB bytes, top row first."""
    stride = (3 * width + 3) & ~3
    image_size = stride * height
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + image_size, 0, 0, 14 + 40))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size, 2835, 2835,
                            0, 0))
        padding = bytes(stride - 3 * width)
        for row in reversed(rows):  # bottom-up
            bgr = bytearray(row)
            bgr[0::3], bgr[2::3] = row[2::3], row[0::3]
            f.write(bytes(bgr) + padding)


def see_through(row, desktop):
    """A row of packed RGB as the screen shows it: key-coloured pixels show the desktop."""
    out = bytearray(row)
    key, shown = bytes(KEY_RGB), bytes(desktop)
    for i in range(0, len(out), 3):
        if out[i:i + 3] == key:
            out[i:i + 3] = shown
    return bytes(out)


def write_png(path, width, height, rows):
    """Writes an 8-bit RGB PNG; rows are packed RGB bytes, top row first."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))

    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 on every row
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def end_processes(processes):
    """Ends the started processes, the last started first: asked to end, then killed when they
    have not within 5 s. Empties the list."""
    for proc in reversed(processes):
        if proc.poll() is None:
            proc.terminate()
    for proc in reversed(processes):
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    processes.clear()


def decode_picture(data, kind="png"):
    """The pixels of a PNG or BMP file's bytes as a Screenshot (ImageMagick reads any flavour)."""
    magic = {"png": b"\x89PNG\r\n\x1a\n", "bmp": b"BM"}[kind]
    if not data.startswith(magic):
        raise ValueError("not a %s: %r" % (kind.upper(), data[:16]))
    return Screenshot(subprocess.run(["convert", kind + ":-", "-depth", "8", "ppm:-"],
                                     input=data, stdout=subprocess.PIPE, check=True,
                                     timeout=DEFAULT_TIMEOUT).stdout)


def decode_alpha(data):
    """The alpha channel of a PNG file's bytes as a grey Screenshot: 0 transparent, 255 opaque."""
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        raise ValueError("not a PNG: %r" % (data[:16],))
    return Screenshot(subprocess.run(["convert", "png:-", "-alpha", "extract", "-depth", "8",
                                      "ppm:-"], input=data, stdout=subprocess.PIPE, check=True,
                                     timeout=DEFAULT_TIMEOUT).stdout)


def main():
    """Entry point of a test file: `python3 test_x.py /path/to/velmo [unittest args]`."""
    if len(sys.argv) < 2 or not os.access(sys.argv[1], os.X_OK):
        sys.exit("usage: %s /path/to/velmo [unittest options]" % sys.argv[0])
    BoardTestCase.executable = os.path.abspath(sys.argv[1])
    for tool in ("Xvfb", "xdotool", "xwininfo", "import", "xsetroot", "xprop", "openbox",
                 "xcompmgr"):
        if not shutil.which(tool):
            sys.exit("missing tool %s: run scripts/setup.sh" % tool)
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
