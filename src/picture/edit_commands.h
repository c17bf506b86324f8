#pragma once

#include <QImage>

#include "picture/board_model.h"
#include "platform/platform.h"

// The editing commands of the toolbar and pop-up menu: undo/redo, the commands on a fixed
// range selection and the two that load a picture into the stamp. Each is a short, fixed
// sequence of surface operations and drawing-state changes; a failing clipboard or file step
// stops the command there with an error box, leaving the earlier steps in place.
class EditCommands {
public:
    // The two dialog states are shared with the whole-picture open and save commands.
    EditCommands(BoardModel& model, Platform& platform, PictureDialogState& openDialog,
                 PictureDialogState& saveDialog);

    void undoRedo();              // SpeedButton23 / Undo1
    void cutToClipboard();        // SpeedButton32 / X1
    void copyToClipboard();       // SpeedButton24 / Copy1
    void pasteFromClipboard();    // SpeedButton25 / Paste1
    void copyToFile();            // SpeedButton34 / B2
    void pasteFromChosenFile();   // SpeedButton33 / N1: OpenDialog1, then PasteFromFile
    void moveSelection();         // SpeedButton29 / M3
    void copySelectionAsStamp();  // SpeedButton30 / N2

    // Loads the file last chosen through OpenDialog1 into the stamp and starts stamping.
    void PasteFromFile();

    static QString noBitmapMessage();  // "未対応のクリップボード データです"
    static QString cannotOpenClipboardMessage();  // "クリップボードを開くことができません"

private:
    bool showsUncommitted() const;
    bool selectionEmpty() const;
    void saveUndoForPaste();
    void captureSelection();
    void cutSelection();
    void putStampOnClipboard();
    void setStampPicture(const QImage& picture);
    void startStamp();

    BoardModel& model_;
    Platform& platform_;
    PictureDialogState& OpenDialog1;
    PictureDialogState& SaveDialog1;
};
