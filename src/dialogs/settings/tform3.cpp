#include "dialogs/settings/tform3.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/japanese_font.h"
#include "widgets/side_picture.h"

namespace {

// The frame period field: any digits may be typed, whatever the range; the number is brought to
// the nearer bound when the field loses the focus (and when OK reads it). A text that is no
// number reads as the minimum.
class PeriodField : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    static constexpr qsizetype kMaxDigits = 9;

    // The field's text as a value within its range.
    int settled() const { return valueFromText(cleanText()); }

protected:
    QValidator::State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c < u'0' || c > u'9') return QValidator::Invalid;
        if (input.isEmpty() || input.size() > kMaxDigits) return QValidator::Intermediate;
        const int v = input.toInt();
        return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }
    int valueFromText(const QString& text) const override {
        bool whole = !text.isEmpty();
        for (QChar c : text)
            whole = whole && c >= u'0' && c <= u'9';
        if (!whole) return minimum();
        // More digits than an int holds: far above any maximum.
        if (text.size() > kMaxDigits) return maximum();
        return std::clamp(text.toInt(), minimum(), maximum());
    }
    void fixup(QString& input) const override { input = QString::number(valueFromText(input)); }
    void focusOutEvent(QFocusEvent* e) override {
        setValue(settled());
        QSpinBox::focusOutEvent(e);
    }
};

QGroupBox* group(QWidget* parent, const char* name, const QString& title, QRect place) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(place);
    return g;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(at);
    l->adjustSize();
    return l;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->move(at);
    c->adjustSize();
    return c;
}

}  // namespace

const QString TForm3::kPeriodKey = QStringLiteral("framerate");

// The switches, in their tab order: the box, its name, its key in "config.ini", its group
// (0 confirmations, 1 fill, 2 stamp), its place in the group and its caption. A box the program
// does not refer to by name needs no member.
// clang-format off
const TForm3::Switch TForm3::kSwitches[] = {
    // box                   name           key            group  at       caption
    {&TForm3::cb_eraseall,  "cb_eraseall", "onEraseAll",  0,     {8, 16}, "全消去時"},
    {&TForm3::cb_exitmenu,  "cb_exitmenu", "onExitMenu",  0,     {8, 32}, "終了時(右クリックメニュー)"},
    {&TForm3::cb_exitbox,   "cb_exitbox",  "onExitBox",   0,     {8, 48}, "終了時(クローズボックス)"},
    {&TForm3::cb_flatonce,  "cb_flatonce", "atonce",      1,     {8, 16}, "一回目の操作で塗りつぶす"},
    {&TForm3::cb_stumptp,   "cb_stumptp",  "transparent", 2,     {8, 16}, "透過色は貼り付けない"},
    {&TForm3::cb_stumpcon,  "cb_stumpcon", "continuous",  2,     {8, 32}, "連続して貼り付け"},
};
// clang-format on

