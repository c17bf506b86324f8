// Settings: reading and writing "config.ini", the settings dialog, closing the board and the
// duplicate command that hands the picture and the settings to a second board.
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>

#include "dialogs/settings/tform3.h"
#include "picture/settings.h"
#include "platform/bitmap_file.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

namespace {
// How long after start-up an outer size from the settings is still adjusted to the frame a
// window manager puts around the window.
constexpr int kOuterSizeMs = 3000;
// The largest outer side taken from the file: the surface is allocated at the client size.
constexpr int kMaxSide = 8192;

QString cannotStartMessage(const QString& program) {
    return QStringLiteral("プログラム %1 を起動できません").arg(program);
}
}  // namespace

void TForm1::setFramePeriod(int ms) {
    model_.options.TimerInterval = ms;
    Timer1.setInterval(settings::timerPeriod(ms));
}

BoardSettings TForm1::currentSettings() const {
    const Options& o = model_.options;
    const QRect outer = frameGeometry();
    BoardSettings s;
    s.border = frameShown();
    s.alphablend = translucent();
    s.stayontop = stayOnTop();
    s.toolber = toolbarShown();
    s.width = outer.width();
    s.height = outer.height();
    s.left = outer.left();
    s.top = outer.top();
    s.framerate = o.TimerInterval;
    s.onEraseAll = o.ConfirmEraseAll;
    s.onExitMenu = o.ConfirmExitMenu;
    s.onExitBox = o.ConfirmExitBox;
    s.continuous = o.StampContinuous;
    s.transparent = model_.stores.stamp().transparent();
    s.atonce = o.FillAtOnce;
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

    const QSize outer(std::clamp(s.width, 1, kMaxSide), std::clamp(s.height, 1, kMaxSide));
    const QSize margins = frameGeometry().size() - size();
    resize((outer - margins).expandedTo(QSize(1, 1)));
    move(s.left, y());
    move(x(), s.top);
    outerWanted_ = outer;
    outerMargins_ = margins;
    outerUntil_.setRemainingTime(kOuterSizeMs);
    // The geometry is the settings' own: no client area is held where the toggles left it.
    holdUntil_ = QDeadlineTimer(0);

    setFramePeriod(s.framerate);
    Options& o = model_.options;
    o.ConfirmEraseAll = s.onEraseAll;
    o.ConfirmExitMenu = s.onExitMenu;
    o.ConfirmExitBox = s.onExitBox;
    o.StampContinuous = s.continuous;
    o.FillAtOnce = s.atonce;
    model_.stores.stamp().setTransparent(s.transparent);
}

// Once a window manager has framed the window, the client area is sized so that the outer size
// is the one the settings asked for; a later frame change corrects it again, a user's resize
// (which leaves the frame as it is) is not undone.
void TForm1::keepOuterSize() {
    if (!outerWanted_.isValid() || outerUntil_.hasExpired()) {
        outerWanted_ = QSize();
        return;
    }
    const QSize margins = frameGeometry().size() - size();
    if (margins == outerMargins_) return;
    outerMargins_ = margins;
    if (!frameShown()) return;
    resize((outerWanted_ - margins).expandedTo(QSize(1, 1)));
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

void TForm1::SpeedButton22Click() {
    stb();
    const QString startDir = model_.state.StartDir;
    const QString handOver = startDir + QStringLiteral("/tmp.bmp");
    const QString error = bitmap_file::write(handOver, model_.stores.buffer().image());
    if (!error.isEmpty()) {
        platform_.showError(error);
        return;
    }
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

// The settings dialog, created once, edits seven of the board's live values.
void TForm1::createSettingsDialog() {
    auto read = [this] {
        const Options& o = model_.options;
        TForm3::Values v;
        v.period = o.TimerInterval;
        v.eraseAll = o.ConfirmEraseAll;
        v.exitMenu = o.ConfirmExitMenu;
        v.exitBox = o.ConfirmExitBox;
        v.stampTransparent = model_.stores.stamp().transparent();
        v.stampContinuous = o.StampContinuous;
        v.fillAtOnce = o.FillAtOnce;
        return v;
    };
    auto apply = [this](const TForm3::Values& v) {
        setFramePeriod(v.period);
        Options& o = model_.options;
        o.ConfirmEraseAll = v.eraseAll;
        o.ConfirmExitMenu = v.exitMenu;
        o.ConfirmExitBox = v.exitBox;
        model_.stores.stamp().setTransparent(v.stampTransparent);
        o.StampContinuous = v.stampContinuous;
        o.FillAtOnce = v.fillAtOnce;
    };
    Form3 = std::make_unique<TForm3>(TForm3::Board{this, read, apply});
}

void TForm1::SpeedButton27Click() {
    openToolDialog(*Form3);
}
