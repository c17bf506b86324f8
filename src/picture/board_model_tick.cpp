// The frame tick: the only place where previews and strokes are drawn.
#include <array>

#include "picture/board_model.h"

void BoardModel::tick(QPoint c, QPoint screen, bool real) {
    DrawState& s = state;
    // 0. A stale cursor draws nothing. A stroke lifts off and starts again where the pointer is
    //    next seen, with no line across the gap; an anchor waiting for a real position takes it.
    if (!followsPointer()) {
        anchorPending_ = false;
    } else if (!real) {
        if (s.FreehandActive || s.EraserActive) anchorPending_ = true;
    } else if (anchorPending_) {
        s.AnchorPoint = c;
        anchorPending_ = false;
    }
    if (real) lastReal_ = c;
    const bool draw = real && !anchorPending_;
    // 1. A fixed selection whose tool was changed is dropped.
    if (s.DrawPhase == PhaseSelected && s.DrawTool != ToolSelection) {
        lfb();
        s.DrawPhase = PhaseIdle;
    }
    // 2. The preview, drawn over a fresh copy of the committed picture.
    if (s.DrawPhase == PhaseActive && draw) {
        stores.frameRestore();
        DisableSelectionCommands();
        DrawPreview(c);
    }
    // 3. Freehand stroke. It commits the surface, so the eraser's marker (drawn by the last
    //    tick, never committed) is taken off first.
    if (s.FreehandActive && draw) {
        if (s.EraserActive) lfb();
        segmentStep(c);
    }
    // 4. Eraser stroke with its marker dot, which is never committed.
    if (s.EraserActive && draw) {
        Canvas& surface = stores.surface();
        const TColor pen = surface.penColor();
        lfb();
        surface.setPenColor(TransparentKey);
        segmentStep(c);
        surface.setPenColor(hooks_.randomBelow(16777216u));
        surface.lineTo(s.AnchorPoint);
        surface.setPenColor(pen);
    }
    // 5. Window drag.
    if (s.DragActive) {
        hooks_.moveWindow(screen.x() + s.DragWindowOrigin.x() - s.DragCursorOrigin.x(),
                          screen.y() + s.DragWindowOrigin.y() - s.DragCursorOrigin.y());
    }
    // 6. Deferred repaint.
    if (s.RepaintPending) {
        s.RepaintPending = false;
        lfb();
        if (s.selectionFixed()) {
            recoverarea();
            EnableSelectionCommands();
        }
        // A shape under way keeps its preview: the next Shift fixes what is shown.
        if (s.DrawPhase == PhaseActive && !anchorPending_) DrawPreview(real ? c : lastReal_);
    }
}

void BoardModel::segmentStep(QPoint c) {
    Canvas& surface = stores.surface();
    surface.moveTo(state.AnchorPoint);
    surface.lineTo(c);
    state.AnchorPoint = surface.penPos();
    stb();
}

void BoardModel::DrawPreview(QPoint c) {
    DrawState& s = state;
    Canvas& surface = stores.surface();
    const QPoint a = s.AnchorPoint;
    switch (s.DrawTool) {
        case ToolLine:
        case ToolPolyline:
            surface.moveTo(a);
            surface.lineTo(c);
            s.LastPoint = c;
            break;
        case ToolRectCentre: {
            const int ox = 2 * a.x() - c.x(), oy = 2 * a.y() - c.y();
            const std::array<QPoint, 5> pts{QPoint(ox, oy), QPoint(c.x(), oy), c, QPoint(ox, c.y()),
                                            QPoint(ox, oy)};
            surface.polyline(pts);
            break;
        }
        case ToolRectCorners: {
            const std::array<QPoint, 5> pts{a, QPoint(c.x(), a.y()), c, QPoint(a.x(), c.y()), a};
            surface.polyline(pts);
            break;
        }
        case ToolEllipseCentre:
            surface.arc(c, QPoint(2 * a.x() - c.x(), 2 * a.y() - c.y()), QPoint(a.x(), a.y() + 1),
                        QPoint(a.x(), a.y() + 1));
            break;
        case ToolEllipseBox:
            surface.arc(a, c, QPoint(0, 0), QPoint(0, 0));
            break;
        case ToolFill:
            fillPreview(c);
            break;
        case ToolSelection:
            s.SelectionRect = rectLTRB(std::min(a.x(), c.x()), std::min(a.y(), c.y()),
                                       std::max(a.x(), c.x()), std::max(a.y(), c.y()));
            surface.focusRect(s.SelectionRect);
            break;
        case ToolStamp:
            surface.draw(c, stores.stamp());
            break;
        default:
            break;
    }
}

void BoardModel::fillPreview(QPoint c) {
    Canvas& surface = stores.surface();
    const TColor brush = surface.brushColor();
    surface.setBrushColor(surface.penColor());
    const TColor k = surface.pixel(c.x(), c.y());
    surface.floodFill(c, k);
    surface.setBrushColor(brush);
    if (options.FillAtOnce) {
        stb();
        state.DrawPhase = PhaseIdle;
    }
}

void BoardModel::pointerLeft() {
    if (state.FreehandActive || state.EraserActive) anchorPending_ = true;
}

bool BoardModel::followsPointer() const {
    const DrawState& s = state;
    return s.DrawPhase == PhaseActive || s.FreehandActive || s.EraserActive;
}

bool BoardModel::tickUsesCursor() const {
    // Steps 1 and 6 never look at the cursor, and step 1 never starts a preview.
    const DrawState& s = state;
    return s.DrawPhase == PhaseActive || s.FreehandActive || s.EraserActive || s.DragActive;
}

bool BoardModel::tickHasWork() const {
    // Steps 1 and 6 are the only ones that work without the cursor.
    const DrawState& s = state;
    const bool droppedSelection = s.DrawPhase == PhaseSelected && s.DrawTool != ToolSelection;
    return tickUsesCursor() || droppedSelection || s.RepaintPending;
}
