// Command handlers of the file, edit and dialog groups, and the duplicate command that hands the
// picture and the settings to a second board.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>

#include "picture/settings.h"
#include "window/tform1.h"

namespace {
QString cannotStartMessage(const QString& program) {
    return QStringLiteral("プログラム %1 を起動できません").arg(program);
}
}  // namespace

void TForm1::SpeedButton15Click() {
    files_.eraseAll();
}
void TForm1::SpeedButton16Click() {
    files_.openPicture();
}
void TForm1::SpeedButton17Click() {
    files_.savePicture();
}
void TForm1::SpeedButton18Click() {
    files_.showHelp();
}
void TForm1::SpeedButton23Click() {
    edit_.undoRedo();
}
void TForm1::SpeedButton32Click() {
    edit_.cutToClipboard();
}
void TForm1::SpeedButton24Click() {
    edit_.copyToClipboard();
}
void TForm1::SpeedButton25Click() {
    edit_.pasteFromClipboard();
}
void TForm1::SpeedButton34Click() {
    edit_.copyToFile();
}

void TForm1::SpeedButton33Click() {
    edit_.pasteFromChosenFile();
    if (QAbstractButton* b = button(QStringLiteral("SpeedButton33"))) b->repaint();
}

void TForm1::SpeedButton29Click() {
    edit_.moveSelection();
}
void TForm1::SpeedButton30Click() {
    edit_.copySelectionAsStamp();
}
void TForm1::SpeedButton35Click() {
    openTextStamp();
}
void TForm1::SpeedButton26Click() {
    openExtensionTools();
}

// Each duplicate hands over its own file: two pressed in quick succession must not share one
// that the first new board deletes before the second has read it.
void TForm1::SpeedButton22Click() {
    const QString startDir = model_.state.StartDir;
    const QString handOver = files_.writeHandOver(startDir);
    if (handOver.isEmpty()) return;
    // The hand-over file is of use only to a board that starts: without one it goes again.
    if (!SaveSettings(settings::fileIn(startDir))) {
        QFile::remove(handOver);
        return;
    }
    const QString program = QCoreApplication::applicationFilePath();
    if (!platform_.startProcess(program, {handOver, QStringLiteral("delete")}, startDir)) {
        QFile::remove(handOver);
        platform_.showError(cannotStartMessage(program));
    }
}
