"""How the board presents itself: its window icon, and which tool and pen width are chosen."""

import re

import controls
import harness

TOOL_GROUP, PEN_GROUP = "tbDraw", "tbPen"


def relative_luminance(rgb):
    def channel(v):
        s = v / 255.0
        return s / 12.92 if s <= 0.04045 else ((s + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(v) for v in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = relative_luminance(a), relative_luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def icon_sizes(xprop_output):
    """The (width, height) of each picture in a _NET_WM_ICON property as xprop draws it."""
    return [(int(w), int(h)) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", xprop_output)]


class LookTest(harness.BoardTestCase):
    def face(self, group, index, shot):
        """A pixel of a toolbar button's face, below its glyph and inside its bevels."""
        left = controls.GROUP_LEFT[group] + 4 + 20 * index
        return self.board_pixel(left + 2, 4 + 21, shot)

    def test_the_window_carries_the_boards_icon(self):
        out = self.x.run("xprop", "-id", str(self.board.window), "_NET_WM_ICON")
        # The sizes drawn for it (xprop leaves out the largest, 256 × 256).
        sizes = icon_sizes(out)
        for size in ((16, 16), (32, 32), (48, 48)):
            self.assertIn(size, sizes)

    def test_the_chosen_tool_and_pen_width_stand_out_from_the_others(self):
        self.click_toolbar_button(controls.GROUP_LEFT[TOOL_GROUP], 1)  # the line tool
        self.click_toolbar_button(controls.GROUP_LEFT[PEN_GROUP], 4)  # pen width 12
        self.move_to_board(500, 300)  # no button under the pointer

        def chosen_darker():
            shot = self.x.screenshot()
            return (self.face(TOOL_GROUP, 1, shot) != self.face(TOOL_GROUP, 0, shot)
                    and self.face(PEN_GROUP, 4, shot) != self.face(PEN_GROUP, 1, shot)) and shot

        shot = harness.poll_until(chosen_darker, message="the chosen buttons to be shown down")
        for group, down, up in ((TOOL_GROUP, 1, 0), (PEN_GROUP, 4, 1)):
            with self.subTest(group=group):
                down_face, up_face = self.face(group, down, shot), self.face(group, up, shot)
                self.assertLess(relative_luminance(down_face), relative_luminance(up_face))
                self.assertGreaterEqual(contrast(down_face, up_face), 1.4,
                                        "down %s against up %s" % (down_face, up_face))
                # Every other button of the group shows the same up face.
                for other in range(7):
                    if other != down:
                        self.assertEqual(self.face(group, other, shot), up_face, other)


if __name__ == "__main__":
    harness.main()
