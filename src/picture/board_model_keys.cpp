// The Shift/Ctrl state machine: keys only change the drawing state and move pictures between
// the surface and the stores; the frame tick draws.
#include "picture/board_model.h"

void BoardModel::keyDown(int key, QPoint cursor, bool real) {
    if (real) lastReal_ = cursor;
    if (key == VK_SHIFT) shiftDown(cursor, real);
    if (key == VK_CONTROL) ctrlDown(cursor, real);
}

// An anchor taken from a stale cursor waits for the first real position (see tick).
void BoardModel::shiftDown(QPoint cursor, bool real) {
    DrawState& s = state;
    const int tool = s.DrawTool;
    // While Ctrl erases, every tick commits the surface and then draws the eraser's marker over
    // it: only a freehand stroke can share that. A shape, selection, stamp or colour pick waits
    // until Ctrl is released, so that neither the marker nor a half-erased preview is ever
    // committed, saved for undo or picked as a colour.
    if (s.EraserActive && tool != ToolFreehand) return;
    if (tool >= ToolLine && tool <= ToolFill) {
        if (s.DrawPhase == PhaseIdle) {
            s.AnchorPoint = cursor;
            anchorPending_ = !real;
            SaveUndo();
            s.DrawPhase = PhaseActive;
        } else if (s.DrawPhase == PhaseActive) {
            // What is shown is fixed: with the pointer away, the shape as it last followed it.
            stb();
            const QPoint end = real ? cursor : lastReal_;
            if (tool == ToolPolyline && !anchorPending_ && end != s.AnchorPoint) {
                s.AnchorPoint = s.LastPoint;  // the next segment starts where the shown one ended
            } else {
                s.DrawPhase = PhaseIdle;
            }
        }
    } else if (tool == ToolFreehand) {
        if (!s.FreehandActive) {
            s.AnchorPoint = cursor;
            anchorPending_ = !real;
            s.FreehandActive = true;
            // A preview, frame or marker still shown must not reach the undo picture.
            if (s.DrawPhase != PhaseIdle || s.EraserActive)
                stores.saveCommittedUndo();
            else
                SaveUndo();
        }
    } else if (tool == ToolEyedropper) {
        if (real) pickColour(cursor);
    } else if (tool == ToolSelection) {
        if (s.DrawPhase == PhaseIdle) {
            stb();
            s.AnchorPoint = cursor;
            anchorPending_ = !real;
            s.DrawPhase = PhaseActive;
        } else if (s.DrawPhase == PhaseSelected) {
            s.AnchorPoint = cursor;
            anchorPending_ = !real;
            s.DrawPhase = PhaseActive;
        } else if (anchorPending_) {
            // The frame never showed: there is nothing to select.
            lfb();
            s.DrawPhase = PhaseIdle;
        } else {
            EnableSelectionCommands();
            s.DrawPhase = PhaseSelected;
        }
    } else if (tool == ToolStamp) {
        if (s.DrawPhase == PhaseIdle) {
            SaveUndo();
            s.DrawPhase = PhaseActive;
        } else {
            stb();
            if (!options.StampContinuous) s.DrawPhase = PhaseIdle;
        }
    }
}

void BoardModel::ctrlDown(QPoint cursor, bool real) {
    DrawState& s = state;
    if (s.DrawPhase == PhaseIdle) {
        if (!s.EraserActive) {
            s.AnchorPoint = cursor;
            anchorPending_ = !real;
            s.EraserActive = true;
        }
    } else if (s.DrawPhase == PhaseActive) {
        lfb();
        s.DrawPhase = PhaseIdle;
    }
}

void BoardModel::keyUp(int key) {
    DrawState& s = state;
    if (key == VK_SHIFT && s.FreehandActive) {
        s.FreehandActive = false;
        // The release also ends a shape or selection left under way: what it showed goes, and
        // with it the selection commands.
        if (s.DrawPhase != PhaseIdle) lfb();
        s.DrawPhase = PhaseIdle;
    } else if (key == VK_CONTROL && s.EraserActive) {
        s.EraserActive = false;
        s.DrawPhase = PhaseIdle;
        lfb();
    }
}

void BoardModel::pickColour(QPoint cursor) {
    // Outside the client area there is no board pixel: that reads as the key colour, so the
    // pick selects the eraser.
    const TColor picked = stores.surface().pixel(cursor.x(), cursor.y());
    setPenColor(palette.pick(picked));
    hooks_.paletteChanged();
}
