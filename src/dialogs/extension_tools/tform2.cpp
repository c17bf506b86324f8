#include "dialogs/extension_tools/tform2.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "platform/japanese_font.h"
#include "platform/platform.h"
#include "widgets/bevel_panel.h"
#include "widgets/dialog_keys.h"
#include "widgets/side_picture.h"

namespace {

// The bar is repainted at most this often; its last value of a run is always shown.
constexpr qint64 kRepaintMs = 8;
constexpr int kProgressMax = 1000;

constexpr TColor rgb(int r, int g, int b) {
    return static_cast<TColor>(r + g * 256 + b * 65536);
}

constexpr TColor kCellGrey = rgb(192, 192, 192);

// The sixteen colour cells of a group: top row, then bottom row, left to right.
// clang-format off
constexpr TColor kCellColours[16] = {
    rgb(0,   0,   0),   rgb(128, 0,   0),   rgb(0,   0,   128), rgb(128, 128, 0),
    rgb(0,   128, 0),   rgb(0,   128, 128), rgb(128, 0,   128), rgb(128, 128, 128),
    rgb(255, 255, 255), rgb(255, 0,   0),   rgb(0,   0,   255), rgb(255, 255, 0),
    rgb(0,   255, 0),   rgb(0,   255, 255), rgb(255, 0,   255), rgb(192, 192, 192),
};
// clang-format on

// The pages, their run buttons and selection-only check boxes; positions inside the page.
struct PageRow {
    const char* caption;
    const char* button;
    const char* buttonCaption;
    QRect buttonRect;
    const char* check;
    const char* checkCaption;
    QRect checkRect;
};

// clang-format off
const PageRow kPages[] = {
    {"色の交換",     "Button2", "交換", {272, 28, 61, 21}, "cccbOnlySA", "選択範囲のみ変換",   {28, 140, 157, 13}},
    {"ずらし",       "Button3", "実行", {252, 40, 61, 21}, "sdcba",      "選択範囲のみずらす", {72, 104, 157, 13}},
    {"ネガポジ反転", "Button4", "反転", {208, 68, 61, 21}, "npcba",      "選択範囲のみ反転",   {68, 72, 137, 13}},
    {"明るさ",       "Button5", "実行", {236, 40, 61, 21}, "akcba",      "選択範囲のみ適用",   {64, 72, 137, 13}},
    {"コントラスト", "Button6", "実行", {236, 40, 61, 21}, "ctcba",      "選択範囲のみ適用",   {64, 72, 137, 13}},
};

struct LabelRow {
    int page;
    const char* text;
    QPoint at;
};

const LabelRow kLabels[] = {
    {0, "→",              {132, 52}},
    {1, "右に",           {72,  44}},
    {1, "ピクセル",       {188, 44}},
    {1, "下に",           {72,  72}},
    {1, "ピクセル",       {188, 72}},
    {3, "明るさを",       {40,  44}},
    {3, "増加させる",     {164, 44}},
    {4, "コントラストを", {12,  44}},
    {4, "増加させる",     {164, 44}},
};

struct SpinRow {
    int page;
    const char* name;
    QPoint at;
    int min;
    int max;
};

const SpinRow kSpins[] = {
    {1, "sdse_x",    {108, 40}, -5000, 5000},
    {1, "sdse_y",    {108, 68}, -5000, 5000},
    {3, "aksevalue", {84,  40}, -255,  255},
    {4, "ctsev",     {84,  40}, -100,  100},
};
// clang-format on

constexpr QSize kSpinSize(73, 21);

QColor qColour(TColor c) {
    return QColor::fromRgb(toQRgb(c));
}

// The pages' check boxes are as tall as their text line; the style's square is drawn no taller,
// so that it is whole within the box's rectangle rather than cut off at its bottom edge.
class FittingCheckStyle : public QProxyStyle {
public:
    FittingCheckStyle(int side, QObject* owner) : side_(side) { setParent(owner); }
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        const bool square = metric == PM_IndicatorWidth || metric == PM_IndicatorHeight;
        return square ? std::min(base, side_) : base;
    }

private:
    int side_;
};

}  // namespace

FilterSpinBox::FilterSpinBox(QWidget* parent) : QSpinBox(parent) {
    findChild<QLineEdit*>()->setMaxLength(5);
}

int FilterSpinBox::valueOf(const QString& text, int min, int max) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? filters::Clamp(v, min, max) : min;
}

int FilterSpinBox::written() const {
    return valueOf(cleanText(), minimum(), maximum());
}

QValidator::State FilterSpinBox::validate(QString& input, int&) const {
    return input.size() <= 5 ? QValidator::Acceptable : QValidator::Invalid;
}

int FilterSpinBox::valueFromText(const QString& text) const {
    return valueOf(text, minimum(), maximum());
}

