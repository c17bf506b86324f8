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
      presenter_(*this, model_.stores, model_.state),
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

    pointer_ = PointerPresence(x11::isXWayland());

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
    watchScreens();
    qApp->installEventFilter(this);
    Timer1.start();

    createSettingsDialog();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    model_.state.StartDir = QDir::currentPath();
    screensChanged();
    model_.initialiseStores();
    model_.FormResize(deviceSize());
    const QString& startDir = model_.state.StartDir;
    if (startup::shouldLoadSettings(startDir, args_)) {
        LoadSettings(settings::fileIn(startDir));
        model_.FormResize(deviceSize());
    }
    startRecovery();
    // Whether the hand-over wrote the committed picture, by its cache key (every write changes
    // it): neither a copy of the store to compare with (33 MB on a 4K desktop) nor a shared
    // reference, which the hand-over's first write would have to copy the whole store for.
    const qint64 recovered = model_.stores.buffer().image().cacheKey();
    const bool takenOver = startup::handOverPicture(model_, args_, platform_);
    if (recovery_) {
        if (model_.stores.buffer().image().cacheKey() != recovered) recovery_->releaseOrphan();
        if (takenOver) recovery_->markChanged();  // its file is gone: only this board has it
        recovery_->start();
    }
}

// The whole store, also what lies outside the window: a board made smaller still holds it, and
// a board restarted at a smaller size must not cut it off when it writes its first file. Shared,
// not copied: the recovery copies it only when it changed.
QImage TForm1::committedPicture() const {
    return model_.stores.buffer().image();
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
    model_.FormResize(deviceSize());
}

void TForm1::FormActivate() {
    model_.state.RepaintPending = true;
}

void TForm1::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutToolbar();
    FormResize();
    if (presenter_.shape().attached()) presenter_.attachShape();
    present();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    presenter_.paint(painter, e->region());
}

bool TForm1::event(QEvent* e) {
    if (e->type() == QEvent::Leave && pointer_.leavingBreaksTheWay()) model_.pointerLeft();
    // The shape is first sent when the window is about to be mapped (the show event comes just
    // before the map request), once its controls are visible: a shape sent when the native window
    // is created would leave out the toolbar, and the window would be mapped without it until the
    // next tick found the X server idle to send the rest.
    const bool mapping = e->type() == QEvent::Show && !presenter_.shape().attached();
    const bool recreated = e->type() == QEvent::WinIdChange && isVisible();
    if (e->type() == QEvent::ScreenChangeInternal) {
        // On a screen of another scale the client area has another size in device pixels, and
        // the window may no longer show the whole toolbar.
        const bool result = QWidget::event(e);
        screenScaleChanged();
        return result;
    }
    if (mapping || recreated) {
        const bool result = QWidget::event(e);
        presenter_.attachShape();
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
    const bool cameBack = (e->type() == QEvent::ActivationChange && isActiveWindow()) ||
                          (e->type() == QEvent::WindowStateChange && !isMinimized());
    if (cameBack) bringBackDialog();
    // Minimised, the board can neither draw nor hear the held key's release.
    if (e->type() == QEvent::WindowStateChange && isMinimized() && hold_.yield()) releaseHeldKeys();
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
    presenter_.simplifyShape(0);
    setGeometry(QRect(QPoint(left, top), size()));
}

unsigned TForm1::randomBelow(unsigned bound) {
    return std::uniform_int_distribution<unsigned>(0, bound - 1)(random_);
}
