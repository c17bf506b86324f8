// What the toolbar shows of the current choice, read from the controls' own pixels.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QHash>
#include <QImage>
#include <cmath>

#include "board_fixture.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

namespace {

struct Board : BoardWindow {
    QImage look(const char* name) {
        QWidget* w = form.button(QString::fromLatin1(name));
        if (!w) w = form.panel(QString::fromLatin1(name));
        return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(QRgb c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most of the control's pixels have: its face.
QRgb face(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) & 0xffffffu];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) best = it.key(), most = it.value();
    return best;
}

}  // namespace

// A chosen tool or pen width is sunken and clearly darker than the buttons beside it; hovering
// or not, an up button never passes for a down one.
TEST(ToolbarLook, ChosenToolAndPenWidthStandOutFromTheOthers) {
    Board b;
    b.form.SpeedButton2Click();   // line tool
    b.form.SpeedButton13Click();  // width 12
    for (const auto& [down, up] :
         {std::pair{"SpeedButton2", "SpeedButton1"}, std::pair{"SpeedButton13", "SpeedButton10"}}) {
        ASSERT_TRUE(b.form.button(QString::fromLatin1(down))->isChecked()) << down;
        const QImage d = b.look(down), u = b.look(up);
        const QRgb downFace = face(d), upFace = face(u);
        EXPECT_LT(luminance(downFace), luminance(upFace)) << down;
        EXPECT_GE(contrast(downFace, upFace), 1.4) << down << " against " << up;
        // Sunken: dark at the top left; raised: light there.
        EXPECT_LT(luminance(d.pixel(0, 0)), luminance(downFace)) << down;
        EXPECT_GT(luminance(u.pixel(0, 0)), luminance(upFace)) << up;
    }
}

// Each swatch shows exactly its colour; the chosen one is framed black and white, which stands
// out on every colour of the palette.
TEST(ToolbarLook, SwatchesShowTheirColourExactlyAndTheChosenOneIsFramed) {
    Board b;
    for (int i = 0; i < Palette::kCount; ++i) {
        if (i == Palette::kEraser || i == Palette::kFreeColour) continue;
        b.form.Panel2Click(i);
        const Swatch& s = b.form.model().palette.swatch(i);
        const QImage chosen = b.look(s.name);
        EXPECT_EQ(chosen.pixel(chosen.width() / 2, chosen.height() / 2) & 0xffffffu,
                  toQRgb(s.colour) & 0xffffffu)
            << s.name;
        EXPECT_EQ(chosen.pixel(0, 0) & 0xffffffu, 0u) << s.name;
        EXPECT_EQ(chosen.pixel(1, 1) & 0xffffffu, 0xffffffu) << s.name;
    }

    // The eyedropper lowers both bevels of "他": its face still shows the picked colour.
    BoardModel& m = b.form.model();
    m.surface().setPixel(50, 100, 0x0000FF);
    m.selectTool(ToolEyedropper);
    m.keyDown(VK_SHIFT, {50, 100});
    ASSERT_TRUE(b.form.panel(QStringLiteral("Panel17"))->innerLowered());
    // Its face, inside the bevels and beside the caption.
    auto faceOf17 = [&] {
        const QImage image = b.look("Panel17");
        return QList<QRgb>{image.pixel(3, 3) & 0xffffffu,
                           image.pixel(image.width() - 4, 3) & 0xffffffu};
    };
    const QRgb red = qRgb(255, 0, 0) & 0xffffffu;
    EXPECT_EQ(faceOf17(), QList<QRgb>({red, red}));
    // Once another swatch is chosen its inner bevel stays lowered, and its colour stays exact.
    b.form.Panel2Click(0);
    EXPECT_EQ(faceOf17(), QList<QRgb>({red, red}));
}

namespace {

// The button drawn on an image of the given device pixel ratio, as a window on a screen of that
// scale would show it.
QImage onScreenOfScale(QWidget* button, qreal ratio) {
    QImage image((QSizeF(button->size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    button->render(&image);
    return image;
}

// How many device pixels a glyph pixel takes at the ratio: whole numbers only.
int glyphFactor(qreal ratio) {
    return std::max(1, static_cast<int>(std::floor(ratio)));
}

}  // namespace

// A glyph is drawn at a whole multiple of its 16 x 16 pixels, nearest neighbour, centred on the
// button: at 1.5 each glyph pixel is one device pixel (not stretched unevenly to 24, some of its
// lines one device pixel wide and some two), at 2 each is a two by two block (not smoothed into
// greys).
TEST(ToolbarLook, GlyphsAreCrispAtEveryScale) {
    Board b;
    const QImage glyph(QStringLiteral(":/glyphs/SpeedButton2.pbm"));
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    QWidget* line = b.form.button(QStringLiteral("SpeedButton2"));
    ASSERT_FALSE(static_cast<QAbstractButton*>(line)->isChecked());
    const QRgb upFace = face(b.look("SpeedButton2"));
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 2.5}) {
        const int k = glyphFactor(ratio);
        const QImage shown = onScreenOfScale(line, ratio);
        const QPoint at((shown.width() - 16 * k) / 2, (shown.height() - 16 * k) / 2);
        int wrong = 0;
        for (int y = -1; y <= 16 * k; ++y)
            for (int x = -1; x <= 16 * k; ++x) {
                const bool ink = x >= 0 && y >= 0 && x < 16 * k && y < 16 * k &&
                                 qGray(glyph.pixel(x / k, y / k)) < 128;
                const QRgb want = ink ? 0u : upFace;
                wrong += (shown.pixel(at + QPoint(x, y)) & 0xffffffu) != want;
            }
        EXPECT_EQ(wrong, 0) << "ratio " << ratio;
    }
}