TForm2::TForm2(std::unique_ptr<Host> host, Platform& platform)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      host_(std::move(host)),
      platform_(platform),
      fromColour_(rgb(255, 0, 0)),
      toColour_(rgb(255, 255, 255)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("拡張ツール"));
    setFont(japanese_font::requested(12));
    setFixedSize(kClientWidth, kClientHeight);

    auto* side = new QLabel(this);
    side->setGeometry(0, -1, 105, 241);
    side->setPixmap(sidePicture(SideArt::Filters, side->size()));

    // Button1 stands first in the control order, so that it has the focus when the dialog opens.
    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(412, 212, 61, 21);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(108, 4, 365, 193);
    PageControl1->setDocumentMode(true);  // tabs as flat buttons
    buildPages();

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(108, 200, 365, 2);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(112, 216, 293, 13);
    ProgressBar1->setRange(0, kProgressMax);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5, Button6}) {
        b->setAutoDefault(true);
        b->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(Button1, PageControl1);

    auto* keys = new DialogKeys(
        this, [this] { close(); }, [this] { close(); });
    keys->watch();
}

TForm2::~TForm2() = default;

void TForm2::buildPages() {
    auto* checkStyle = new FittingCheckStyle(kPages[0].checkRect.height(), this);
    QWidget* pages[5] = {};
    QPushButton** buttons[5] = {&Button2, &Button3, &Button4, &Button5, &Button6};
    QCheckBox** checks[5] = {&cccbOnlySA, &sdcba, &npcba, &akcba, &ctcba};
    for (int i = 0; i < 5; ++i) {
        const PageRow& row = kPages[i];
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(pages[i], QString::fromUtf8(row.caption));
        auto* button = new QPushButton(QString::fromUtf8(row.buttonCaption), pages[i]);
        button->setObjectName(QString::fromLatin1(row.button));
        button->setGeometry(row.buttonRect);
        *buttons[i] = button;
        auto* check = new QCheckBox(QString::fromUtf8(row.checkCaption), pages[i]);
        check->setObjectName(QString::fromLatin1(row.check));
        check->setGeometry(row.checkRect);
        check->setStyle(checkStyle);
        *checks[i] = check;
    }
    for (const LabelRow& l : kLabels) {
        auto* label = new QLabel(QString::fromUtf8(l.text), pages[l.page]);
        label->move(l.at);
        label->adjustSize();
    }
    FilterSpinBox** spins[4] = {&sdse_x, &sdse_y, &aksevalue, &ctsev};
    for (int i = 0; i < 4; ++i) {
        const SpinRow& s = kSpins[i];
        auto* spin = new FilterSpinBox(pages[s.page]);
        spin->setObjectName(QString::fromLatin1(s.name));
        spin->setRange(s.min, s.max);
        spin->setValue(0);
        spin->setGeometry(QRect(s.at, kSpinSize));
        *spins[i] = spin;
    }

    auto swatch = [](QWidget* page, QRect geometry, TColor colour) {
        auto* p = new BevelPanel(page);
        p->setBevels(true, true);
        p->setOuterLowered(true);
        p->setInnerLowered(true);
        p->setGeometry(geometry);
        p->setColour(qColour(colour));
        return p;
    };
    Pclfrom = swatch(pages[0], QRect(28, 16, 89, 65), fromColour_);
    Pclfrom->setObjectName(QStringLiteral("Pclfrom"));
    Pclto = swatch(pages[0], QRect(160, 16, 89, 65), toColour_);
    Pclto->setObjectName(QStringLiteral("Pclto"));
    buildColourGroup(pages[0], false, QPoint(28, 84));
    buildColourGroup(pages[0], true, QPoint(160, 84));

    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm2::Button6Click);
}

void TForm2::buildColourGroup(QWidget* page, bool target, QPoint at) {
    auto* group = new BevelPanel(page);
    group->setBevels(false, true);
    group->setInnerLowered(true);
    group->setGeometry(QRect(at, QSize(89, 49)));
    auto& cells = cells_[target ? 1 : 0];
    auto add = [&](int index, QRect geometry, TColor colour, const char* caption) {
        auto* c = new BevelPanel(group);
        c->setBevels(false, false);
        c->setGeometry(geometry);
        c->setColour(qColour(colour));
        c->setCaption(QString::fromUtf8(caption));
        cells[static_cast<size_t>(index)] = c;
        return c;
    };
    for (int i = 0; i < 16; ++i) {
        BevelPanel* c = add(i, QRect(4 + 8 * (i % 8), i < 8 ? 4 : 16, 8, 12), kCellColours[i], "");
        c->onClick = [this, c, target] { target ? Panel39Click(c) : Panel9Click(c); };
    }
    add(kEraseCell, QRect(68, 4, 17, 12), kCellGrey, "消")->onClick = [this, target] {
        target ? Panel24Click() : Panel15Click();
    };
    add(kOtherCell, QRect(68, 16, 17, 12), kCellGrey, "他")->onClick = [this, target] {
        target ? Panel22Click() : Panel17Click();
    };
    BevelPanel* current = add(kCurrentCell, QRect(4, 28, 81, 17), kCellGrey, "現在の選択色");
    current->onClick = [this, current, target] {
        target ? Panel39Click(current) : Panel9Click(current);
    };
}

