// The board's side of its tool dialogs: making them, opening them over a disabled board and
// taking the board back when they close, and placing them on its screen.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "dialogs/extension_tools/tform2.h"
#include "dialogs/settings/tform3.h"
#include "dialogs/text_stamp/tform4.h"
#include "window/dialog_centring.h"
#include "window/tform1.h"

namespace {

// The board as the extension tools see it.
class FiltersHost final : public TForm2::Host {
public:
    explicit FiltersHost(TForm1& board) : board_(board) {}
    void centre(QWidget& dialog) override { board_.centreDialog(dialog); }
    void closed() override { board_.toolDialogClosed(); }
    TColor penColour() const override { return board_.model().penColor(); }

    filters::Target beginRun(bool onlySelection) override {
        BoardModel& model = board_.model();
        model.lfb();
        Canvas& surface = model.surface();
        const QRect client = surface.rect();
        const QRect area =
            model.state.selectionFixed() && onlySelection ? model.state.SelectionRect : client;
        // Pixels under the board's controls or beyond its client area are neither read nor
        // written.
        const QRegion reachable = QRegion(client).subtracted(board_.alwaysShown());
        return filters::Target{surface.imageForWrite(), area, reachable};
    }

    void endRun(const filters::Target& target) override {
        BoardModel& model = board_.model();
        if (target.area.width() > 0 && target.area.height() > 0)
            model.surface().addDamage(target.reachable.intersected(target.area));
        model.stb();
        if (model.state.selectionFixed()) model.recoverarea();
    }

private:
    TForm1& board_;
};

// The board as the text stamp dialog sees it.
class TextHost final : public TForm4::Host {
public:
    explicit TextHost(TForm1& board) : board_(board) {}
    void centre(QWidget& dialog) override { board_.centreDialog(dialog); }
    void closed() override { board_.toolDialogClosed(); }
    Canvas& stamp() override { return board_.model().stores.stamp(); }
    void stampReady() override {
        board_.SpeedButton31Click(&board_);
        board_.model().state.DrawPhase = PhaseActive;
    }

private:
    TForm1& board_;
};

}  // namespace

TForm2& TForm1::form2() {
    if (!Form2) Form2 = std::make_unique<TForm2>(std::make_unique<FiltersHost>(*this), platform_);
    return *Form2;
}

TForm4& TForm1::form4() {
    if (!Form4) Form4 = std::make_unique<TForm4>(std::make_unique<TextHost>(*this), platform_);
    return *Form4;
}

// Every run of one opening is undone together: the undo picture is taken once, here. It is the
// committed picture: a selection frame or a preview on the surface must not reach it, or an undo
// would commit it for good.
void TForm1::openExtensionTools() {
    DrawState& s = model_.state;
    if (s.selectionFixed()) {
        model_.lfb();
        model_.SaveUndo();
        model_.recoverarea();
    } else if (s.DrawPhase != PhaseIdle || s.EraserActive) {
        model_.stores.saveCommittedUndo();
    } else {
        model_.SaveUndo();
    }
    openToolDialog(form2());
}

// No undo picture: the text only becomes the stamp, which is placed like any other.
void TForm1::openTextStamp() {
    openToolDialog(form4());
}

// The dialog belongs to the board: transient for it, a window manager keeps it above the board,
// minimises and restores the two together and offers little more than closing it. Without a
// window manager nobody else would give the dialog the keyboard.
void TForm1::openToolDialog(QWidget& dialog) {
    dialog.winId();
    if (QWindow* own = dialog.windowHandle()) own->setTransientParent(windowHandle());
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    setEnabled(false);
    present();
}

void TForm1::toolDialogClosed() {
    setEnabled(true);
    show();
    raise();
    activateWindow();
}

QWidget* TForm1::openDialog() const {
    QWidget* const dialogs[] = {Form2.get(), Form3.get(), Form4.get()};
    for (QWidget* d : dialogs)
        if (d && d->isVisible()) return d;
    return nullptr;
}

// The board takes no input while a dialog is open: whatever brings the board to the front
// (a task bar, a window list, its restore from minimised) brings the dialog back in front of it.
bool TForm1::bringBackDialog() {
    // A dialog that is closing has given the board its input back already.
    QWidget* dialog = isEnabled() ? nullptr : openDialog();
    if (!dialog) return false;
    if (dialog->isMinimized()) dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

void TForm1::centreDialog(QWidget& dialog) const {
    const auto name = QStringLiteral("centring");
    auto* centring = static_cast<DialogCentring*>(dialog.findChild<QObject*>(name));
    if (!centring) {
        centring = new DialogCentring(dialog, [this] {
            const QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
            return on ? on->geometry() : QRect();
        });
        centring->setObjectName(name);
    }
    centring->centre();
}
