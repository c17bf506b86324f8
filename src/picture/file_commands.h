#pragma once

#include <QString>

#include "picture/board_model.h"
#include "platform/platform.h"

// The commands that act on the whole picture: erase all, open and save of a Windows bitmap or a
// PNG, and help. Each is a short sequence of surface operations; a failing file step stops the
// command with an error box and leaves the picture as it was.
class FileCommands {
public:
    // The two dialog states are shared with the selection commands that run the same dialogs.
    FileCommands(BoardModel& model, Platform& platform, PictureDialogState& openDialog,
                 PictureDialogState& saveDialog, QString helpPage);

    void eraseAll();     // SpeedButton15 / E2
    void openPicture();  // SpeedButton16 / Open1
    void savePicture();  // SpeedButton17 / Save1
    void showHelp();     // SpeedButton18 / Help1

    // Puts the picture of a bitmap file at the top-left of the committed picture and shows it.
    // The file is read whole first: one that cannot be read is reported and changes nothing.
    // Returns whether the picture was loaded.
    bool loadPicture(const QString& path);
    // The same without a box: the message, or an empty string once the picture is loaded.
    QString loadPictureFrom(const QString& path);
    // Writes the committed picture to the file without a dialog or a box: a bitmap, or a PNG
    // with the key colour transparent when the name ends in ".png". Returns the message, or an
    // empty string on success.
    QString savePictureTo(const QString& path);

    // Writes the picture save would write to a new bitmap file in `folder` that no other board
    // and no user's file has, for a second board to load and delete. Returns its name, or an
    // empty string after the error box.
    QString writeHandOver(const QString& folder);

    const QString& helpPage() const { return helpPage_; }

    static QString eraseAllQuestion();  // "全部消して宜しいですか？"
    static constexpr int kHelpTopic = 1;

private:
    bool showsUncommitted() const;

    BoardModel& model_;
    Platform& platform_;
    PictureDialogState& OpenDialog1;
    PictureDialogState& SaveDialog1;
    QString helpPage_;
};
