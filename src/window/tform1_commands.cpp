// Command handlers of the file, edit and dialog groups.
#include <QAbstractButton>

#include "window/tform1.h"

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
