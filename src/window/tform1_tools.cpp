// Tool, pen-width and palette handlers. Each sets the model and shows the choice on both the
// toolbar button and the menu item, so the two surfaces stay in step.
#include <QAbstractButton>
#include <QAction>

#include "widgets/bevel_panel.h"
#include "window/command_table.h"
#include "window/tform1.h"

// Puts the radio button down and checks its menu item; the groups release the others.
void TForm1::showChosen(const char* buttonName, const char* itemName) {
    if (QAbstractButton* b = button(QString::fromLatin1(buttonName))) b->setChecked(true);
    if (QAction* a = menuItem(QString::fromLatin1(itemName))) a->setChecked(true);
}

void TForm1::toolChanged(int tool) {
    for (const ToolEntry& t : toolEntries()) {
        if (t.tool == tool) showChosen(t.button, t.item);
    }
}

void TForm1::SpeedButton1Click() {
    model_.selectTool(ToolFreehand);
}
void TForm1::SpeedButton2Click() {
    model_.selectTool(ToolLine);
}
void TForm1::SpeedButton3Click() {
    model_.selectTool(ToolPolyline);
}
void TForm1::SpeedButton4Click() {
    model_.selectTool(ToolRectCentre);
}
void TForm1::SpeedButton5Click() {
    model_.selectTool(ToolRectCorners);
}
void TForm1::SpeedButton6Click() {
    model_.selectTool(ToolEllipseCentre);
}
void TForm1::SpeedButton7Click() {
    model_.selectTool(ToolEllipseBox);
}
void TForm1::SpeedButton21Click() {
    model_.selectTool(ToolFill);
}
void TForm1::SpeedButton28Click() {
    model_.selectTool(ToolSelection);
}
void TForm1::SpeedButton36Click() {
    model_.selectTool(ToolEyedropper);
}

void TForm1::SpeedButton31Click(QObject* sender) {
    // Chosen by the user, the stamp preview starts at once; commands that have just set a new
    // stamp start it themselves.
    if (sender != this) model_.state.DrawPhase = PhaseActive;
    model_.selectTool(ToolStamp);
}

void TForm1::SpeedButton31ButtonClick() {
    SpeedButton31Click(button(QStringLiteral("SpeedButton31")));
}

void TForm1::T2Click() {
    SpeedButton31Click(button(QStringLiteral("SpeedButton31")));
}

void TForm1::setPenWidthFrom(int width) {
    model_.setPenWidth(width);
    for (const PenWidthEntry& p : penWidthEntries()) {
        if (p.width == width) showChosen(p.button, p.item);
    }
}

void TForm1::SpeedButton8Click() {
    setPenWidthFrom(1);
}
void TForm1::SpeedButton10Click() {
    setPenWidthFrom(4);
}
void TForm1::SpeedButton11Click() {
    setPenWidthFrom(6);
}
void TForm1::SpeedButton12Click() {
    setPenWidthFrom(8);
}
void TForm1::SpeedButton13Click() {
    setPenWidthFrom(12);
}
void TForm1::SpeedButton14Click() {
    setPenWidthFrom(16);
}
void TForm1::SpeedButton9Click() {
    setPenWidthFrom(32);
}

void TForm1::paletteChanged() {
    for (const Swatch& s : model_.palette.swatches()) {
        BevelPanel* p = panel(QString::fromLatin1(s.name));
        if (!p) continue;
        p->setColour(QColor::fromRgb(toQRgb(s.colour)));
        p->setOuterLowered(s.outerLowered);
        // The inner bevel appears only once the eyedropper has lowered it.
        p->setBevels(true, s.innerLowered);
        p->setInnerLowered(s.innerLowered);
    }
}

void TForm1::ReleasePaletteButtons() {
    model_.palette.releaseAll();
    paletteChanged();
}

void TForm1::Panel2Click(int swatch) {
    model_.setPenColor(model_.palette.selectColour(swatch));
    paletteChanged();
}

void TForm1::Panel15Click() {
    model_.setPenColor(model_.palette.selectEraser());
    paletteChanged();
}

void TForm1::Panel17Click() {
    TColor chosen = model_.palette.dialogColour();
    if (!platform_.chooseColour(model_.palette.dialogColour(), chosen)) return;
    model_.setPenColor(model_.palette.selectFreeColour(chosen));
    paletteChanged();
}

void TForm1::C1Click() {
    Panel17Click();
}
void TForm1::E3Click() {
    Panel15Click();
}
