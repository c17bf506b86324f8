#include "window/tform1.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "dialogs/extension_tools/tform2.h"
#include "dialogs/settings/tform3.h"  // complete for the owner's destructor
#include "dialogs/text_stamp/tform4.h"
#include "picture/settings.h"
#include "picture/startup.h"
#include "platform/x11_info.h"
#include "platform/xwayland.h"
#include "widgets/bevel_panel.h"
#include "window/command_table.h"
#include "window/help_page.h"

TForm1::TForm1(Platform& platform, const QStringList& args, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      args_(args),
      model_(*this),
      repeater_(x11::keyRepeat().delayMs, x11::keyRepeat().intervalMs,
                [this](int key) { FormKeyDown(key); }),
      edit_(model_, platform_, OpenDialog1, SaveDialog1),
      files_(model_, platform_, OpenDialog1, SaveDialog1,
             help_page::path(QCoreApplication::applicationDirPath())),
      random_(std::random_device{}()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmora Board"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);

    // With a compositor the key colour is shown as clear alpha; this must be set before the
    // native window is created. Under XWayland the Wayland compositor shows every window with its
    // alpha channel, whether or not its X window manager claims to composite; and only an input
    // shape can be widened.
    const bool xwayland = x11::isXWayland();
    composited_ = x11::compositorRunning() || xwayland;
    if (composited_) setAttribute(Qt::WA_TranslucentBackground);
    pointer_ = PointerPresence(xwayland);

    buildToolbar();
    buildPopupMenu();

    // The options hold the start values until settings are read.
    Timer1.setTimerType(Qt::PreciseTimer);
    setFramePeriod(model_.options.TimerInterval);
    connect(&Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    resize(kDesignClientWidth, kDesignClientHeight);
    move(0, 0);
    layoutToolbar();
    FormCreate();
    Timer1.start();

    createSettingsDialog();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    model_.state.StartDir = QDir::currentPath();
    model_.initialiseStores();
    model_.FormResize(size());
    const QString& startDir = model_.state.StartDir;
    if (startup::shouldLoadSettings(startDir, args_)) {
        LoadSettings(settings::fileIn(startDir));
        model_.FormResize(size());
    }
    startRecovery();
    const QImage recovered = recovery_ ? committedPicture() : QImage();
    startup::handOverPicture(model_, args_, platform_);
    if (recovery_) {
        if (committedPicture() != recovered) recovery_->releaseOrphan();
        recovery_->start();
    }
}

QImage TForm1::committedPicture() const {
    const Canvas& buffer = model_.stores.buffer();
    return buffer.image().copy(QRect(QPoint(0, 0), size()).intersected(buffer.rect()));
}

// The picture of an instance that crashed comes back; a picture named on the command line is
// loaded over it and then leaves it for a later start.
void TForm1::startRecovery() {
    const QString folder = platform_.recoveryFolder();
    if (folder.isEmpty()) return;
    recovery_ =
        std::make_unique<PictureRecovery>(folder, platform_, [this] { return committedPicture(); });
    const QImage orphan = recovery_->takeOrphan();
    if (!orphan.isNull()) showRecoveredPicture(model_, orphan);
}

void TForm1::FormResize() {
    model_.FormResize(size());
}

void TForm1::FormActivate() {
    model_.state.RepaintPending = true;
}

void TForm1::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutToolbar();
    FormResize();
    if (shape_.attached()) attachShape();
    present();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    const QImage& surface = model_.stores.surface().image();
    if (!composited_) {
        for (const QRect& r : e->region())
            painter.drawImage(r.topLeft(), surface, r);
        return;
    }
    // Key pixels become fully clear; everything else stays opaque.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : e->region()) {
        const QRect c = r.intersected(surface.rect());
        if (c.isEmpty()) continue;
        if (scratch_.width() < c.width() || scratch_.height() < c.height())
            scratch_ = QImage(std::max(scratch_.width(), c.width()),
                              std::max(scratch_.height(), c.height()),
                              QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < c.height(); ++y) {
            const QRgb* s =
                reinterpret_cast<const QRgb*>(surface.constScanLine(c.top() + y)) + c.left();
            QRgb* d = reinterpret_cast<QRgb*>(scratch_.scanLine(y));
            for (int x = 0; x < c.width(); ++x)
                d[x] = s[x] == TransparentKeyRgb ? 0u : s[x];
        }
        painter.drawImage(c.topLeft(), scratch_, QRect(0, 0, c.width(), c.height()));
    }
}

