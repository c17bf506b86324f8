#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>

#include "board_fixture.h"
#include "dialogs/extension_tools/pixel_filters.h"
#include "dialogs/extension_tools/tform2.h"
#include "test_helpers.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

namespace {

using th::rgb;

// A board with a committed picture: noise with a see-through band, opened on the extension
// tools dialog.
struct Board : BoardWindow {
    QImage picture;

    Board() {
        form.timer().stop();
        Canvas& s = form.model().surface();
        std::mt19937 rng(3);
        QImage& image = s.imageForWrite();
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = y == 50 ? TransparentKeyRgb : 0xff000000u | (rng() & 0xffffffu);
        }
        s.addDamage(image.rect());
        form.model().stb();
        picture = surface().copy();
    }
    const QImage& surface() { return form.model().surface().image(); }
    TForm2& dialog() { return form.form2(); }
    TForm2& open() {
        form.SpeedButton26Click();
        return dialog();
    }
    void fixSelection(QRect r) {
        model().state.DrawTool = ToolSelection;
        model().state.DrawPhase = PhaseSelected;
        model().state.SelectionRect = r;
        model().recoverarea();
    }
    // Pixels of the board rectangle (column and row 0 are never committed).
    QImage board(const QImage& image) {
        return image.copy(1, 1, surface().width() - 1, surface().height() - 1);
    }
    QImage committed() { return board(model().stores.buffer().image()); }
};

void setText(FilterSpinBox* box, const QString& text) {
    QLineEdit* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (!text.isEmpty()) QTest::keyClicks(edit, text);
}

}  // namespace

TEST(ExtensionTools, OpeningDisablesTheBoardAndOneUndoTakesBackEveryRun) {
    Board b;
    TForm2& d = b.open();
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(b.form.isEnabled());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("拡張ツール"));
    EXPECT_EQ(d.size(), QSize(480, 240));
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);

    d.Button4Click();
    d.aksevalue->setValue(40);
    d.Button5Click();
    d.sdse_x->setValue(7);
    d.Button3Click();
    EXPECT_FALSE(th::sameImage(b.surface(), b.picture));
    EXPECT_TRUE(th::sameImage(b.committed(), b.board(b.surface())));  // every run committed
    d.Button1Click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.form.isEnabled());

    b.form.SpeedButton23Click();
    EXPECT_TRUE(th::sameImage(b.board(b.surface()), b.board(b.picture)));
}

TEST(ExtensionTools, SpinTextThatIsNoNumberCountsAsTheMinimum) {
    struct Case {
        const char* text;
        FilterSpinBox* TForm2::*box;
        void (TForm2::*run)();
        TColor (*expected)(TColor);
    };
    const Case cases[] = {
        {"", &TForm2::aksevalue, &TForm2::Button5Click, [](TColor) { return rgb(0, 0, 0); }},
        {"-", &TForm2::aksevalue, &TForm2::Button5Click, [](TColor) { return rgb(0, 0, 0); }},
        {"abc", &TForm2::ctsev, &TForm2::Button6Click, [](TColor) { return rgb(128, 128, 128); }},
    };
    for (const Case& c : cases) {
        Board b;
        TForm2& d = b.open();
        setText(d.*c.box, QString::fromLatin1(c.text));
        (d.*c.run)();
        for (QPoint at : {QPoint(10, 40), QPoint(100, 60), QPoint(150, 100)}) {
            const TColor was = fromQRgb(b.picture.pixel(at));
            EXPECT_EQ(b.model().surface().pixel(at.x(), at.y()), c.expected(was)) << c.text;
        }
        EXPECT_EQ(b.model().surface().pixel(20, 50), TransparentKey) << c.text;
    }
    // The shift with an empty box moves by -5000.
    Board b;
    TForm2& d = b.open();
    setText(d.sdse_x, QString());
    d.Button3Click();
    QImage expected = b.picture.copy();
    filters::Shift({expected, expected.rect(), QRegion(expected.rect())}, -5000, 0, {});
    EXPECT_TRUE(th::sameImage(b.surface(), expected));
    EXPECT_EQ(FilterSpinBox::valueOf(QStringLiteral(" 12 "), -255, 255), 12);
    EXPECT_EQ(FilterSpinBox::valueOf(QStringLiteral("99999"), -5000, 5000), 5000);
}

