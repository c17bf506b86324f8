// The keyboard of the board window while a held key draws: taken from the window system for the
// length of a Shift stroke or a Ctrl erase, so that a window manager whose focus follows the
// mouse cannot hand the key's release to the window the pointer passes over. Given back on the
// release, when the stroke ends any other way, when the board hides, and before any other window
// of the program opens.
#include <QApplication>
#include <QWindow>

#include "window/tform1.h"

bool TForm1::takesKeys() const {
    return isVisible() && !isMinimized() && isEnabled() && !QApplication::activePopupWidget() &&
           !QApplication::activeModalWidget();
}

// Under XWayland the grab holds only the X programs' keys: the compositor still gives the keyboard
// to the window the pointer enters, and a key released there never reaches the board, not even
// once the pointer is back. Held there, a stroke would run on after its key came up; not held,
// it ends where the keyboard left, as the board cannot know better.
bool TForm1::grabKeyboard(bool take) {
    QWindow* window = windowHandle();
    if (!window) return !take;
    if (take && pointer_.frozenOutside()) return false;
    return platform_.grabKeyboard(*window, take);
}

void TForm1::keepKeyboard() {
    const bool wanted = keyboardWanted(model_.state, repeater_.held(VK_SHIFT),
                                       repeater_.held(VK_CONTROL), takesKeys());
    // Given back while the keyboard is elsewhere, the held key's release will not come here.
    if (hold_.keep(wanted) && !isActiveWindow()) releaseHeldKeys();
}

void TForm1::yieldKeyboard() {
    if (hold_.yield() && !isActiveWindow()) releaseHeldKeys();
}

// Any other window of the program about to show (a menu, a dialog, a message box) wants the
// keyboard: the board lets go of it first. A tool tip takes no keys.
void TForm1::otherWindowShowing(QObject* watched) {
    if (watched == this || !watched->isWidgetType()) return;
    const auto* widget = static_cast<const QWidget*>(watched);
    if (widget->isWindow() && widget->windowType() != Qt::ToolTip) yieldKeyboard();
}
