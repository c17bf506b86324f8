#pragma once

#include <QPoint>
#include <QSize>

#include "picture/draw_state.h"
#include "picture/image_stores.h"
#include "picture/palette.h"
#include "picture/settings.h"

// What the drawing logic needs from the window that shows it.
class BoardHooks {
public:
    virtual ~BoardHooks() = default;
    // Enables or disables the five selection commands (buttons and menu items).
    virtual void setSelectionCommandsEnabled(bool on) = 0;
    // The palette's bevels or colours changed.
    virtual void paletteChanged() {}
    // DrawTool changed: the window presses the tool's button and checks its menu item.
    virtual void toolChanged(int /*tool*/) {}
    // Moves the window so that its client area's top-left is at this screen point.
    virtual void moveWindow(int left, int top) = 0;
    // A pseudo-random integer in [0, bound).
    virtual unsigned randomBelow(unsigned bound) = 0;
};

// The board's picture and drawing state with the operations on them: the image stores, the
// Shift/Ctrl state machine and the frame tick that renders previews and strokes. It knows
// nothing of widgets; the board window turns events into calls here.
class BoardModel {
public:
    explicit BoardModel(BoardHooks& hooks);

    DrawState state;
    Options options;
    Palette palette;
    ImageStores stores;

    // Start-up: BoardReady, the stores filled with the key colour, pen width 4.
    void initialiseStores();

    // Surface operations.
    void stb();
    void lfb();
    void recoverarea();
    void SaveUndo();
    void SwapUndo();
    void CaptureStamp(const Canvas& canvas, const QRect& r);
    // The client area has a new size (the window system repainted it to the key colour).
    void FormResize(QSize client);

    // Sets DrawTool and shows it on the tool controls; nothing else changes.
    void selectTool(int tool);

    void EnableSelectionCommands();
    void DisableSelectionCommands();
    bool selectionCommandsEnabled() const { return selectionCommandsEnabled_; }

    Canvas& surface() { return stores.surface(); }
    TColor penColor() const { return stores.surface().penColor(); }
    void setPenColor(TColor c) { stores.surface().setPenColor(c); }
    int penWidth() const { return stores.surface().penWidth(); }
    void setPenWidth(int w) { stores.surface().setPenWidth(w); }

    // Key input: the cursor is in client coordinates, unclamped. `real` is false when the
    // cursor is a stale position (the pointer is away and the window system kept its last
    // place): nothing is anchored or picked there.
    void keyDown(int key, QPoint cursor, bool real = true);
    void keyUp(int key);

    // One frame tick: cursor in client and in screen coordinates, read once for the tick. With
    // a stale cursor (`real` false) nothing is drawn from it: a stroke lifts and starts again at
    // the next real position, a shape keeps its last real end, and an anchor still waiting for a
    // real position keeps waiting.
    void tick(QPoint cursor, QPoint screenCursor, bool real = true);
    // Whether the next tick looks at the cursor at all (a preview, a stroke or a drag is under
    // way); when it does not, the cursor need not be read.
    bool tickUsesCursor() const;
    // Whether something follows the pointer: a shape, selection, stamp or text preview, a
    // freehand stroke or the eraser.
    bool followsPointer() const;
    // The pointer went where its positions cannot be followed (under XWayland: off the board's
    // window): a stroke lifts, and starts again at the next position read.
    void pointerLeft();
    // Whether the stroke or shape under way waits for a real position to start from.
    bool anchorPending() const { return anchorPending_; }
    // Whether the next tick would do anything at all. When it would not, the window may stop its
    // frame timer until the next key, command or other input changes the state.
    bool tickHasWork() const;
    void DrawPreview(QPoint cursor);

private:
    void shiftDown(QPoint cursor, bool real);
    void ctrlDown(QPoint cursor, bool real);
    void pickColour(QPoint cursor);
    void segmentStep(QPoint cursor);
    void fillPreview(QPoint cursor);

    BoardHooks& hooks_;
    bool selectionCommandsEnabled_ = false;
    // Set when an anchor was taken from a stale position or a stroke lifted off: the next real
    // position becomes the anchor.
    bool anchorPending_ = false;
    QPoint lastReal_;  // the cursor of the last tick that had a real one
};