TEST(ExtensionTools, SelectionOnlyWhenFixedAndChecked) {
    const QRect sel(20, 30, 40, 25);
    // Fixed and checked: only the selection, and its frame drawn again.
    {
        Board b;
        b.fixSelection(sel);
        TForm2& d = b.open();
        d.npcba->setChecked(true);
        d.Button4Click();
        QImage expected = b.picture.copy();
        filters::Negative({expected, sel, QRegion(expected.rect())}, {});
        EXPECT_TRUE(th::sameImage(b.committed(), b.board(expected)));
        Canvas framed(expected.width(), expected.height(), TransparentKey);
        framed.imageForWrite() = expected;
        framed.focusRect(sel);
        EXPECT_TRUE(th::sameImage(b.surface(), framed.image()));
        EXPECT_TRUE(b.model().state.selectionFixed());
    }
    // Fixed but unchecked: the whole board, frame drawn again.
    {
        Board b;
        b.fixSelection(sel);
        TForm2& d = b.open();
        d.Button4Click();
        QImage expected = b.picture.copy();
        filters::Negative({expected, expected.rect(), QRegion(expected.rect())}, {});
        EXPECT_TRUE(th::sameImage(b.committed(), b.board(expected)));
    }
    // Checked with no selection fixed: the whole board, no frame.
    {
        Board b;
        b.model().state.SelectionRect = sel;
        TForm2& d = b.open();
        d.npcba->setChecked(true);
        d.Button4Click();
        QImage expected = b.picture.copy();
        filters::Negative({expected, expected.rect(), QRegion(expected.rect())}, {});
        EXPECT_TRUE(th::sameImage(b.surface(), expected));
    }
}

TEST(ExtensionTools, BadSelectionsAndShiftsFinishAndUndo) {
    const QRect selections[] = {QRect(-50, -40, 120, 90), QRect(150, 100, 400, 300),
                                QRect(30, 30, 0, 20), QRect(30, 30, 3, 2)};
    for (const QRect& sel : selections) {
        Board b;
        b.fixSelection(sel);
        TForm2& d = b.open();
        for (QCheckBox* c : {d.cccbOnlySA, d.sdcba, d.npcba, d.akcba, d.ctcba})
            c->setChecked(true);
        for (int shift : {5000, -5000}) {
            d.sdse_x->setValue(shift);
            d.sdse_y->setValue(-shift);
            d.Button3Click();
        }
        d.Button2Click();
        d.Button4Click();
        d.Button6Click();
        EXPECT_EQ(d.ProgressBar1->value(), 0);
        EXPECT_TRUE(d.isEnabled());
        if (sel.width() == 0) {
            EXPECT_TRUE(th::sameImage(b.board(b.surface()), b.board(b.picture)));
        }
        d.close();
        b.form.SpeedButton23Click();
        b.model().lfb();
        EXPECT_TRUE(th::sameImage(b.board(b.surface()), b.board(b.picture)));
    }
}

TEST(ExtensionTools, ProgressEndsFullAndShownThenReturnsToZero) {
    Board b;
    TForm2& d = b.open();
    std::vector<std::pair<int, bool>> seen;
    d.onProgress = [&](int v, bool repainted) { seen.emplace_back(v, repainted); };
    d.Button3Click();
    ASSERT_EQ(seen.size(), 2u * b.surface().width());
    EXPECT_EQ(seen[b.surface().width() - 1].first, 200);
    EXPECT_EQ(seen.back(), std::make_pair(1000, true));
    EXPECT_EQ(d.ProgressBar1->value(), 0);
}

TEST(ExtensionTools, ControlsUnderTheToolbarAreLeftAlone) {
    Board b;
    b.form.show();
    TForm2& d = b.open();
    d.Button4Click();
    // Row 20 lies under the toolbar; row 40 does not.
    EXPECT_EQ(b.surface().pixel(100, 20), b.picture.pixel(100, 20));
    EXPECT_EQ(b.surface().pixel(100, 40), b.picture.pixel(100, 40) ^ 0x00ffffffu);
    d.close();
}

TEST(ExtensionTools, ColourCellsAndChoosers) {
    Board b;
    b.model().setPenColor(rgb(10, 20, 30));
    TForm2& d = b.open();
    EXPECT_EQ(d.fromColour(), rgb(255, 0, 0));
    EXPECT_EQ(d.toColour(), rgb(255, 255, 255));
    EXPECT_EQ(d.cell(false, TForm2::kCurrentCell)->colour(), QColor(10, 20, 30));
    // Its caption stays readable on the dark pen colour.
    const QImage current = d.cell(false, TForm2::kCurrentCell)->grab().toImage();
    bool light = false;
    for (int y = 3; y < current.height() - 3; ++y)  // inside the bevels
        for (int x = 3; x < current.width() - 3; ++x)
            light |= qGray(current.pixel(x, y)) > 200;
    EXPECT_TRUE(light) << "the caption does not stand out from the dark cell";
    d.cell(false, TForm2::kCurrentCell)->onClick();
    EXPECT_EQ(d.fromColour(), rgb(10, 20, 30));
    d.cell(true, 2)->onClick();  // navy
    EXPECT_EQ(d.toColour(), rgb(0, 0, 128));

    d.cell(false, TForm2::kEraseCell)->onClick();
    EXPECT_EQ(d.fromColour(), TransparentKey);
    EXPECT_EQ(d.Pclfrom->caption(), QStringLiteral("透明色"));
    d.Button2Click();  // see-through pixels become navy
    EXPECT_EQ(b.model().surface().pixel(20, 50), rgb(0, 0, 128));

    // "他": cancelled, nothing changes; confirmed, the swatch takes the colour and the chooser
    // opens on it the next time.
    d.cell(true, TForm2::kOtherCell)->onClick();
    EXPECT_EQ(b.platform.colourDialogInitial, 0u);
    EXPECT_EQ(d.toColour(), rgb(0, 0, 128));
    b.platform.colourAnswer = rgb(1, 2, 3);
    d.cell(true, TForm2::kOtherCell)->onClick();
    EXPECT_EQ(d.toColour(), rgb(1, 2, 3));
    EXPECT_TRUE(d.Pclto->caption().isEmpty());
    d.cell(true, TForm2::kOtherCell)->onClick();
    EXPECT_EQ(b.platform.colourDialogInitial, rgb(1, 2, 3));
    d.cell(false, TForm2::kOtherCell)->onClick();
    EXPECT_EQ(b.platform.colourDialogInitial, 0u);  // the source chooser has its own colour
}

