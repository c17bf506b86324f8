// Window modes (always on top, translucent, frame, toolbar fold) and dragging by the body.
#include <QAction>
#include <QMenu>
#include <QWindow>

#include "widgets/bevel_panel.h"
#include "window/tform1.h"
#include "window/window_frame.h"

bool TForm1::stayOnTop() const {
    return panel(QStringLiteral("Panel20"))->innerLowered();
}
bool TForm1::translucent() const {
    return panel(QStringLiteral("Panel21"))->innerLowered();
}
bool TForm1::frameShown() const {
    return panel(QStringLiteral("Panel22"))->innerLowered();
}
bool TForm1::toolbarShown() const {
    return !Panel1->isHidden();
}

void TForm1::setToggle(const char* panelName, const char* item, bool on) {
    BevelPanel* p = panel(QString::fromLatin1(panelName));
    p->setOuterLowered(on);
    p->setInnerLowered(on);
    menuItem(QString::fromLatin1(item))->setChecked(on);
}

// Changes one window flag on the live native window, keeping it (and its shape) as it is.
void TForm1::setWindowFlag(Qt::WindowType flag, bool on) {
    const Qt::WindowFlags flags = on ? (windowFlags() | flag) : (windowFlags() & ~flag);
    overrideWindowFlags(flags);
    if (QWindow* w = windowHandle()) w->setFlags(flags);
}

void TForm1::Panel20Click() {
    const bool on = !stayOnTop();
    const QRect client(mapToGlobal(QPoint(0, 0)), size());
    setToggle("Panel20", "M2", on);
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    presenter_.holdClientRect(client);
    model_.state.RepaintPending = true;
}

void TForm1::Panel21Click() {
    const bool on = !translucent();
    setToggle("Panel21", "T1", on);
    setWindowOpacity(on ? kAlphaBlendValue : 1.0);
}

void TForm1::Panel22Click() {
    const QSize client = size();
    const QPoint before = mapFromGlobal(QPoint(0, 0));
    const bool on = !frameShown();
    presenter_.simplifyShape(BoardPresenter::kHoldMs);
    setToggle("Panel22", "F3", on);
    setWindowFlag(Qt::FramelessWindowHint, !on);
    resize(client);
    const QPoint kept = keptWindowPosition(before, mapFromGlobal(QPoint(0, 0)), pos());
    move(kept.x(), y());
    move(x(), kept.y());
    presenter_.holdClientRect(QRect(-before, client));
    model_.state.RepaintPending = true;
}

void TForm1::SpeedButton19Click() {
    Panel1->hide();
    // The band the toolbar covered becomes see-through and is committed, so the toolbar's image
    // never enters the picture. Column 0 and row 0 stay as they are; row 33 is included.
    const int clientWidth = width();
    Canvas& surface = model_.surface();
    surface.setBrushColor(TransparentKey);
    surface.fillRect(QRect(1, 1, clientWidth - 1, Panel1->height()));
    stb();
    Pn_tatamu->show();
    menuItem(QStringLiteral("B1"))->setChecked(false);
}

void TForm1::SpeedButton20Click() {
    Pn_tatamu->hide();
    Panel1->show();
    menuItem(QStringLiteral("B1"))->setChecked(true);
}

void TForm1::B1Click() {
    if (toolbarShown())
        SpeedButton19Click();
    else
        SpeedButton20Click();
}

void TForm1::FormMouseDown(Qt::MouseButton button, QPoint at) {
    DrawState& s = model_.state;
    if (button != Qt::LeftButton || s.DragActive) return;
    s.DragActive = true;
    // Where the press happened, not where the cursor is by the time the event is handled: the
    // window keeps the offset it had to the cursor at the press.
    s.DragCursorOrigin = at;
    s.DragWindowOrigin = geometry().topLeft();  // the client area, as moveWindow moves it
}

void TForm1::FormMouseUp(Qt::MouseButton) {
    model_.state.DragActive = false;
}

void TForm1::openPopupMenu(QPoint at) {
    // The open menu takes every button release that follows, the one that would end a drag
    // included: the drag ends here instead.
    FormMouseUp(Qt::RightButton);
    PopupMenu1->popup(at);
}
