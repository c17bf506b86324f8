"""Runs the real board in a Wayland session, as users of current Linux desktops do: a headless sway
with XWayland, a native Wayland terminal (foot) filling the screen beneath the board, and the
board on sway's XWayland display. Pointer and keys go in through the compositor's virtual pointer
and virtual keyboard (the velmo_wl_inject helper), so that XWayland sees them as it would a real
mouse: it learns where the pointer is only while the pointer is over one of its own windows.

sway refuses to run as root. Run as root, the session belongs to a throwaway system user
(VELMO_WAYLAND_USER, "velmo-e2e" by default, made here when missing); the board's executable must
be readable by it. Every wait polls a condition with a deadline; every process started here is
ended again, also when a test fails or the run is killed.
"""

import json
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import harness
from harness import DEFAULT_TIMEOUT, poll_until

WINDOW_TITLE = harness.WINDOW_TITLE
SCREEN = (1024, 768)
DESKTOP_RGB = (37, 91, 158)  # sway's own background, seen nowhere while foot fills the screen
FOOT_RGB = (0, 0, 0x30)  # the terminal's background: no colour the board draws with
FOOT_RGB_HEX = "%02x%02x%02x" % FOOT_RGB

# evdev codes, as the virtual devices take them
KEYS = {"shift": 42, "ctrl": 29}
BUTTONS = {1: 272, 3: 273}

USER = os.environ.get("VELMO_WAYLAND_USER", "velmo-e2e")

SWAY_CONFIG = """\
output HEADLESS-1 resolution {width}x{height} position 0 0 bg #{bg} solid_color
xwayland enable
focus_follows_mouse {follow}
mouse_warping none
default_border none
default_floating_border none
seat * hide_cursor 0
for_window [class="velmo"] floating enable, border none
exec sh -c 'printf "%s\\n" "$DISPLAY" > {tmp}/display.new && mv {tmp}/display.new {tmp}/display'
"""


def _as_user():
    """(uid, gid) to run the session as: the throwaway user when run as root, else ourselves."""
    if os.geteuid() != 0:
        return None
    try:
        entry = pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--user-group", "--no-create-home", "--shell",
                        "/usr/sbin/nologin", USER], check=True, stdout=subprocess.DEVNULL)
        entry = pwd.getpwnam(USER)
    return entry.pw_uid, entry.pw_gid


