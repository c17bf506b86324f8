#include "platform/font_chooser.h"

#include <QFontInfo>
#include <QIntValidator>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

namespace font_chooser {

namespace {

// The longest side of a stamp, in pixels.
constexpr int kMaxStampSide = 32767;

int pixelsOf(const QFont& font, double dpi) {
    if (font.pixelSize() > 0) return font.pixelSize();
    return std::max(1, int(std::lround(font.pointSizeF() * dpi / 72.0)));
}

// The chooser's whole points for a size in pixels.
int pointsOf(int pixels, double dpi) {
    return std::max(1, int(std::lround(pixels * 72.0 / dpi)));
}

}  // namespace

QFont shown(const QFont& inUse, double dpi) {
    QFont font = inUse;
    font.setFamily(QFontInfo(inUse).family());
    font.setPointSize(pointsOf(pixelsOf(inUse, dpi), dpi));
    return font;
}

QFont chosen(const QFont& selected, const QFont& inUse, double dpi) {
    QFont font = selected;
    const int pixels = pixelsOf(inUse, dpi);
    const double points = selected.pointSizeF();
    if (points > 0) {
        const bool unchanged = std::lround(points) == pointsOf(pixels, dpi);
        font.setPixelSize(unchanged ? pixels : std::max(1, int(std::lround(points * dpi / 72.0))));
    }
    // The board's text is drawn without smoothing, whatever the chooser's font says.
    font.setStyleStrategy(inUse.styleStrategy());
    return font;
}

int maxPoints(double dpi) {
    return std::max(1, int(kMaxStampSide * 72.0 / dpi));
}

void acceptLargeSizes(QWidget& chooser, double dpi) {
    for (QLineEdit* field : chooser.findChildren<QLineEdit*>())
        if (auto* sizes = qobject_cast<const QIntValidator*>(field->validator()))
            field->setValidator(new QIntValidator(sizes->bottom(), maxPoints(dpi), field));
}

}  // namespace font_chooser
