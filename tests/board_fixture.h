#pragma once

// The board window on a scripted platform, as the unit tests drive it.

#include <QDir>
#include <QString>
#include <QStringList>

#include "fake_platform.h"
#include "window/tform1.h"

// A board window made in `startDir` (the current folder when empty) with these command-line
// arguments, as `velmo` would be started from there, answering through `platform`.
template <class ScriptedPlatform = FakePlatform>
struct BoardWindowOf {
    ScriptedPlatform platform;

private:
    // The start-up folder is the current one while the window is made, and only then.
    struct StartIn {
        QString before = QDir::currentPath();
        explicit StartIn(const QString& dir) {
            if (!dir.isEmpty()) QDir::setCurrent(dir);
        }
    } startIn_;

public:
    TForm1 form;

    explicit BoardWindowOf(const QStringList& args = {}, const QString& startDir = {})
        : startIn_(startDir), form(platform, args) {
        QDir::setCurrent(startIn_.before);
    }
    BoardModel& model() { return form.model(); }
    const Options& options() { return form.model().options; }
    Canvas& surface() { return form.model().surface(); }
};

using BoardWindow = BoardWindowOf<>;

// A board started in a folder of its own, as `velmo` would be from there.
struct StartedBoard : BoardWindow {
    explicit StartedBoard(const QString& dir, const QStringList& args = {})
        : BoardWindow(args, dir) {}
};