QRegion TForm1::alwaysShown() const {
    QRegion shown;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->isVisible() && !w->isWindow()) shown += w->geometry();
    }
    return shown;
}

void TForm1::attachShape() {
    if (!shape_.available()) return;
    shape_.attach(winId(), size(),
                  composited_ ? WindowShape::Kind::Input : WindowShape::Kind::Bounding);
}

void TForm1::present() {
    // Painting while the X server still works on the last reshape would wait for it (the backing
    // store syncs with the server before it reuses its shared memory). The changes stay in the
    // stores until a tick finds the server idle, and then go out together.
    if (shape_.attached() && shape_.busy()) return;
    const QRegion changed = model_.stores.takePresentDamage();
    if (!changed.isEmpty()) repaint(changed);
    if (!shape_.attached()) return;
    const QRegion shown = alwaysShown();
    const QRegion controls = shown.xored(lastAlwaysShown_);
    lastAlwaysShown_ = shown;
    QRegion reshape = changed;
    if (composited_) {
        // The compositor shows the picture through its alpha channel; the shape only decides
        // where clicks land, and following the committed picture is enough for that. A moving
        // preview then costs no reshape: its pixels wait until they are committed or gone.
        inputPending_ += changed;
        reshape = model_.stores.settled(inputPending_);
        inputPending_ -= reshape;
    }
    // Where controls appeared or went away, the shape changes at once.
    reshape += controls;
    restoreShapeAfterMove();
    shape_.update(model_.stores.surface().image(), TransparentKeyRgb, reshape, shown);
}

bool TForm1::event(QEvent* e) {
    if (e->type() == QEvent::Leave && pointer_.leavingBreaksTheWay()) model_.pointerLeft();
    // The shape is first sent when the window is about to be mapped (the show event comes just
    // before the map request), once its controls are visible: a shape sent when the native window
    // is created would leave out the toolbar, and the window would be mapped without it until the
    // next tick found the X server idle to send the rest.
    const bool mapping = e->type() == QEvent::Show && !shape_.attached();
    const bool recreated = e->type() == QEvent::WinIdChange && isVisible();
    if (mapping || recreated) {
        const bool result = QWidget::event(e);
        attachShape();
        present();
        return result;
    }
    return QWidget::event(e);
}

void TForm1::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    if (e->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized))
        FormActivate();
}

void TForm1::mousePressEvent(QMouseEvent* e) {
    if (pressOnWidenedSeeThrough(e->position().toPoint())) return;
    if (e->button() == Qt::RightButton) {
        openPopupMenu(e->globalPosition().toPoint());
        return;
    }
    FormMouseDown(e->button(), e->globalPosition().toPoint());
}

void TForm1::mouseReleaseEvent(QMouseEvent* e) {
    FormMouseUp(e->button());
}

void TForm1::setSelectionCommandsEnabled(bool on) {
    for (const char* name : selectionCommandControls()) {
        if (QAbstractButton* b = button(QString::fromLatin1(name))) b->setEnabled(on);
        if (QAction* a = menuItem(QString::fromLatin1(name))) a->setEnabled(on);
    }
}

// Dragging works on the client area's screen position, never on the frame's: what the toolkit
// knows of the window manager's frame lags behind a frame change until the manager's next
// configure, and an origin taken by one measure and a move made by the other would jump by the
// frame's size.
void TForm1::moveWindow(int left, int top) {
    simplifyShape(0);
    setGeometry(QRect(QPoint(left, top), size()));
}

unsigned TForm1::randomBelow(unsigned bound) {
    return std::uniform_int_distribution<unsigned>(0, bound - 1)(random_);
}
