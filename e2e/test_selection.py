"""Range selections cut and moved with the keyboard, the stamp that follows the pointer, and
undo, on the real window."""

import harness
from editing import (AROUND_PATCH, BLACK, LINE_TOOL, MARGIN, PATCH, PATCH_LEFT, PATCH_RECT,
                     PATCH_TOP, PEN_32, TB_DRAW, TB_PEN, EditingTestCase, PatchTestCase)

# A black line 32 pixels wide from (150, 200) to (300, 200); CORE lies inside it for sure.
LINE_FROM, LINE_TO = (150, 200), (300, 200)
CORE = (160, 190, 290, 210)
# The range around it: the frame's bottom-right pixel (350, 250) is an inverted one.
AROUND_LINE = ((100, 150), (351, 251))


def core_at(stamp_left, stamp_top):
    """The line's core in a stamp of AROUND_LINE placed with its top-left corner there."""
    dx, dy = stamp_left - AROUND_LINE[0][0], stamp_top - AROUND_LINE[0][1]
    return (CORE[0] + dx, CORE[1] + dy, CORE[2] + dx, CORE[3] + dy)


class CutAndPasteTest(EditingTestCase):
    def all_black(self, rect, shot=None):
        shot = shot or self.x.screenshot()
        left, top, right, bottom = rect
        return self.first_difference(shot, left, top, right, bottom,
                                     lambda y: bytes(BLACK) * (right - left)) is None

    def wait_black(self, rect, what):
        harness.poll_until(lambda: self.all_black(rect), message=what)

    def draw_thick_line(self):
        self.click_toolbar_button(TB_PEN, PEN_32)
        self.click_toolbar_button(TB_DRAW, LINE_TOOL)
        self.x.move_mouse(*self.screen(*LINE_FROM))
        self.x.key("shift")
        # A line of no length yet: a dot of the pen's width at the anchor.
        self.wait_for_pixel(LINE_FROM[0] + 12, LINE_FROM[1], BLACK)
        self.x.move_mouse(*self.screen(*LINE_TO))
        # The end fixed by the second press is where the last frame drew the line to.
        self.wait_for_pixel(*LINE_TO, BLACK)
        self.x.key("shift")
        self.wait_until_keys_handled(CORE)
        self.assertTrue(self.all_black(CORE), "the line is drawn")

    def test_cut_leaves_a_hole_and_paste_places_the_block_where_the_pointer_went(self):
        self.draw_thick_line()
        self.select(*AROUND_LINE, changing=CORE)
        self.x.key("alt+x")
        (left, top), (right, bottom) = AROUND_LINE
        self.wait_for_desktop(left, top, right, bottom, "the cut range (and its frame) to clear")

        self.x.key("alt+v")
        # The stamp starts where the pointer is, then follows it.
        self.wait_black(core_at(right, bottom), "the pasted stamp at the pointer")
        first, second = (400, 60), (560, 300)
        for point in (first, second):
            self.x.move_mouse(*self.screen(*point))
            self.wait_black(core_at(*point), "the stamp to follow the pointer to %s" % (point,))
        self.wait_for_desktop(*core_at(*first), "the stamp to leave %s" % (first,))
        self.assertEqual(self.board_pixel(225, 200), self.desktop, "the cut stays see-through")

        self.x.key("shift")
        shot = self.hold_eraser(second)  # the stamp's corner is see-through: nothing to erase
        self.assertTrue(self.all_black(core_at(*second), shot), "the placed copy is committed")
        # A further press shows the same stamp again, at the pointer; Ctrl takes it away.
        third = (100, 280)
        self.x.move_mouse(*self.screen(*third))
        self.x.key("shift")
        self.wait_black(core_at(*third), "a second preview at %s" % (third,))
        self.x.key("ctrl")
        self.wait_for_desktop(*core_at(*third), "the cancelled preview to go")
        self.assertTrue(self.all_black(core_at(*second)))

        placed = core_at(*second)
        self.wait_owned(((placed[0] + placed[2]) // 2, (placed[1] + placed[3]) // 2))
        self.wait_owned((225, 200), owned=False)


class MoveAndUndoTest(PatchTestCase):
    def test_moved_block_goes_back_on_undo_and_returns_on_redo(self):
        self.select(*AROUND_PATCH, changing=PATCH_RECT)
        self.x.key("alt+m")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "the move to leave a hole")
        target = (400, 250)
        moved = (target[0] + MARGIN, target[1] + MARGIN)
        self.wait_for_patch(AROUND_PATCH[1][0] + MARGIN, AROUND_PATCH[1][1] + MARGIN,
                            "the stamp at the pointer")
        self.x.move_mouse(*self.screen(*target))
        self.wait_for_patch(*moved, "the stamp following the pointer")
        self.x.key("shift")
        shot = self.hold_eraser(target)
        self.assertIsNone(self.first_difference(shot, *moved, moved[0] + 60, moved[1] + 40,
                                                lambda y: PATCH[y - moved[1]]),
                          "the placed block is committed")

        self.x.key("alt+z")
        self.wait_for_patch(PATCH_LEFT, PATCH_TOP, "undo")
        self.patch_gone(*moved, "undo")
        self.wait_owned((PATCH_LEFT + 30, PATCH_TOP + 20))
        self.wait_owned((moved[0] + 30, moved[1] + 20), owned=False)

        self.x.key("alt+z")  # the second press undoes the undo
        self.wait_for_patch(*moved, "redo")
        self.patch_gone(PATCH_LEFT, PATCH_TOP, "redo")
        self.wait_owned((moved[0] + 30, moved[1] + 20))


class CutAndPasteUnderWindowManagerTest(CutAndPasteTest):
    """Pointer and toolbar positions are mapped through a window manager's frame."""

    window_manager = "openbox"


class CutAndPasteUnderCompositorTest(CutAndPasteTest):
    """The key colour is painted clear through an alpha channel; only the input shape is cut."""

    compositor = True


if __name__ == "__main__":
    harness.main()
