#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>

#include "board_fixture.h"
#include "widgets/bevel_panel.h"
#include "window/command_table.h"
#include "window/tform1.h"
#include "window/window_frame.h"

namespace {

struct Board : BoardWindow {
    QAbstractButton* button(const char* n) { return form.button(QString::fromLatin1(n)); }
    QAction* item(const char* n) { return form.menuItem(QString::fromLatin1(n)); }
    BevelPanel* panel(const char* n) { return form.panel(QString::fromLatin1(n)); }
};

// A mouse press delivered as the window system would: ignored by a control, it goes on to the
// control's parents.
void press(QWidget* w, Qt::MouseButton button) {
    const QPointF at(2, 2);
    QMouseEvent e(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(WindowModes, FoldPaintsTheToolbarBandAndCommitsIt) {
    Board b;
    Canvas& s = b.model().surface();
    s.imageForWrite().fill(toQRgb(0x00FF00));  // a picture right under the toolbar
    s.addDamage(s.image().rect());
    b.model().stb();
    b.form.B1Click();
    EXPECT_TRUE(b.panel("Panel1")->isHidden());
    EXPECT_FALSE(b.panel("Pn_tatamu")->isHidden());
    EXPECT_FALSE(b.item("B1")->isChecked());
    const int w = s.width();
    EXPECT_EQ(s.pixel(1, 1), TransparentKey);
    EXPECT_EQ(s.pixel(w - 1, 33), TransparentKey);  // row 33 is painted
    EXPECT_EQ(s.pixel(1, 34), 0x00FF00u);
    EXPECT_EQ(s.pixel(0, 10), 0x00FF00u);  // column 0 and row 0 are not
    EXPECT_EQ(s.pixel(10, 0), 0x00FF00u);
    EXPECT_EQ(b.model().stores.buffer().pixel(5, 20), TransparentKey);  // committed
    EXPECT_EQ(b.model().stores.buffer().pixel(5, 40), 0x00FF00u);

    const QImage folded = s.image().copy();
    b.form.B1Click();  // restore: nothing painted or committed
    EXPECT_FALSE(b.panel("Panel1")->isHidden());
    EXPECT_TRUE(b.panel("Pn_tatamu")->isHidden());
    EXPECT_TRUE(b.item("B1")->isChecked());
    EXPECT_EQ(s.image(), folded);
}

TEST(WindowModes, TogglesFollowTheirPanels) {
    Board b;
    b.item("T1")->trigger();
    EXPECT_TRUE(b.form.translucent());
    EXPECT_TRUE(b.item("T1")->isChecked());
    EXPECT_FALSE(b.model().state.RepaintPending);
    b.form.Panel21Click();
    EXPECT_FALSE(b.form.translucent());
    EXPECT_FALSE(b.item("T1")->isChecked());

    b.form.Panel20Click();
    EXPECT_TRUE(b.form.stayOnTop());
    EXPECT_TRUE(b.item("M2")->isChecked());
    EXPECT_TRUE(b.form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(b.model().state.RepaintPending);

    b.model().state.RepaintPending = false;
    b.item("F3")->trigger();
    EXPECT_FALSE(b.form.frameShown());
    EXPECT_FALSE(b.item("F3")->isChecked());
    EXPECT_TRUE(b.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(b.model().state.RepaintPending);
    EXPECT_EQ(b.form.size(), QSize(892, 453));
}

TEST(WindowModes, FramePositionKeepsTheClientCorner) {
    // Frame removed: the client corner was at (4, 23) and is now at the window's corner.
    EXPECT_EQ(keptWindowPosition({-4, -23}, {-100, -50}, {100, 50}), QPoint(4, 23));
    // Frame added back: the window moves up and left by the frame and caption.
    EXPECT_EQ(keptWindowPosition({-4, -23}, {-8, -46}, {4, 23}), QPoint(0, 0));
}

TEST(WindowModes, DragFollowsTheCursorFromTheFirstPressOnly) {
    Board b;
    b.form.timer().stop();
    b.form.move(100, 80);
    b.form.FormMouseDown(Qt::RightButton, {300, 200});
    EXPECT_FALSE(b.model().state.DragActive);
    // The cursor has moved on by the time the press is handled: the press's place counts.
    b.platform.cursor = {305, 215};
    b.form.FormMouseDown(Qt::LeftButton, {300, 200});
    EXPECT_TRUE(b.model().state.DragActive);
    b.platform.cursor = {310, 230};
    b.form.FormMouseDown(Qt::LeftButton, {310, 230});  // a second press keeps the first origins
    EXPECT_EQ(b.model().state.DragCursorOrigin, QPoint(300, 200));
    b.form.Timer1Timer();
    EXPECT_EQ(b.form.pos(), QPoint(110, 110));
    b.form.FormMouseUp(Qt::MiddleButton);  // any button ends it
    EXPECT_FALSE(b.model().state.DragActive);
    b.platform.cursor = {500, 500};
    b.form.Timer1Timer();
    EXPECT_EQ(b.form.pos(), QPoint(110, 110));
}

TEST(WindowModes, RightPressAnywhereOnTheToolbarOpensTheMenuAndLeftDragsOnlyFromPanels) {
    Board b;
    QMenu* menu = b.form.popupMenu();
    const char* panels[] = {"Panel1",    "tbSystem", "tbDraw",  "tbConfig", "Panel23",
                            "Pn_tatamu", "Panel24",  "Panel21", "Panel5"};
    for (const char* name : panels) {
        press(b.panel(name), Qt::RightButton);
        EXPECT_TRUE(menu->isVisible()) << name;
        menu->hide();
    }
    press(b.button("SpeedButton2"), Qt::RightButton);
    EXPECT_TRUE(menu->isVisible()) << "SpeedButton2";
    menu->hide();
    EXPECT_FALSE(b.model().state.DragActive);

    // Buttons, toggles, swatches, the palette and the fold button's panel take a left press
    // without dragging; the groups' own faces start a drag.
    for (const char* name : {"Panel21", "Panel5", "Panel23", "Panel24"}) {
        press(b.panel(name), Qt::LeftButton);
        EXPECT_FALSE(b.model().state.DragActive) << name;
    }
    press(b.button("SpeedButton2"), Qt::LeftButton);
    EXPECT_FALSE(b.model().state.DragActive);
    press(b.panel("tbDraw"), Qt::LeftButton);
    EXPECT_TRUE(b.model().state.DragActive);
    // The menu takes the releases that follow: opening it ends the drag.
    press(b.panel("tbDraw"), Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(b.model().state.DragActive);
    menu->hide();
}