TForm3::TForm3(Board board) : board_(std::move(board)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("環境設定"));
    // A dialog with only a close box, above every other window, of a fixed size.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(japanese_font::requested(12));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 105, 241);
    Image1->setPixmap(sidePicture(SideArt::Settings, Image1->size()));

    QGroupBox* GroupBox1 = group(this, "GroupBox1", QStringLiteral("動作"), {112, 8, 173, 61});
    label(GroupBox1, "Label2", QStringLiteral("描画周期"), {12, 20});
    seInterval = new PeriodField(GroupBox1);
    seInterval->setObjectName(QStringLiteral("seInterval"));
    seInterval->setGeometry(64, 16, 57, 21);
    seInterval->setRange(board_.minPeriod, board_.maxPeriod);
    seInterval->setSingleStep(1);
    seInterval->setValue(board_.designPeriod);
    seInterval->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    label(GroupBox1, "Label3", QStringLiteral("ミリ秒"), {124, 20});
    lbFramerate =
        label(GroupBox1, "lbFramerate", QStringLiteral("フレームレート：40.0fps"), {12, 40});
    // The label follows every change of the text: the box tells the changes it makes itself
    // and those to a text it accepts, its line edit those typed, whatever the text.
    connect(seInterval, &QSpinBox::textChanged, this, [this] { seIntervalChange(); });
    connect(seInterval->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            [this] { seIntervalChange(); });

    QGroupBox* GroupBox2 =
        group(this, "GroupBox2", QStringLiteral("確認メッセージ"), {112, 76, 177, 73});
    QGroupBox* GroupBox4 =
        group(this, "GroupBox4", QStringLiteral("塗りつぶし"), {296, 8, 173, 41});
    QGroupBox* GroupBox3 = group(this, "GroupBox3", QStringLiteral("スタンプ"), {296, 56, 173, 57});
    const std::array<QGroupBox*, 3> groups{GroupBox2, GroupBox4, GroupBox3};
    QList<QWidget*> order{seInterval};
    for (const Switch& s : kSwitches) {
        QCheckBox* box = checkBox(groups[s.group], s.name, QString::fromUtf8(s.caption), s.at);
        if (s.box) this->*s.box = box;
        order << box;
    }

    auto* Bevel2 = new QFrame(this);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel2->setGeometry(108, 200, 365, 2);

    bbok = new QPushButton(QStringLiteral("OK"), this);
    bbok->setObjectName(QStringLiteral("bbok"));
    bbok->setGeometry(344, 212, 61, 21);
    bbok->setDefault(true);
    connect(bbok, &QPushButton::clicked, this, [this] { bbokClick(); });
    bbcancel = new QPushButton(QStringLiteral("Cancel"), this);
    bbcancel->setObjectName(QStringLiteral("bbcancel"));
    bbcancel->setGeometry(412, 212, 61, 21);
    bbcancel->setAutoDefault(false);
    connect(bbcancel, &QPushButton::clicked, this, [this] { bbcancelClick(); });

    // Tab order: the four groups, then OK and Cancel.
    order << bbok << bbcancel;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QString TForm3::frameRateText(const QString& fieldText, int minPeriod) {
    bool whole = false;
    int v = fieldText.trimmed().toInt(&whole);
    // No rate for zero or less: such a text counts as the field's minimum, as any other does.
    if (!whole || v <= 0) v = minPeriod;
    // Tenths of frames per second, the halves going to the even tenth (the default rounding).
    const auto tenths = static_cast<long long>(std::nearbyint(10000.0 / v));
    return QStringLiteral("フレームレート%1.%2fps").arg(tenths / 10).arg(tenths % 10);
}

void TForm3::seIntervalChange() {
    lbFramerate->setText(frameRateText(seInterval->text(), seInterval->minimum()));
    lbFramerate->adjustSize();
}

void TForm3::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Only an opening: a restore from minimised keeps the place and what is being edited.
    if (!e->spontaneous()) FormShow();
}

void TForm3::FormShow() {
    if (board_.centre) board_.centre(*this);
    LoadFromBoard();
}

void TForm3::LoadFromBoard() {
    const Values v = board_.read();
    seInterval->setValue(v.value(kPeriodKey));  // brought into the field's range at once
    for (const Switch& s : kSwitches)
        box(s)->setChecked(v.value(QString::fromLatin1(s.key)) != 0);
}

void TForm3::ApplyToBoard() {
    // A typed number brought into range, as leaving the field would; a text that is not a
    // whole number counts as the minimum.
    seInterval->setValue(static_cast<PeriodField*>(seInterval)->settled());
    Values v;
    v.insert(kPeriodKey, seInterval->value());
    for (const Switch& s : kSwitches)
        v.insert(QString::fromLatin1(s.key), box(s)->isChecked() ? 1 : 0);
    board_.apply(v);
}

QCheckBox* TForm3::box(const Switch& s) const {
    return s.box ? this->*s.box : findChild<QCheckBox*>(QString::fromLatin1(s.name));
}

void TForm3::bbokClick() {
    ApplyToBoard();
    close();
}

void TForm3::bbcancelClick() {
    close();
}

void TForm3::reject() {
    close();
}

void TForm3::closeEvent(QCloseEvent* e) {
    e->accept();
    FormClose();
}

void TForm3::FormClose() {
    ReturnToBoard();
}

void TForm3::ReturnToBoard() {
    hide();
    if (QWidget* w = board_.window) {
        w->setEnabled(true);
        w->show();
        w->activateWindow();
    }
}