TEST(ExtensionTools, EscapeClosesAnywhereEnterClosesUnlessAButtonHasTheFocus) {
    Board b;
    TForm2& d = b.open();
    QLineEdit* spinEdit = d.aksevalue->findChild<QLineEdit*>();
    QTest::keyClick(spinEdit, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.form.isEnabled());

    b.open();
    QTest::keyClick(d.npcba, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());

    b.open();
    d.PageControl1->setCurrentIndex(2);
    int clicks = 0;
    QObject::connect(d.Button4, &QPushButton::clicked, [&] { ++clicks; });
    QTest::keyClick(d.Button4, Qt::Key_Return);  // presses "反転"
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(b.surface().pixel(100, 100), b.picture.pixel(100, 100) ^ 0x00ffffffu);
    QTest::keyClick(d.Button4, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    // With a modifier neither key closes.
    b.open();
    QTest::keyClick(spinEdit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(d.isVisible());
    d.close();
}

// What the user set stays for the next opening: the page, the amounts, the check boxes and the
// two swatches; the "現在の選択色" cells show the pen colour of each opening, not of the first.
TEST(ExtensionTools, SettingsCarryOverAndTheCurrentColourFollowsThePen) {
    Board b;
    b.model().setPenColor(rgb(10, 20, 30));
    TForm2& d = b.open();
    d.PageControl1->setCurrentIndex(3);
    setText(d.aksevalue, QStringLiteral("-12"));
    setText(d.sdse_y, QStringLiteral("7"));
    d.akcba->setChecked(true);
    d.cell(true, 9)->onClick();  // red
    d.cell(false, TForm2::kEraseCell)->onClick();
    d.close();

    b.model().setPenColor(rgb(200, 100, 50));
    b.open();
    EXPECT_EQ(d.PageControl1->currentIndex(), 3);
    EXPECT_EQ(d.aksevalue->written(), -12);
    EXPECT_EQ(d.sdse_y->written(), 7);
    EXPECT_TRUE(d.akcba->isChecked());
    EXPECT_EQ(d.toColour(), rgb(255, 0, 0));
    EXPECT_EQ(d.fromColour(), TransparentKey);
    EXPECT_EQ(d.Pclfrom->caption(), QStringLiteral("透明色"));
    for (bool target : {false, true})
        EXPECT_EQ(d.cell(target, TForm2::kCurrentCell)->colour(), QColor(200, 100, 50)) << target;
    d.close();
}

// "消" of either group shows "透明色" on its swatch, drawn where it can be read.
TEST(ExtensionTools, TheKeyColourSwatchIsCaptioned) {
    Board b;
    TForm2& d = b.open();
    for (bool target : {false, true}) {
        BevelPanel* swatch = target ? d.Pclto : d.Pclfrom;
        d.cell(target, TForm2::kEraseCell)->onClick();
        EXPECT_EQ(swatch->caption(), QStringLiteral("透明色")) << target;
        const QImage captioned = swatch->grab().toImage();
        swatch->setCaption(QString());
        EXPECT_NE(swatch->grab().toImage(), captioned) << "the caption is not drawn";
        d.cell(target, TForm2::kEraseCell)->onClick();
    }
    // Another colour takes the caption away.
    d.cell(true, 0)->onClick();
    EXPECT_TRUE(d.Pclto->caption().isEmpty());
    d.close();
}

// "下に" a positive number moves the picture down, through the dialog as the user runs it.
TEST(ExtensionTools, ShiftDownMovesThePictureDown) {
    Board b;
    TForm2& d = b.open();
    setText(d.sdse_y, QStringLiteral("3"));
    d.Button3Click();
    for (QPoint at : {QPoint(10, 40), QPoint(100, 60), QPoint(150, 100)})
        EXPECT_EQ(b.surface().pixel(at + QPoint(0, 3)), b.picture.pixel(at)) << at.y();
    d.close();
}

// The pages' check boxes draw their whole square within their 13 pixels.
TEST(ExtensionTools, CheckBoxesDrawTheirWholeSquare) {
    Board b;
    TForm2& d = b.open();
    for (QCheckBox* box : {d.cccbOnlySA, d.sdcba, d.npcba, d.akcba, d.ctcba}) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.rect = box->rect();
        const QRect square =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        EXPECT_EQ(box->height(), 13) << box->objectName().toStdString();
        EXPECT_TRUE(box->rect().contains(square))
            << box->objectName().toStdString() << ": " << square.y() << " + " << square.height();
    }
    d.close();
}
