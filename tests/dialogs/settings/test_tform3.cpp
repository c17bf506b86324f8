#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QWindow>

#include "board_fixture.h"
#include "dialogs/settings/tform3.h"
#include "platform/japanese_font.h"
#include "window/tform1.h"

namespace {

struct Dialog : BoardWindow {
    TForm3& dlg = *form.settingsDialog();

    void open() {
        form.show();
        form.SpeedButton27Click();
    }
};

}  // namespace

TEST(SettingsDialog, FrameRateLabel) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"25",   "フレームレート40.0fps"},  {"50",   "フレームレート20.0fps"},
        {"5",    "フレームレート200.0fps"}, {"5000", "フレームレート0.2fps"},
        {"33",   "フレームレート30.3fps"},  {"",     "フレームレート200.0fps"},
        {"abc",  "フレームレート200.0fps"}, {"0",    "フレームレート200.0fps"},
        // Exactly halfway between two tenths: the even one.
        {"32",   "フレームレート31.2fps"},  {"160",  "フレームレート6.2fps"},
        {"800",  "フレームレート1.2fps"},   {"4000", "フレームレート0.2fps"},
        {"3",    "フレームレート333.3fps"},
    };
    // clang-format on
    for (const auto& [text, label] : cases)
        EXPECT_EQ(TForm3::frameRateText(QString::fromUtf8(text), 5), QString::fromUtf8(label))
            << text;
}

TEST(SettingsDialog, TheWindowsFaceIsShownInAnInstalledJapaneseGothic) {
    const QFont font = japanese_font::requested(12);
    const QString shown = QFontInfo(font).family();
    // The set-up installs IPA P Gothic, the first choice: a mincho face or any other family
    // that merely covers Japanese is a fault.
    EXPECT_EQ(shown, QStringLiteral("IPAPGothic"));
    const QFontMetrics metrics(font);
    for (QChar c : QStringLiteral("環境設定確認メッセージ"))
        EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
    EXPECT_GE(metrics.height(), 12);
}

