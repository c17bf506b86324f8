"""Where the board's controls are, in board (client) coordinates: the centre of each control, or
a point of a panel's bare background. The toolbar is one row, 33 pixels high, of groups laid out
left to right; a group's buttons are 20 x 24, at 20-pixel steps from x = 4, 4 pixels from the top.
"""

TOOLBAR_HEIGHT = 33

GROUP_LEFT = {"tbSystem": 0, "tbEdit": 109, "tbDraw": 278, "tbPen": 548, "Panel23": 697,
              "tbConfig": 786}


def button(group, index):
    """The centre of the index-th button (from 0) of a toolbar group."""
    return GROUP_LEFT[group] + 4 + 20 * index + 10, 4 + 12


def group_background(group, x=50):
    """A point of the group's own face, below its buttons and above its bottom bevel."""
    return GROUP_LEFT[group] + x, 30


def swatch(left, top):
    """The centre of an 8 x 12 colour swatch at (left, top) inside the palette group."""
    return GROUP_LEFT["Panel23"] + left + 4, top + 6


def swatch_corner(left, top):
    """The top-left pixel of a swatch: black when it is the chosen one, light when raised."""
    return GROUP_LEFT["Panel23"] + left, top


LINE_TOOL = button("tbDraw", 1)  # SpeedButton2
RECTANGLE_TOOL = button("tbDraw", 4)  # SpeedButton5, two opposite corners
PEN_WIDTH = {1: button("tbPen", 0), 4: button("tbPen", 1), 12: button("tbPen", 4)}

# (left, top) of colour swatches in the palette group, with the colour each stands for.
BLACK_SWATCH = (4, 4)  # Panel2, selected at start
RED_SWATCH = (12, 16)  # Panel5
TEAL_SWATCH = (44, 4)  # Panel11
SWATCH_RGB = {BLACK_SWATCH: (0, 0, 0), RED_SWATCH: (255, 0, 0), TEAL_SWATCH: (0, 128, 128)}

TRANSLUCENT_TOGGLE = button("tbConfig", 1)  # Panel21
FRAME_TOGGLE = button("tbConfig", 2)  # Panel22

# The fold button "<" sits 4 pixels into the 17-pixel panel at the toolbar's right end; the
# tab that replaces the folded toolbar is 17 x 25 at the top-left corner, its ">" at (4, 4).
def fold_button(client_width):
    return client_width - 17 + 4 + 4, 16


TAB = (17, 25)  # width and height of the fold-out tab
RESTORE_BUTTON = (4 + 4, 4 + 8)
