#pragma once

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdlib>

#include "fake_platform.h"
#include "picture/edit_commands.h"

namespace fuzz {

// The offscreen Qt application every target needs for its image plug-ins and fonts.
inline void startQt(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
}

// A folder for the targets' scratch files, in memory when the machine has one: on a disk,
// truncating, rewriting and flushing a file for every input costs more than reading it.
inline QString scratchFolder() {
    const QString shm = QStringLiteral("/dev/shm");
    return QFileInfo(shm).isDir() && QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
}

// A board with its scripted platform and editing commands, as the window holds them.
struct Board {
    FakePlatform platform;
    TestBoard board;
    PictureDialogState openDialog, saveDialog;
    EditCommands edit{board.model, platform, openDialog, saveDialog};

    // The stamp just loaded is previewed, placed with Shift and undone, as a user would.
    void stampAndUndo() {
        BoardModel& m = board.model;
        m.tick({5, 5}, {5, 5});
        m.keyDown(VK_SHIFT, {5, 5});
        m.keyUp(VK_SHIFT);
        edit.undoRedo();
        if (m.stores.buffer().width() != ImageStores::kStoreWidth) std::abort();
    }
};

}  // namespace fuzz