TEST(SettingsDialog, LaidOutAsDesigned) {
    Dialog d;
    TForm3& t = d.dlg;
    EXPECT_EQ(t.windowTitle(), QStringLiteral("環境設定"));
    EXPECT_EQ(t.windowType(), Qt::Dialog);
    EXPECT_TRUE(t.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(t.size(), QSize(480, 240));
    EXPECT_EQ(t.minimumSize(), t.maximumSize());
    EXPECT_EQ(t.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(t.font().pixelSize(), 12);
    // clang-format off
    const std::pair<const char*, QRect> places[] = {
        {"GroupBox1", {112,   8, 173, 61}}, {"GroupBox2", {112, 76, 177, 73}},
        {"GroupBox4", {296,   8, 173, 41}}, {"GroupBox3", {296, 56, 173, 57}},
        {"seInterval", {64,  16,  57, 21}}, {"bbok",      {344, 212, 61, 21}},
        {"bbcancel",  {412, 212,  61, 21}}, {"Image1",    {0,    0, 105, 241}},
    };
    // clang-format on
    for (const auto& [name, place] : places) {
        auto* w = t.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->geometry(), place) << name;
    }
    EXPECT_EQ(t.cb_exitbox->parentWidget()->objectName(), QStringLiteral("GroupBox2"));
    EXPECT_EQ(t.cb_exitbox->pos(), QPoint(8, 48));
    EXPECT_EQ(t.cb_stumpcon->pos(), QPoint(8, 32));
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート：40.0fps"));
    EXPECT_EQ(t.seInterval->minimum(), 5);
    EXPECT_EQ(t.seInterval->maximum(), 5000);
    EXPECT_EQ(t.seInterval->singleStep(), 1);
    EXPECT_TRUE(t.bbok->isDefault());
    EXPECT_FALSE(t.bbcancel->isDefault());
    // Tab order: the four groups' controls, then OK and Cancel.
    QList<QWidget*> chain{t.seInterval};
    for (QWidget* w = t.seInterval->nextInFocusChain(); w != t.seInterval && chain.size() < 20;
         w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->parentWidget() != t.seInterval) chain << w;
    EXPECT_EQ(chain,
              (QList<QWidget*>{t.seInterval, t.cb_eraseall, t.cb_exitmenu, t.cb_exitbox,
                               t.cb_flatonce, t.cb_stumptp, t.cb_stumpcon, t.bbok, t.bbcancel}));
}

TEST(SettingsDialog, OkAppliesTheSevenValuesAndCancelNone) {
    Dialog d;
    TForm3& t = d.dlg;
    d.open();
    EXPECT_TRUE(t.isVisible());
    EXPECT_FALSE(d.form.isEnabled());
    // The designed period shows the designed caption.
    EXPECT_EQ(t.seInterval->value(), 25);
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート：40.0fps"));
    EXPECT_TRUE(t.cb_eraseall->isChecked());
    EXPECT_TRUE(t.cb_stumptp->isChecked());
    t.seInterval->setValue(100);
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート10.0fps"));
    t.cb_eraseall->setChecked(false);
    t.cb_exitmenu->setChecked(true);
    t.cb_exitbox->setChecked(true);
    t.cb_stumptp->setChecked(false);
    t.cb_stumpcon->setChecked(true);
    t.cb_flatonce->setChecked(true);
    QTest::mouseClick(t.bbok, Qt::LeftButton);
    EXPECT_FALSE(t.isVisible());
    EXPECT_TRUE(d.form.isEnabled());
    const Options& o = d.form.model().options;
    EXPECT_EQ(d.form.timer().interval(), 100);
    EXPECT_EQ(o.TimerInterval, 100);
    EXPECT_FALSE(o.ConfirmEraseAll);
    EXPECT_TRUE(o.ConfirmExitMenu && o.ConfirmExitBox && o.StampContinuous && o.FillAtOnce);
    EXPECT_FALSE(d.form.model().stores.stamp().transparent());

    // Cancel, Esc and the close box: edits are dropped, and the next opening shows the board's.
    for (int way = 0; way < 3; ++way) {
        d.open();
        EXPECT_EQ(t.seInterval->value(), 100);
        EXPECT_FALSE(t.cb_stumptp->isChecked());
        t.seInterval->setValue(10);
        t.cb_stumptp->setChecked(true);
        if (way == 0) QTest::mouseClick(t.bbcancel, Qt::LeftButton);
        if (way == 1) QTest::keyClick(&t, Qt::Key_Escape);
        if (way == 2) t.close();
        EXPECT_FALSE(t.isVisible()) << way;
        EXPECT_TRUE(d.form.isEnabled()) << way;
        EXPECT_EQ(d.form.timer().interval(), 100) << way;
        EXPECT_FALSE(d.form.model().stores.stamp().transparent()) << way;
    }
}

TEST(SettingsDialog, AnOutOfRangePeriodIsBroughtIntoRange) {
    Dialog d;
    d.form.setFramePeriod(0);  // as a settings file may hold
    d.open();
    EXPECT_EQ(d.dlg.seInterval->value(), 5);
    EXPECT_EQ(d.dlg.lbFramerate->text(), QStringLiteral("フレームレート200.0fps"));
    // Enter applies, and takes the value within range.
    QTest::keyClick(d.dlg.seInterval, Qt::Key_Return);
    EXPECT_FALSE(d.dlg.isVisible());
    EXPECT_EQ(d.form.model().options.TimerInterval, 5);
}

namespace {

void typeInto(QSpinBox* box, const QString& text) {
    QLineEdit* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (!text.isEmpty()) QTest::keyClicks(edit, text);
}

}  // namespace

// Any digits may be typed; the number is brought to the nearer bound when the field is left and
// when OK takes it, and the label follows every change of the text meanwhile.
TEST(SettingsDialog, TypedPeriodsOutsideTheRangeAreTakenToTheNearerBound) {
    Dialog d;
    TForm3& t = d.dlg;
    d.open();
    typeInto(t.seInterval, QStringLiteral("7000"));
    EXPECT_EQ(t.seInterval->text(), QStringLiteral("7000"));
    EXPECT_EQ(t.lbFramerate->text(), TForm3::frameRateText(QStringLiteral("7000"), 5));
    QTest::mouseClick(t.bbok, Qt::LeftButton);
    EXPECT_EQ(d.form.model().options.TimerInterval, 5000);

    d.open();
    typeInto(t.seInterval, QString());
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート200.0fps"));
    typeInto(t.seInterval, QStringLiteral("1"));
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート1000.0fps"));
    // Leaving the field brings it into range at once.
    t.cb_eraseall->setFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(t.seInterval, &out);
    EXPECT_EQ(t.seInterval->text(), QStringLiteral("5"));
    EXPECT_EQ(t.lbFramerate->text(), QStringLiteral("フレームレート200.0fps"));
    typeInto(t.seInterval, QStringLiteral("99999999999"));
    QTest::keyClick(t.seInterval, Qt::Key_Return);
    EXPECT_EQ(d.form.model().options.TimerInterval, 5000);
    d.open();
    typeInto(t.seInterval, QString());
    QTest::mouseClick(t.bbok, Qt::LeftButton);
    EXPECT_EQ(d.form.model().options.TimerInterval, 5);
}

// The dialog belongs to the board: transient for it, of the dialog type. Whatever brings the
// board to the front while the dialog is open (a restore, an activation, its close box) brings
// the dialog back instead, its edits kept.
TEST(SettingsDialog, TheBoardBringsItsOpenDialogBack) {
    Dialog d;
    TForm3& t = d.dlg;
    d.open();
    ASSERT_NE(t.windowHandle(), nullptr);
    EXPECT_EQ(t.windowHandle()->transientParent(), d.form.windowHandle());
    EXPECT_EQ(t.windowType(), Qt::Dialog);
    t.cb_exitbox->setChecked(true);

    t.showMinimized();
    QApplication::setActiveWindow(&d.form);
    EXPECT_FALSE(t.isMinimized());
    EXPECT_TRUE(t.isVisible());
    QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() != &t && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(QApplication::activeWindow(), &t);

    EXPECT_FALSE(d.form.close());
    EXPECT_TRUE(d.form.isVisible());
    EXPECT_TRUE(t.isVisible());
    EXPECT_TRUE(t.cb_exitbox->isChecked());
    EXPECT_TRUE(d.platform.errors.isEmpty());
    EXPECT_TRUE(d.platform.confirmations.isEmpty());

    QTest::mouseClick(t.bbok, Qt::LeftButton);
    EXPECT_TRUE(d.form.model().options.ConfirmExitBox);
}
