#include "picture/board_model.h"

BoardModel::BoardModel(BoardHooks& hooks) : hooks_(hooks) {}

void BoardModel::initialiseStores() {
    state.BoardReady = true;
    stores.initialise();
    setPenWidth(4);
}

void BoardModel::stb() {
    stores.commit();
    DisableSelectionCommands();
}

void BoardModel::lfb() {
    stores.restore();
    DisableSelectionCommands();
}

void BoardModel::recoverarea() {
    stores.surface().focusRect(state.SelectionRect);
}

void BoardModel::SaveUndo() {
    stores.saveUndo();
}

void BoardModel::SwapUndo() {
    stores.swapUndo();
}

void BoardModel::CaptureStamp(const Canvas& canvas, const QRect& r) {
    stores.captureStamp(canvas, r);
}

void BoardModel::FormResize(QSize client) {
    stores.resizeSurface(client);
    if (state.BoardReady) lfb();
}

void BoardModel::selectTool(int tool) {
    // A freehand stroke belongs to the freehand tool: what it drew is committed already, and it
    // ends here, so that its per-tick commit never takes in the new tool's frame or preview.
    if (tool != ToolFreehand) state.FreehandActive = false;
    state.DrawTool = static_cast<std::uint8_t>(tool);
    hooks_.toolChanged(tool);
}

// The window is told only when the state changes; the controls need no repeated updates.
void BoardModel::EnableSelectionCommands() {
    if (selectionCommandsEnabled_) return;
    selectionCommandsEnabled_ = true;
    hooks_.setSelectionCommandsEnabled(true);
}

void BoardModel::DisableSelectionCommands() {
    if (!selectionCommandsEnabled_) return;
    selectionCommandsEnabled_ = false;
    hooks_.setSelectionCommandsEnabled(false);
}
