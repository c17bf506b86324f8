#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include "board_fixture.h"
#include "dialogs/extension_tools/tform2.h"
#include "window/tform1.h"

// The board holds the whole keyboard only while a held key drives a stroke or an erase; a
// keyboard left held locks the user's whole desktop.

namespace {

struct ShownBoard : BoardWindow {
    QWidget other;  // a window that is not the board's
    ShownBoard() {
        form.timer().stop();  // the test ticks by hand
        other.show();
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    DrawState& state() { return form.model().state; }
    bool grabbed() const { return platform.keyboardGrabbed; }

    void press(Qt::Key key, bool autoRepeat = false) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QCoreApplication::sendEvent(&form, &e);
    }
    void release(Qt::Key key) {
        QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &e);
    }
    // Another window takes the keyboard, as a window manager whose focus follows the mouse
    // gives it to the window the pointer enters.
    void focusGoesElsewhere() {
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_FALSE(form.isActiveWindow());
    }
};

// Whether the keyboard was held when a window of the program was about to be shown (its show
// event comes just before the window is mapped).
struct GrabWhenShown : QObject {
    GrabWhenShown(QWidget& window, const FakePlatform& platform) : platform_(platform) {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) grabbed = platform_.keyboardGrabbed ? 1 : 0;
        return false;
    }
    int grabbed = -1;  // -1 until shown

private:
    const FakePlatform& platform_;
};

}  // namespace

// Faults: the keyboard taken for a shape (a long state the user leaves with a click elsewhere:
// typing there would go nowhere), or kept after the key's release.
TEST(KeyboardHold, HeldOnlyWhileAHeldKeyDrawsAndGivenBackOnItsRelease) {
    ShownBoard b;
    b.press(Qt::Key_Shift);
    ASSERT_TRUE(b.state().FreehandActive);
    EXPECT_TRUE(b.grabbed()) << "a Shift stroke";
    b.press(Qt::Key_Shift, true);
    b.form.Timer1Timer();
    EXPECT_TRUE(b.grabbed());
    b.release(Qt::Key_Shift);
    EXPECT_FALSE(b.grabbed()) << "the stroke's release";

    b.press(Qt::Key_Control);
    EXPECT_TRUE(b.grabbed()) << "a Ctrl erase";
    b.press(Qt::Key_Shift);  // a stroke alongside the eraser
    b.release(Qt::Key_Control);
    EXPECT_TRUE(b.grabbed()) << "Shift still draws";
    b.release(Qt::Key_Shift);
    EXPECT_FALSE(b.grabbed());

    b.form.SpeedButton2Click();  // the line
    b.press(Qt::Key_Shift);
    EXPECT_EQ(b.state().DrawPhase, PhaseActive);
    EXPECT_FALSE(b.grabbed()) << "a shape's key release ends nothing";
    b.release(Qt::Key_Shift);
    b.form.Timer1Timer();
    EXPECT_FALSE(b.grabbed()) << "a shape under way";
}

// The fault mended: the window manager moving the focus ended the stroke, and the key's release
// went to another window. And the other way round: a refused grab must leave the board as it
// was, ending the stroke when the focus goes (the release will never come).
TEST(KeyboardHold, FocusLeavingDuringAHeldStrokeKeepsItUnlessTheGrabWasRefused) {
    ShownBoard b;
    b.press(Qt::Key_Shift);
    b.focusGoesElsewhere();
    EXPECT_TRUE(b.state().FreehandActive) << "the stroke ended with the focus";
    EXPECT_TRUE(b.grabbed());
    b.release(Qt::Key_Shift);  // held, the keyboard still sends it here
    EXPECT_FALSE(b.state().FreehandActive);
    EXPECT_FALSE(b.grabbed());

    ShownBoard refused;
    refused.platform.grabAnswer = false;
    refused.press(Qt::Key_Control);
    refused.press(Qt::Key_Control, true);
    refused.form.Timer1Timer();
    EXPECT_EQ(refused.platform.grabRequests, 1) << "asked again within one erase";
    ASSERT_TRUE(refused.state().EraserActive);
    refused.focusGoesElsewhere();
    EXPECT_FALSE(refused.state().EraserActive) << "an erase nobody can end";
    refused.platform.grabAnswer = true;
    refused.form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&refused.form));
    refused.press(Qt::Key_Control);
    EXPECT_TRUE(refused.grabbed()) << "the next erase asks afresh";
    refused.release(Qt::Key_Control);
}

// Faults: the keyboard kept while a menu or dialog of the board needs it, or taken back by the
// next tick while that window is open.
TEST(KeyboardHold, GivenBackBeforeAMenuOrDialogOpens) {
    ShownBoard b;
    b.press(Qt::Key_Shift);
    ASSERT_TRUE(b.grabbed());
    GrabWhenShown menu(*b.form.popupMenu(), b.platform);
    b.form.openPopupMenu({10, 10});
    ASSERT_TRUE(b.form.popupMenu()->isVisible());
    EXPECT_EQ(menu.grabbed, 0) << "the menu's window was shown with the keyboard held";
    b.form.Timer1Timer();
    EXPECT_FALSE(b.grabbed()) << "taken back while the menu is open";
    b.form.popupMenu()->close();
    b.release(Qt::Key_Shift);

    b.press(Qt::Key_Shift);
    ASSERT_TRUE(b.grabbed());
    GrabWhenShown dialog(b.form.form2(), b.platform);
    b.form.SpeedButton26Click();  // the extension tools, over the board
    EXPECT_EQ(dialog.grabbed, 0) << "the dialog was shown with the keyboard held";
    b.press(Qt::Key_Shift, true);
    b.form.Timer1Timer();
    EXPECT_FALSE(b.grabbed()) << "taken back while the dialog is open";
    b.form.openDialog()->close();
    b.release(Qt::Key_Shift);
}

// Faults: the keyboard kept by a board that is gone from the screen, or its stroke left running
// once the keyboard is given back while the focus is elsewhere.
TEST(KeyboardHold, GivenBackWhenTheBoardHidesOrIsMinimised) {
    ShownBoard hidden;
    hidden.press(Qt::Key_Shift);
    hidden.focusGoesElsewhere();
    hidden.form.hide();
    EXPECT_FALSE(hidden.grabbed());
    EXPECT_FALSE(hidden.state().FreehandActive) << "no release will come to a hidden board";

    ShownBoard minimised;
    minimised.press(Qt::Key_Control);
    minimised.form.showMinimized();
    QTRY_VERIFY(minimised.form.isMinimized());
    EXPECT_FALSE(minimised.grabbed());
    EXPECT_FALSE(minimised.state().EraserActive);
}
