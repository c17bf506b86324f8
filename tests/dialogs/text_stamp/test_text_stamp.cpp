#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "board_fixture.h"
#include "dialogs/text_stamp/text_stamp.h"
#include "dialogs/text_stamp/tform4.h"
#include "fake_platform.h"
#include "platform/font_chooser.h"
#include "platform/japanese_font.h"
#include "test_helpers.h"
#include "window/tform1.h"

namespace {

using th::rgb;

struct Board : BoardWindow {
    Board() { form.timer().stop(); }
    const Canvas& stamp() { return form.model().stores.stamp(); }
    TForm4& open() {
        form.SpeedButton35Click();
        return form.form4();
    }
};

// Every pixel of the picture is one of the two colours; counts the pixels of the first.
::testing::AssertionResult onlyTwoColours(const QImage& image, QRgb ink, QRgb ground,
                                          int* inked = nullptr) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xff000000u;
            if (p == ink) {
                ++n;
            } else if (p != ground) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << p;
            }
        }
    if (inked) *inked = n;
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(TextStamp, SizeIsTheExtentWidenedByTheHeight) {
    EXPECT_EQ(text_stamp::stampSize(QSize(40, 12)), QSize(52, 12));
    EXPECT_EQ(text_stamp::stampSize(QSize(0, 15)), QSize(15, 15));
    EXPECT_EQ(text_stamp::stampSize(QSize(40000, 12)), QSize(text_stamp::kMaxSide, 12));
    const QSize huge = text_stamp::stampSize(QSize(30000, 3000));
    EXPECT_LE(qint64(huge.width()) * huge.height(), text_stamp::kMaxPixels);
    EXPECT_EQ(huge.height(), 3000);
}

TEST(TextStamp, TheRequestedFaceIsDrawnByAJapaneseGothic) {
    const QFont font = japanese_font::requested(12);
    EXPECT_EQ(font.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pixelSize(), 12);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese font installed";
    EXPECT_TRUE(japanese.contains(QFontInfo(font).family()))
        << QFontInfo(font).family().toStdString();
    // Not merely any Japanese family: the proportional gothic the set-up installs.
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
}

TEST(TextStamp, OkMakesAStampOfKeyAndFontColourOnlyAndStartsTheStampTool) {
    Board b;
    TForm4& d = b.open();
    EXPECT_FALSE(b.form.isEnabled());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("テキスト"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("Text"));
    b.platform.fontAnswers.push_back(FontChoice{japanese_font::requested(24), rgb(200, 30, 40)});
    d.Button1Click();
    d.Edit1->setText(QStringLiteral("Velmo あいう 123"));
    d.Button3Click();

    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.form.isEnabled());
    EXPECT_EQ(b.model().state.DrawTool, ToolStamp);
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);
    EXPECT_TRUE(b.form.button(QStringLiteral("SpeedButton31"))->isChecked());

    const QSize extent = text_stamp::textExtent(d.font().font, d.Edit1->text());
    EXPECT_EQ(b.stamp().image().size(), QSize(extent.width() + extent.height(), extent.height()));
    int inked = 0;
    EXPECT_TRUE(
        onlyTwoColours(b.stamp().image(), toQRgb(rgb(200, 30, 40)), TransparentKeyRgb, &inked));
    EXPECT_GT(inked, 50);
    // The strip the height added on the right holds no glyph.
    EXPECT_EQ(th::count(b.stamp(), TransparentKey,
                        QRect(extent.width() + 2, 0, extent.height() - 2, extent.height())),
              (extent.height() - 2) * extent.height());
    EXPECT_TRUE(b.stamp().transparent());

    // The stamp follows the cursor at once and Shift places it.
    b.model().tick(QPoint(100, 80), QPoint(100, 80));
    b.model().keyDown(VK_SHIFT, QPoint(100, 80));
    const QImage placed =
        b.model().stores.buffer().image().copy(QRect(QPoint(100, 80), b.stamp().image().size()));
    EXPECT_EQ(th::count(b.model().stores.buffer(), rgb(200, 30, 40)), inked);
    EXPECT_TRUE(onlyTwoColours(placed, toQRgb(rgb(200, 30, 40)), TransparentKeyRgb));
}

TEST(TextStamp, EmptyTextAndOkWhileTheStampToolIsChosen) {
    Board b;
    b.form.SpeedButton31ButtonClick();
    b.model().state.DrawPhase = PhaseIdle;
    TForm4& d = b.open();
    d.Edit1->clear();
    d.Button3Click();
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);
    const QSize extent = text_stamp::textExtent(d.font().font, QString());
    EXPECT_EQ(b.stamp().image().size(), QSize(extent.height(), extent.height()));
    EXPECT_TRUE(onlyTwoColours(b.stamp().image(), TransparentKeyRgb, TransparentKeyRgb));
}

