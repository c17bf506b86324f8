#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

// Tool codes of DrawTool. Code 9 is not used.
enum ToolCode : std::uint8_t {
    ToolFreehand = 1,
    ToolLine = 2,
    ToolPolyline = 3,
    ToolRectCentre = 4,
    ToolRectCorners = 5,
    ToolEllipseCentre = 6,
    ToolEllipseBox = 7,
    ToolFill = 8,
    ToolEyedropper = 10,
    ToolSelection = 11,
    ToolStamp = 12,
};

// DrawPhase values.
enum PhaseCode : std::uint8_t {
    PhaseIdle = 0,
    PhaseActive = 1,     // a shape, selection or stamp is under way and previewed every tick
    PhaseSelected = 11,  // a range selection is fixed
};

// Virtual-key codes the board reacts to; either physical key gives the same code.
inline constexpr int VK_SHIFT = 16;
inline constexpr int VK_CONTROL = 17;

// The board's shared drawing state.
struct DrawState {
    std::uint8_t DrawTool = ToolFreehand;
    std::uint8_t DrawPhase = PhaseIdle;
    QPoint AnchorPoint{0, 0};
    QPoint LastPoint{0, 0};
    // Left, top, right, bottom; right and bottom exclusive; kept normalised.
    QRect SelectionRect{0, 0, 0, 0};
    bool FreehandActive = false;
    bool EraserActive = false;
    bool DragActive = false;
    QPoint DragCursorOrigin{0, 0};
    QPoint DragWindowOrigin{0, 0};  // the client area's top-left on the screen
    bool RepaintPending = false;
    bool BoardReady = false;
    QString StartDir;

    bool selectionFixed() const { return DrawTool == ToolSelection && DrawPhase == PhaseSelected; }
};