BevelPanel* TForm2::cell(bool target, int index) const {
    return cells_[target ? 1 : 0][static_cast<size_t>(index)];
}

void TForm2::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Only an opening: a restore from minimised keeps the place and what is being edited.
    if (!e->spontaneous()) FormShow();
}

void TForm2::FormShow() {
    host_->centre(*this);
    const QColor pen = qColour(host_->penColour());
    for (int g = 0; g < 2; ++g)
        cells_[static_cast<size_t>(g)][kCurrentCell]->setColour(pen);
    Button1->setFocus();
}

void TForm2::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (e->isAccepted()) FormClose();
}

void TForm2::FormClose() {
    host_->closed();
}

void TForm2::Button1Click() {
    close();
}

void TForm2::setSwatch(bool target, TColor colour, const QString& caption) {
    (target ? toColour_ : fromColour_) = colour;
    BevelPanel* swatch = target ? Pclto : Pclfrom;
    swatch->setColour(qColour(colour));
    swatch->setCaption(caption);
}

void TForm2::Panel9Click(BevelPanel* sender) {
    setSwatch(false, fromQRgb(sender->colour().rgb()), QString());
}

void TForm2::Panel39Click(BevelPanel* sender) {
    setSwatch(true, fromQRgb(sender->colour().rgb()), QString());
}

void TForm2::Panel15Click() {
    setSwatch(false, TransparentKey, QStringLiteral("透明色"));
}

void TForm2::Panel24Click() {
    setSwatch(true, TransparentKey, QStringLiteral("透明色"));
}

void TForm2::Panel17Click() {
    TColor chosen = dialog1Colour_;
    if (!platform_.chooseColour(dialog1Colour_, chosen)) return;
    dialog1Colour_ = chosen;
    setSwatch(false, chosen, QString());
}

void TForm2::Panel22Click() {
    TColor chosen = dialog2Colour_;
    if (!platform_.chooseColour(dialog2Colour_, chosen)) return;
    dialog2Colour_ = chosen;
    setSwatch(true, chosen, QString());
}

void TForm2::Button2Click() {
    const TColor from = fromColour_, to = toColour_;
    run(cccbOnlySA, [from, to](filters::Target t, const filters::Progress& p) {
        filters::ExchangeColour(t, from, to, p);
    });
}

void TForm2::Button3Click() {
    const int dx = sdse_x->written(), dy = sdse_y->written();
    run(sdcba,
        [dx, dy](filters::Target t, const filters::Progress& p) { filters::Shift(t, dx, dy, p); });
}

void TForm2::Button4Click() {
    run(npcba, [](filters::Target t, const filters::Progress& p) { filters::Negative(t, p); });
}

void TForm2::Button5Click() {
    const int delta = aksevalue->written();
    run(akcba, [delta](filters::Target t, const filters::Progress& p) {
        filters::Brightness(t, delta, p);
    });
}

void TForm2::Button6Click() {
    const int k = ctsev->written();
    run(ctcba, [k](filters::Target t, const filters::Progress& p) { filters::Contrast(t, k, p); });
}

void TForm2::run(QCheckBox* onlySelection, const Pass& pass) {
    // Disabling the dialog takes the focus from its control; it goes back there afterwards, so
    // that Enter presses the same button again.
    const QPointer<QWidget> focused = focusWidget();
    setEnabled(false);
    const filters::Target target = host_->beginRun(onlySelection->isChecked());
    sinceRepaint_.invalidate();
    pass(target, [this](int value) { showProgress(value); });
    host_->endRun(target);
    ProgressBar1->setValue(0);
    setEnabled(true);
    if (focused) focused->setFocus();
}

// Qt repaints the bar at once whenever its drawn length changes; over a run of a thousand steps
// that would cost more than the run itself, so the bar takes a new value only every few
// milliseconds, and always the last one of a pass.
void TForm2::showProgress(int value) {
    const bool last = value == kProgressMax;
    const bool due = !sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= kRepaintMs;
    const bool repaint = value != ProgressBar1->value() && (due || last);
    if (repaint) {
        ProgressBar1->setValue(value);
        sinceRepaint_.start();
    }
    if (onProgress) onProgress(value, repaint);
}
