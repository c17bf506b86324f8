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

    // Key input: the cursor is in client coordinates, unclamped.
    void keyDown(int key, QPoint cursor);
    void keyUp(int key);

    // One frame tick: cursor in client and in screen coordinates, read once for the tick.
    void tick(QPoint cursor, QPoint screenCursor);
    // Whether the next tick looks at the cursor at all (a preview, a stroke or a drag is under
    // way); when it does not, the cursor need not be read.
    bool tickUsesCursor() const;
    // Whether the next tick would do anything at all. When it would not, the window may stop its
    // frame timer until the next key, command or other input changes the state.
    bool tickHasWork() const;
    void DrawPreview(QPoint cursor);

private:
    void shiftDown(QPoint cursor);
    void ctrlDown(QPoint cursor);
    void pickColour(QPoint cursor);
    void segmentStep(QPoint cursor);
    void fillPreview(QPoint cursor);

    BoardHooks& hooks_;
    bool selectionCommandsEnabled_ = false;
};
