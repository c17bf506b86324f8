// Settings: reading and writing "config.ini", the settings dialog and closing the board.
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>

#include "dialogs/settings/tform3.h"
#include "picture/settings.h"
#include "picture/window_placement.h"
#include "platform/screens.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

void TForm1::setFramePeriod(int ms) {
    model_.options.TimerInterval = ms;
    Timer1.setInterval(settings::timerPeriod(ms));
}

BoardSettings TForm1::currentSettings() const {
    const QRect outer = frameGeometry();
    BoardSettings s;
    static_cast<Options&>(s) = model_.options;
    s.border = frameShown();
    s.alphablend = translucent();
    s.stayontop = stayOnTop();
    s.toolber = toolbarShown();
    // A window the board placed itself (its stored rectangle was off the screens there are now)
    // keeps the stored rectangle in the file until the user moves or sizes it.
    const bool kept = outer == placed_.shown;
    s.width = kept ? placed_.width : outer.width();
    s.height = kept ? placed_.height : outer.height();
    s.left = kept ? placed_.left : outer.left();
    s.top = kept ? placed_.top : outer.top();
    s.transparent = model_.stores.stamp().transparent();
    return s;
}

void TForm1::applySettings(const BoardSettings& s) {
    // The window modes through their own toggles, each only when it has to change.
    if (frameShown() != s.border) Panel22Click();
    if (translucent() != s.alphablend) Panel21Click();
    if (stayOnTop() != s.stayontop) Panel20Click();
    // Folding by the settings paints and commits nothing, unlike the fold command.
    Panel1->setVisible(s.toolber);
    Pn_tatamu->setVisible(!s.toolber);
    menuItem(QStringLiteral("B1"))->setChecked(s.toolber);

    const settings::Key& w = settings::row("width");
    const settings::Key& h = settings::row("height");
    const QSize stored(std::clamp(s.width, w.min, w.max), std::clamp(s.height, h.min, h.max));
    const QSize margins = frameGeometry().size() - size();
    const QRect outer = placement::onScreens({s.left, s.top}, stored, screens::availableRects(),
                                             smallestClient(s.toolber) + margins);
    placed_ = {s.left, s.top, s.width, s.height, outer};
    resize((outer.size() - margins).expandedTo(QSize(1, 1)));
    move(outer.left(), y());
    move(x(), outer.top());
    presenter_.wantOuterSize(outer.size(), margins);
    // The geometry is the settings' own: no client area is held where the toggles left it.
    presenter_.releaseClientRect();

    applyOptions(s);
}

void TForm1::applyOptions(const BoardSettings& s) {
    model_.options = s;
    setFramePeriod(s.TimerInterval);
    model_.stores.stamp().setTransparent(s.transparent);
}

void TForm1::LoadSettings(const QString& path) {
    applySettings(settings::read(path));
}

bool TForm1::SaveSettings(const QString& path) {
    const QString error = settings::write(path, currentSettings());
    if (error.isEmpty()) return true;
    platform_.showError(error);
    return false;
}

bool TForm1::FormClose() {
    if (!SaveSettings(settings::fileIn(model_.state.StartDir))) return false;
    if (model_.options.ConfirmExitBox && !closeUnasked_ &&
        !platform_.confirm(QStringLiteral("終了しますか？")))
        return false;
    return true;
}

void TForm1::closeEvent(QCloseEvent* e) {
    // A close box pressed while a dialog is open: the dialog's edits are not dropped, it only
    // comes to the front.
    if (bringBackDialog()) {
        e->ignore();
        return;
    }
    if (!FormClose()) {
        e->ignore();
        return;
    }
    e->accept();
    if (Form3) Form3->hide();
}

void TForm1::Exit1Click() {
    const Options& o = model_.options;
    if (o.ConfirmExitMenu && !o.ConfirmExitBox &&
        !platform_.confirm(QStringLiteral("終了しますか？")))
        return;
    close();
}

// The settings dialog, created once, edits the board's live options by their keys.
void TForm1::createSettingsDialog() {
    auto read = [this] {
        const BoardSettings s = currentSettings();
        TForm3::Values v;
        for (const settings::Key& k : settings::kKeys)
            v.insert(QString::fromLatin1(k.key), settings::get(s, k));
        return v;
    };
    auto apply = [this](const TForm3::Values& v) {
        BoardSettings s = currentSettings();
        for (const settings::Key& k : settings::kKeys) {
            const auto value = v.constFind(QString::fromLatin1(k.key));
            if (value != v.cend()) settings::set(s, k, *value);
        }
        applyOptions(s);
    };
    const settings::Key& period = settings::row("framerate");
    Form3 = std::make_unique<TForm3>(
        TForm3::Board{this, read, apply, period.min, period.max, period.start,
                      [this](QWidget& dialog) { centreDialog(dialog); }});
}

void TForm1::SpeedButton27Click() {
    openToolDialog(*Form3);
}