class WaylandSession:
    """A headless sway with XWayland and foot beneath, as an unprivileged user."""

    def __init__(self, width=SCREEN[0], height=SCREEN[1], focus_follows_mouse=False):
        self.width = width
        self.height = height
        self.focus_follows_mouse = focus_follows_mouse
        self.user = _as_user()
        self._tmp = tempfile.TemporaryDirectory(prefix="velmo-wl-")
        self.tmpdir = self._tmp.name
        if self.user:
            os.chown(self.tmpdir, *self.user)
        os.chmod(self.tmpdir, 0o700)
        self.display = None
        self.wayland_display = None
        self._processes = []
        self._injector = None
        self.cursor = (width // 2, height // 2)  # where sway puts the pointer at start

    # Processes ----------------------------------------------------------------------------

    def env(self, **extra):
        env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": self.tmpdir,
               "XDG_RUNTIME_DIR": self.tmpdir, "LANG": "C.UTF-8",
               "XDG_STATE_HOME": os.path.join(self.tmpdir, "state")}
        if self.wayland_display:
            env["WAYLAND_DISPLAY"] = self.wayland_display
            env["SWAYSOCK"] = self._sway_socket()
        if self.display:
            env["DISPLAY"] = self.display
        env.update(extra)
        return env

    def _user_kwargs(self):
        if not self.user:
            return {}
        return {"user": self.user[0], "group": self.user[1], "extra_groups": []}

    def spawn(self, argv, env=None, cwd=None, **kwargs):
        proc = subprocess.Popen(argv, env=env or self.env(), cwd=cwd or self.tmpdir,
                                stdin=kwargs.pop("stdin", subprocess.DEVNULL),
                                preexec_fn=harness._die_with_parent, **self._user_kwargs(),
                                **kwargs)
        self._processes.append(proc)
        return proc

    def run(self, *argv, check=True, timeout=DEFAULT_TIMEOUT, text=True):
        done = subprocess.run(argv, env=self.env(), cwd=self.tmpdir, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout,
                              **self._user_kwargs())
        if check and done.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (" ".join(argv), done.returncode,
                                                       done.stderr.decode(errors="replace")))
        return done.stdout.decode(errors="replace") if text else done.stdout

    def own(self, path):
        """Hands a file or folder made by the test over to the session's user."""
        if self.user:
            os.chown(path, *self.user)

    def start(self, injector):
        try:
            self._start_sway()
            self.spawn(["foot", "-o", "colors.background=" + FOOT_RGB_HEX, "cat"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            poll_until(lambda: self.find_view(app_id="foot"), message="foot to be mapped")
            poll_until(lambda: self.pixel(self.width - 1, self.height - 1) == FOOT_RGB,
                       message="foot to fill the screen")
            self._start_injector(injector)
        except BaseException:
            self.stop()
            raise
        return self

    def _start_sway(self):
        config = os.path.join(self.tmpdir, "sway.config")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG.format(width=self.width, height=self.height, tmp=self.tmpdir,
                                       bg="%02x%02x%02x" % DESKTOP_RGB,
                                       follow="yes" if self.focus_follows_mouse else "no"))
        self.own(config)
        self._sway_log = open(os.path.join(self.tmpdir, "sway.log"), "wb")
        self.own(self._sway_log.name)
        self.sway = self.spawn(["sway", "-c", config],
                               env=self.env(WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                                            WLR_RENDERER="pixman"),
                               stdout=self._sway_log, stderr=subprocess.STDOUT)

        def socket_ready():
            if self.sway.poll() is not None:
                raise AssertionError("sway exited with %d:\n%s" % (self.sway.returncode,
                                                                  self.sway_output()))
            names = [n for n in os.listdir(self.tmpdir)
                     if n.startswith("wayland-") and not n.endswith(".lock")]
            ipc = [n for n in os.listdir(self.tmpdir) if n.startswith("sway-ipc.")]
            display = os.path.join(self.tmpdir, "display")
            if not (names and ipc and os.path.exists(display)):
                return None
            with open(display) as f:
                return names[0], f.read().strip()

        self.wayland_display, self.display = poll_until(socket_ready, message="sway to start")
        if not self.display:
            raise AssertionError("sway started no XWayland")

    def _sway_socket(self):
        names = [n for n in os.listdir(self.tmpdir) if n.startswith("sway-ipc.")]
        return os.path.join(self.tmpdir, names[0]) if names else ""

    def sway_output(self):
        self._sway_log.flush()
        with open(self._sway_log.name, "rb") as f:
            return f.read().decode(errors="replace")[-4000:]

    def _start_injector(self, injector):
        self._injector = self.spawn([injector, str(self.width), str(self.height)],
                                    stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
        line = self._injector.stdout.readline().decode().strip()
        if line != "ready":
            raise AssertionError("the injector did not start: %r %s" % (
                line, self._injector.stderr.read().decode(errors="replace")))

    def stop(self):
        if self._injector:
            for stream in (self._injector.stdin, self._injector.stdout, self._injector.stderr):
                stream.close()
        harness.end_processes(self._processes)
        if getattr(self, "_sway_log", None):
            self._sway_log.close()
        self._tmp.cleanup()

    # The compositor's view of things ----------------------------------------------------------

    def tree(self):
        return json.loads(self.run("swaymsg", "-r", "-t", "get_tree"))

    def find_view(self, app_id=None, title=None):
        """The sway node of a mapped window with the app_id (Wayland) or title, or None."""
        stack = [self.tree()]
        while stack:
            node = stack.pop()
            if node.get("pid") and ((app_id and node.get("app_id") == app_id)
                                    or (title and node.get("name") == title)):
                return node
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def focused_view(self):
        stack = [self.tree()]
        while stack:
            node = stack.pop()
            if node.get("focused") and node.get("pid"):
                return node
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def screenshot(self):
        return harness.Screenshot(self.run("grim", "-t", "ppm", "-", text=False))

    def pixel(self, x, y):
        return self.screenshot().pixel(x, y)

    # Input ------------------------------------------------------------------------------

    def _inject(self, command):
        self._injector.stdin.write((command + "\n").encode())
        self._injector.stdin.flush()
        answer = self._injector.stdout.readline().decode().strip()
        if answer != "ok":
            raise AssertionError("the injector answered %r to %r" % (answer, command))

    def move_mouse(self, x, y, over_x=None):
        """Moves the pointer; returns once the compositor has handled the motion and, with
        `over_x` (the point in X's coordinates, when it lies over an X window), once XWayland
        has too."""
        self._inject("move %d %d" % (x, y))
        self.cursor = (x, y)
        if over_x:
            poll_until(lambda: self.x_pointer() == over_x, interval=0.005,
                       message="XWayland to see the pointer at %d,%d" % over_x)

    def x_pointer(self):
        """Where XWayland has the pointer: frozen while it is over a Wayland window."""
        fields = dict(line.split("=", 1) for line in
                      self.run("xdotool", "getmouselocation", "--shell").split())
        return int(fields["X"]), int(fields["Y"])

    def key_down(self, key):
        self._inject("key %d 1" % KEYS[key])

    def key_up(self, key):
        self._inject("key %d 0" % KEYS[key])

    def click(self, x, y, button=1, over_x=None):
        self.move_mouse(x, y, over_x=over_x)
        self._inject("button %d 1" % BUTTONS[button])
        self._inject("button %d 0" % BUTTONS[button])


class WaylandBoardTestCase(unittest.TestCase):
    """Each test gets a fresh session and a freshly started board at the screen's top-left."""

    executable = None  # set by main()
    injector = None
    focus_follows_mouse = False

    def setUp(self):
        self.w = WaylandSession(focus_follows_mouse=self.focus_follows_mouse).start(self.injector)
        self.addCleanup(self.w.stop)
        start = os.path.join(self.w.tmpdir, "start")
        os.makedirs(start)
        self.w.own(start)
        self._log = open(os.path.join(self.w.tmpdir, "velmo.log"), "wb")
        self.addCleanup(self._stop_board)
        self.board = self.w.spawn([self.executable], cwd=start,
                                  env=self.w.env(QT_QPA_PLATFORM="xcb"),
                                  stdout=self._log, stderr=subprocess.STDOUT)
        view = poll_until(self._board_view, message="the board window to be mapped")
        self.origin = (view["rect"]["x"], view["rect"]["y"])
        self.size = (view["rect"]["width"], view["rect"]["height"])
        window = self.w.run("xdotool", "search", "--name", "^%s$" % WINDOW_TITLE).split()[0]
        info = dict(line.strip().split(":", 1) for line in
                    self.w.run("xwininfo", "-id", window).splitlines() if ":" in line)
        self.x_origin = (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]))
        poll_until(lambda: (self.w.focused_view() or {}).get("name") == WINDOW_TITLE,
                   message="the board to have the keyboard focus")
        # The toolbar shows once the board has painted; the client area below it shows foot.
        poll_until(lambda: self.board_pixel(*self.BLANK) == FOOT_RGB,
                   message="the board to show what lies beneath")

    BLANK = (450, 250)  # a see-through point of the blank board

    def _board_view(self):
        if self.board.poll() is not None:
            raise AssertionError("velmo exited with %d:\n%s" % (self.board.returncode,
                                                               self.board_output()))
        return self.w.find_view(title=WINDOW_TITLE)

    def board_output(self):
        self._log.flush()
        with open(self._log.name, "rb") as f:
            return f.read().decode(errors="replace")

    def _stop_board(self):
        failed = self._outcome_failed()
        output = self.board_output()
        keep = os.environ.get("VELMO_WAYLAND_FAILED_SHOTS")
        if failed and keep:
            # What the screen showed when the test failed, for a person to look at.
            path = os.path.join(keep, self.id().rsplit(".", 1)[-1] + ".ppm")
            with open(path, "wb") as f:
                f.write(self.w.run("grim", "-t", "ppm", "-", text=False))
        if self.board.poll() is None:
            self.board.terminate()
            try:
                self.board.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.board.kill()
                self.board.wait()
        self._log.close()
        if failed:
            sys.stderr.write("--- velmo output ---\n%s\n--- sway ---\n%s\n"
                             % (output, self.w.sway_output()))

    def _outcome_failed(self):
        # Each cleanup runs with the outcome's success reset: ask the result instead.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        return bool(result) and any(test is self for test, _ in result.failures + result.errors)

    # Board coordinates -> screen

    def screen(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def x_screen(self, x, y):
        """A board point in the X server's coordinates: sway may place the X window a pixel
        away from where it shows it (rounding when it centres a floating window)."""
        return self.x_origin[0] + x, self.x_origin[1] + y

    def board_pixel(self, x, y, shot=None):
        return (shot or self.w.screenshot()).pixel(*self.screen(x, y))

    def move_to_board(self, x, y):
        """Moves the pointer to a board point; inside the board, returns once XWayland has seen
        it there (so that the board hears of it before anything sent after)."""
        inside = 0 <= x < self.size[0] and 0 <= y < self.size[1]
        self.w.move_mouse(*self.screen(x, y), over_x=self.x_screen(x, y) if inside else None)

    def click_board(self, x, y, button=1):
        self.w.click(*self.screen(x, y), button=button, over_x=self.x_screen(x, y))

    def wait_for_pixel(self, x, y, rgb, timeout=DEFAULT_TIMEOUT):
        seen = []

        def shows():
            seen[:] = [self.board_pixel(x, y)]
            return seen[0] == rgb

        try:
            poll_until(shows, timeout=timeout, interval=0.05,
                       message="board point %d,%d to show %s" % (x, y, rgb))
        except harness.Timeout as e:
            raise harness.Timeout("%s; it shows %s" % (e, seen[0] if seen else None)) from None


def main():
    """Entry point: `python3 test_x.py /path/to/velmo /path/to/velmo_wl_inject [unittest args]`."""
    if len(sys.argv) < 3 or not all(os.access(p, os.X_OK) for p in sys.argv[1:3]):
        sys.exit("usage: %s /path/to/velmo /path/to/velmo_wl_inject [unittest options]"
                 % sys.argv[0])
    WaylandBoardTestCase.executable = os.path.abspath(sys.argv[1])
    WaylandBoardTestCase.injector = os.path.abspath(sys.argv[2])
    for tool in ("sway", "swaymsg", "Xwayland", "foot", "grim"):
        if not shutil.which(tool):
            sys.exit("missing tool %s: run scripts/setup.sh" % tool)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
