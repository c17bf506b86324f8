// The font chooser: Qt's own font dialog (not the desktop's, which cannot take an extra field)
// with a colour field of sixteen standard colours beneath its font fields. Sizes are shown in
// points, as the dialog counts them, and handed back in pixels, as the board draws.
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/font_chooser.h"
#include "platform/modal_owner.h"
#include "platform/platform.h"

namespace {

struct NamedColour {
    const char* name;
    int r, g, b;
};

// clang-format off
constexpr NamedColour kColours[] = {
    {"黒",       0,   0,   0},
    {"栗色",     128, 0,   0},
    {"緑",       0,   128, 0},
    {"オリーブ", 128, 128, 0},
    {"紺",       0,   0,   128},
    {"紫",       128, 0,   128},
    {"青緑",     0,   128, 128},
    {"灰色",     128, 128, 128},
    {"銀色",     192, 192, 192},
    {"赤",       255, 0,   0},
    {"ライム",   0,   255, 0},
    {"黄",       255, 255, 0},
    {"青",       0,   0,   255},
    {"赤紫",     255, 0,   255},
    {"水色",     0,   255, 255},
    {"白",       255, 255, 255},
};
// clang-format on

TColor colourOf(const NamedColour& c) {
    return static_cast<TColor>(c.r + c.g * 256 + c.b * 65536);
}

QIcon swatchIcon(TColor colour) {
    QPixmap pixmap(24, 12);
    pixmap.fill(QColor::fromRgb(toQRgb(colour)));
    return QIcon(pixmap);
}

// The colour field: the sixteen colours, and the current colour when it is none of them.
QComboBox* colourField(QWidget* parent, TColor current) {
    auto* combo = new QComboBox(parent);
    bool found = false;
    for (const NamedColour& c : kColours) {
        combo->addItem(swatchIcon(colourOf(c)), QString::fromUtf8(c.name), colourOf(c));
        if (colourOf(c) == current) {
            combo->setCurrentIndex(combo->count() - 1);
            found = true;
        }
    }
    if (!found) {
        combo->addItem(swatchIcon(current), QStringLiteral("カスタム"), current);
        combo->setCurrentIndex(combo->count() - 1);
    }
    return combo;
}

double logicalDpi(const QWidget* w) {
    const QScreen* screen = w ? w->screen() : nullptr;
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

bool QtPlatform::chooseFont(FontChoice& choice) {
    const ModalOwner owner;  // declared first: it takes the activation back after the dialog
    QFontDialog dialog(owner.widget());
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("フォント"));
    const double dpi = logicalDpi(owner.widget());

    dialog.setCurrentFont(font_chooser::shown(choice.font, dpi));
    font_chooser::acceptLargeSizes(dialog, dpi);

    QComboBox* colour = colourField(&dialog, choice.colour);
    auto* label = new QLabel(QStringLiteral("色(&C):"), &dialog);
    label->setBuddy(colour);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(colour, row, 1, 1, grid->columnCount() - 1);
    } else if (auto* box = qobject_cast<QBoxLayout*>(dialog.layout())) {
        box->addWidget(label);
        box->addWidget(colour);
    }

    if (dialog.exec() != QDialog::Accepted) return false;
    choice.font = font_chooser::chosen(dialog.selectedFont(), choice.font, dpi);
    choice.colour = colour->currentData().value<TColor>();
    return true;
}