TEST(TextStamp, CancelKeepsTextFontAndStamp) {
    Board b;
    const QImage stampBefore = b.stamp().image().copy();
    TForm4& d = b.open();
    const FontChoice chosen{QFont(QStringLiteral("No Such Face 9000")), rgb(0, 0, 255)};
    b.platform.fontAnswers.push_back(chosen);
    d.Button1Click();
    d.Edit1->setText(QStringLiteral("kept"));
    // Esc from the text box is "Cancel".
    QTest::keyClick(d.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.form.isEnabled());
    EXPECT_EQ(b.model().state.DrawTool, ToolFreehand);
    EXPECT_EQ(b.model().state.DrawPhase, PhaseIdle);
    EXPECT_TRUE(th::sameImage(b.stamp().image(), stampBefore));

    b.open();
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("kept"));
    EXPECT_EQ(d.font().font.family(), chosen.font.family());
    EXPECT_EQ(b.platform.fontDialogsOpenedOn.size(), 1);
    // A cancelled chooser changes nothing; the next opens on the font kept.
    d.Button1Click();
    EXPECT_EQ(b.platform.fontDialogsOpenedOn.last().colour, rgb(0, 0, 255));
    EXPECT_EQ(d.font().colour, rgb(0, 0, 255));
    // A face that is not installed still makes a stamp; Enter in the text box is "OK".
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);
    int inked = 0;
    EXPECT_TRUE(
        onlyTwoColours(b.stamp().image(), toQRgb(rgb(0, 0, 255)), TransparentKeyRgb, &inked));
    EXPECT_GT(inked, 0);
}

TEST(TextStamp, PreviewFollowsTextAndFontOnWhite) {
    Board b;
    TForm4& d = b.open();
    const QImage& preview = d.Img_Preview->image();
    EXPECT_EQ(preview.size(), QSize(357, 121));
    const QRgb ink = toQRgb(d.font().colour);
    int first = 0;
    EXPECT_TRUE(onlyTwoColours(preview, ink, 0xffffffffu, &first));
    EXPECT_GT(first, 0);
    // "Text" sits at the top-left corner.
    EXPECT_TRUE(onlyTwoColours(preview.copy(60, 20, 297, 101), ink, 0xffffffffu));

    QTest::keyClicks(d.Edit1, QStringLiteral(" more"));
    int longer = 0;
    EXPECT_TRUE(onlyTwoColours(preview, ink, 0xffffffffu, &longer));
    EXPECT_GT(longer, first);

    b.platform.fontAnswers.push_back(FontChoice{japanese_font::requested(40), rgb(0, 128, 0)});
    d.Button1Click();
    int green = 0;
    EXPECT_TRUE(onlyTwoColours(preview, toQRgb(rgb(0, 128, 0)), 0xffffffffu, &green));
    EXPECT_GT(green, longer);
    d.close();
}

TEST(TextStamp, VeryLongTextIsDrawnWithinBounds) {
    Board b;
    TForm4& d = b.open();
    QElapsedTimer timer;
    timer.start();
    d.Edit1->setText(QString(10000, QLatin1Char('W')));
    d.Button3Click();
    const QSize size = b.stamp().image().size();
    EXPECT_LE(size.width(), text_stamp::kMaxSide);
    EXPECT_GT(size.width(), 1000);
    int inked = 0;
    EXPECT_TRUE(
        onlyTwoColours(b.stamp().image(), toQRgb(d.font().colour), TransparentKeyRgb, &inked));
    EXPECT_GT(inked, 1000);
    b.model().tick(QPoint(10, 40), QPoint(10, 40));
    b.model().keyDown(VK_SHIFT, QPoint(10, 40));
    EXPECT_EQ(b.model().state.DrawPhase, PhaseIdle);
}

// The chooser opens on the family that actually draws the board's font, at its size, and OK
// without a change gives a font that draws every pixel as before, whatever the pixel size.
TEST(TextStamp, TheFontChooserOpensOnTheFontInUseAndOkChangesNothing) {
    for (const double dpi : {96.0, 120.0}) {
        for (const int pixels : {9, 12, 13, 14, 21, 40}) {
            const QFont inUse = text_stamp::drawingFont(japanese_font::requested(pixels));
            const QFont shown = font_chooser::shown(inUse, dpi);
            EXPECT_EQ(shown.family(), QStringLiteral("IPAPGothic"));
            EXPECT_EQ(shown.pointSize(), qRound(pixels * 72.0 / dpi)) << pixels;
            // What the chooser hands back for an unchanged choice: its family at its size.
            QFont selected(shown.family());
            selected.setPointSize(shown.pointSize());
            const QFont back = font_chooser::chosen(selected, inUse, dpi);
            EXPECT_EQ(back.pixelSize(), pixels) << dpi << " dpi, " << pixels;
            QImage before(200, 60, QImage::Format_RGB32), after(200, 60, QImage::Format_RGB32);
            text_stamp::drawPreview(before, QStringLiteral("Text 環境"), {inUse, 0});
            text_stamp::drawPreview(after, QStringLiteral("Text 環境"), {back, 0});
            EXPECT_TRUE(th::sameImage(before, after)) << dpi << " dpi, " << pixels;
        }
    }
    // A size the user changed is taken in pixels; sizes well beyond 512 points are accepted.
    QFont bigger(QStringLiteral("IPAPGothic"));
    bigger.setPointSize(30);
    EXPECT_EQ(font_chooser::chosen(bigger, japanese_font::requested(12), 96).pixelSize(), 40);
    EXPECT_GE(font_chooser::maxPoints(96), 20000);

    // Qt's chooser itself takes such a size once its field is widened (it is never run here).
    QFontDialog chooser;
    chooser.setOption(QFontDialog::DontUseNativeDialog);
    font_chooser::acceptLargeSizes(chooser, 96);
    QLineEdit* size = nullptr;
    for (QLineEdit* field : chooser.findChildren<QLineEdit*>())
        if (field->validator()) size = field;
    ASSERT_NE(size, nullptr);
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("700"));
    EXPECT_EQ(chooser.currentFont().pointSize(), 700);
}
