#include "picture/edit_commands.h"

#include "platform/bitmap_file.h"
#include "platform/picture_file.h"

EditCommands::EditCommands(BoardModel& model, Platform& platform, PictureDialogState& openDialog,
                           PictureDialogState& saveDialog)
    : model_(model), platform_(platform), OpenDialog1(openDialog), SaveDialog1(saveDialog) {}

QString EditCommands::noBitmapMessage() {
    return QStringLiteral("未対応のクリップボード データです");
}

QString EditCommands::cannotOpenClipboardMessage() {
    return QStringLiteral("クリップボードを開くことができません");
}

// Whether the surface shows something not committed: a selection frame, a shape, selection or
// stamp preview, or the eraser's marker. None of it may reach the undo picture, or an undo would
// commit it for good.
bool EditCommands::showsUncommitted() const {
    const DrawState& s = model_.state;
    return s.DrawPhase != PhaseIdle || s.EraserActive;
}

// What is not committed is taken off the surface first. A fixed selection stays fixed with its
// frame hidden; a preview is drawn again by the next tick.
void EditCommands::undoRedo() {
    if (showsUncommitted()) model_.lfb();
    model_.SwapUndo();
}

// A paste keeps the surface as it is (the command may fail and leave everything in place), so
// its undo picture is the committed picture whenever the surface shows more than that.
void EditCommands::saveUndoForPaste() {
    if (showsUncommitted())
        model_.stores.saveCommittedUndo();
    else
        model_.SaveUndo();
}

// A selection without width or height holds no picture: no clipboard or bitmap file can take
// it, so the commands that hand the selection on act as if disabled and change nothing.
bool EditCommands::selectionEmpty() const {
    return model_.state.SelectionRect.isEmpty();
}

void EditCommands::copyToClipboard() {
    if (selectionEmpty()) return;
    model_.lfb();
    captureSelection();
    putStampOnClipboard();
}

void EditCommands::cutToClipboard() {
    if (selectionEmpty()) return;
    model_.lfb();
    model_.SaveUndo();
    cutSelection();
    putStampOnClipboard();
}

void EditCommands::copyToFile() {
    if (selectionEmpty()) return;
    model_.lfb();
    captureSelection();
    if (!platform_.runSaveDialog(SaveDialog1)) return;
    const QString error = picture_file::write(SaveDialog1.fileName, model_.stores.stamp().image());
    if (!error.isEmpty()) platform_.showError(error);
}

void EditCommands::copySelectionAsStamp() {
    model_.lfb();
    model_.SaveUndo();
    captureSelection();
    startStamp();
}

void EditCommands::moveSelection() {
    model_.lfb();
    model_.SaveUndo();
    cutSelection();
    startStamp();
}

void EditCommands::pasteFromClipboard() {
    QImage picture;
    const ClipboardStatus read = platform_.readClipboardImage(picture);
    // The undo picture is taken once the clipboard is read: the board keeps drawing while a slow
    // owner sends, and a stroke made meanwhile is part of what the paste's undo goes back to.
    saveUndoForPaste();
    switch (read) {
        case ClipboardStatus::Ok:
            break;
        case ClipboardStatus::NoBitmap:
            platform_.showError(noBitmapMessage());
            return;
        case ClipboardStatus::CannotOpen:
            platform_.showError(cannotOpenClipboardMessage());
            return;
    }
    setStampPicture(picture);
    startStamp();
}

void EditCommands::pasteFromChosenFile() {
    if (platform_.runOpenDialog(OpenDialog1)) PasteFromFile();
}

void EditCommands::PasteFromFile() {
    saveUndoForPaste();
    const bitmap_file::ReadResult picture = picture_file::read(OpenDialog1.fileName);
    if (!picture.ok()) {
        platform_.showError(picture.error);
        return;
    }
    setStampPicture(picture.image);
    startStamp();
}

void EditCommands::captureSelection() {
    model_.CaptureStamp(model_.surface(), model_.state.SelectionRect);
}

// Captures the selection into the stamp, leaves a see-through hole and commits it.
void EditCommands::cutSelection() {
    captureSelection();
    model_.surface().fillRect(model_.state.SelectionRect);
    model_.stb();
}

void EditCommands::putStampOnClipboard() {
    if (platform_.writeClipboardImage(model_.stores.stamp().image()) != ClipboardStatus::Ok)
        platform_.showError(cannotOpenClipboardMessage());
}

// The stamp takes the picture's size and pixels; its transparency setting stays. The picture
// is taken over as it is (shared until either side changes): sizing the stamp and copying the
// pixels in would allocate, fill and copy a picture of the same size once more.
void EditCommands::setStampPicture(const QImage& picture) {
    Canvas& stamp = model_.stores.stamp();
    stamp.imageForWrite() = picture.convertToFormat(QImage::Format_RGB32);
    stamp.addDamage(stamp.rect());
}

// The stamp tool as chosen by the board itself: the preview starts at the next tick.
void EditCommands::startStamp() {
    model_.selectTool(ToolStamp);
    model_.state.DrawPhase = PhaseActive;
}
