// Input of the board window: Shift and Ctrl, either physical key, with generated repeats while
// held (all other keys are left to the window's shortcuts), and the frame tick that reads the
// cursor.
#include <xcb/xcb.h>
#include <QKeyEvent>

#include "platform/x11_info.h"
#include "window/tform1.h"

namespace {

// Where the pointer is now, in the window's client coordinates in device pixels. Asked of the
// window itself, the pointer comes in device pixels whatever the scale of the screen it is on;
// screen coordinates are logical, and on screens of mixed scale the toolkit maps them by the
// window's screen, not the pointer's.
QPoint pointerIn(QWidget& window, Platform& platform) {
    QPoint at;
    if (window.testAttribute(Qt::WA_WState_Created) && platform.pointerInWindow(window.winId(), at))
        return at;
    return (QPointF(window.mapFromGlobal(platform.cursorPos())) * window.devicePixelRatioF())
        .toPoint();
}

int virtualKey(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Shift) return VK_SHIFT;
    if (e->key() == Qt::Key_Control) return VK_CONTROL;
    return 0;
}
}  // namespace

QPoint TForm1::cursorInClient() {
    return keyPressPointer_ ? *keyPressPointer_ : pointerIn(*this, platform_);
}

// An X key press carries where the pointer was when the key went down. A key is anchored there,
// not where the pointer has got to by the time the board handles the press: on a busy machine that
// can be a fair way along the user's next move.
bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "xcb_generic_event_t") {
        const auto* e = static_cast<const xcb_generic_event_t*>(message);
        if ((e->response_type & 0x7f) == XCB_KEY_PRESS) {
            // Relative to the board's own window the event's position is in device pixels, the
            // picture's unit, on a screen of any scale.
            const auto* key = static_cast<const xcb_key_press_event_t*>(message);
            if (key->event == winId() && key->same_screen)
                keyPressPointer_ = QPoint(key->event_x, key->event_y);
        }
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void TForm1::FormKeyDown(int key) {
    wake();
    if (!isEnabled()) return;
    bool real = true;
    const QPoint at = keyCursor(real);
    model_.keyDown(key, at, real);
    keepInputWide();
    keepKeyboard();
}

void TForm1::FormKeyUp(int key) {
    wake();
    model_.keyUp(key);
    keepInputWide();
    keepKeyboard();
}

void TForm1::keyPressEvent(QKeyEvent* e) {
    struct Forget {  // the pointer of this press counts for this press only
        std::optional<QPoint>& p;
        ~Forget() { p.reset(); }
    } forget{keyPressPointer_};
    const int vk = virtualKey(e);
    if (!vk) {
        QWidget::keyPressEvent(e);
        return;
    }
    // Every press counts: the first, a platform repeat, and the other physical key of the pair
    // pressed while one is already down. The user's repeat setting is read afresh at each new
    // press, so turning repeat off or on counts from the next press.
    if (repeater_.held(vk)) {
        repeater_.pressed(vk, e->isAutoRepeat());
    } else {
        const x11::KeyRepeat r = x11::keyRepeat();
        repeater_.pressed(vk, e->isAutoRepeat(), {r.on, r.delayMs, r.intervalMs});
    }
    FormKeyDown(vk);
}

void TForm1::keyReleaseEvent(QKeyEvent* e) {
    const int vk = virtualKey(e);
    if (!vk) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    if (e->isAutoRepeat()) return;  // the release half of a platform repeat
    repeater_.released(vk);
    FormKeyUp(vk);
}

void TForm1::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    // With the keyboard held, the window manager may move the focus (its focus follows the
    // mouse), but every key still comes here, the held key's release included.
    if (hold_.held() && e->reason() == Qt::ActiveWindowFocusReason) return;
    releaseHeldKeys();
}

// Once the keyboard goes elsewhere, the release of a held key never reaches the board: end the
// stroke now rather than let it run on.
void TForm1::releaseHeldKeys() {
    for (int key : repeater_.heldKeys()) {
        repeater_.released(key);
        FormKeyUp(key);
    }
}

void TForm1::Timer1Timer() {
    // Reading the cursor is a round trip to the X server: an idle board leaves it alone.
    bool real = true;
    QPoint screen;
    QPoint client;
    if (model_.tickUsesCursor()) {
        if (model_.state.DragActive) {
            // A drag moves the window by screen coordinates; everything else works on the
            // picture's.
            screen = platform_.cursorPos();
            client = clientFromGlobal(screen);
        } else if (pointer_.frozenOutside()) {
            // Under XWayland a position read while the pointer is away is stale.
            screen = readCursor(real);
            client = clientFromGlobal(screen);
        } else {
            // Where the pointer is now: the tick follows it, not the last key press.
            client = pointerIn(*this, platform_);
        }
    }
    model_.tick(client, screen, real);
    keepInputWide();
    keepKeyboard();  // the stroke may have ended some other way
    presenter_.keepGeometry(frameShown());
    present();
    // An idle board costs nothing: with nothing under way, no key held, no geometry being held
    // and nothing left to send to the screen or the shape (a busy X server defers it to a later
    // tick), the next tick would change nothing, and so would every one after it until some
    // input or command wakes the board.
    if (!model_.tickHasWork() && repeater_.heldKeys().empty() && !presenter_.keepingGeometry() &&
        presenter_.caughtUp())
        Timer1.stop();
}

void TForm1::wake() {
    if (!Timer1.isActive()) Timer1.start();
}

// Input anywhere in the program (the board's controls, its menu, a tool dialog) may run a command
// that changes the picture or the drawing state: the board wakes for it. Events of the board's
// own window (activation, resize, move, show) wake it too.
bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            wake();
            break;
        case QEvent::Paint:
        case QEvent::Timer:
        case QEvent::UpdateRequest:
            break;
        case QEvent::Show:
            if (watched == this) wake();
            otherWindowShowing(watched);
            break;
        case QEvent::Hide:
            // Hidden, the board can neither draw nor hear the held key's release.
            if (watched == this && hold_.yield()) releaseHeldKeys();
            if (watched == this) wake();
            break;
        default:
            if (watched == this) wake();
            break;
    }
    return QWidget::eventFilter(watched, e);
}
