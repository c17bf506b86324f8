#include "dialogs/settings/tform3.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <cmath>

#include "platform/japanese_font.h"
#include "widgets/settings_side_picture.h"

namespace {

constexpr int kMinPeriod = 5;
constexpr int kMaxPeriod = 5000;

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

TForm3::TForm3(Board board) : board_(std::move(board)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("環境設定"));
    // A tool window with only a close box, above every other window, of a fixed size.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(japanese_font::requested(12));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 105, 241);
    Image1->setPixmap(QPixmap::fromImage(settingsSidePicture(105, 241)));

    QGroupBox* GroupBox1 = group(this, "GroupBox1", QStringLiteral("動作"), {112, 8, 173, 61});
    label(GroupBox1, "Label2", QStringLiteral("描画周期"), {12, 20});
    seInterval = new QSpinBox(GroupBox1);
    seInterval->setObjectName(QStringLiteral("seInterval"));
    seInterval->setGeometry(64, 16, 57, 21);
    seInterval->setRange(kMinPeriod, kMaxPeriod);
    seInterval->setSingleStep(1);
    seInterval->setValue(25);
    seInterval->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    label(GroupBox1, "Label3", QStringLiteral("ミリ秒"), {124, 20});
    lbFramerate =
        label(GroupBox1, "lbFramerate", QStringLiteral("フレームレート：40.0fps"), {12, 40});
    connect(seInterval, &QSpinBox::textChanged, this, [this] { seIntervalChange(); });

    QGroupBox* GroupBox2 =
        group(this, "GroupBox2", QStringLiteral("確認メッセージ"), {112, 76, 177, 73});
    cb_eraseall = checkBox(GroupBox2, "cb_eraseall", QStringLiteral("全消去時"), {8, 16});
    cb_exitmenu =
        checkBox(GroupBox2, "cb_exitmenu", QStringLiteral("終了時(右クリックメニュー)"), {8, 32});
    cb_exitbox =
        checkBox(GroupBox2, "cb_exitbox", QStringLiteral("終了時(クローズボックス)"), {8, 48});

    QGroupBox* GroupBox4 =
        group(this, "GroupBox4", QStringLiteral("塗りつぶし"), {296, 8, 173, 41});
    cb_flatonce =
        checkBox(GroupBox4, "cb_flatonce", QStringLiteral("一回目の操作で塗りつぶす"), {8, 16});

    QGroupBox* GroupBox3 = group(this, "GroupBox3", QStringLiteral("スタンプ"), {296, 56, 173, 57});
    cb_stumptp = checkBox(GroupBox3, "cb_stumptp", QStringLiteral("透過色は貼り付けない"), {8, 16});
    cb_stumpcon = checkBox(GroupBox3, "cb_stumpcon", QStringLiteral("連続して貼り付け"), {8, 32});

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
    const QList<QWidget*> order{seInterval, cb_eraseall, cb_exitmenu, cb_exitbox, cb_flatonce,
                                cb_stumptp, cb_stumpcon, bbok,        bbcancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QString TForm3::frameRateText(const QString& fieldText) {
    bool whole = false;
    int v = fieldText.trimmed().toInt(&whole);
    // No rate for zero or less: such a text counts as the field's minimum, as any other does.
    if (!whole || v <= 0) v = kMinPeriod;
    // Tenths of frames per second, the halves going to the even tenth (the default rounding).
    const auto tenths = static_cast<long long>(std::nearbyint(10000.0 / v));
    return QStringLiteral("フレームレート%1.%2fps").arg(tenths / 10).arg(tenths % 10);
}

void TForm3::seIntervalChange() {
    lbFramerate->setText(frameRateText(seInterval->text()));
    lbFramerate->adjustSize();
}

void TForm3::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

void TForm3::FormShow() {
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    LoadFromBoard();
}

void TForm3::LoadFromBoard() {
    const Values v = board_.read();
    seInterval->setValue(v.period);  // brought into the field's range at once
    cb_eraseall->setChecked(v.eraseAll);
    cb_exitmenu->setChecked(v.exitMenu);
    cb_exitbox->setChecked(v.exitBox);
    cb_stumptp->setChecked(v.stampTransparent);
    cb_stumpcon->setChecked(v.stampContinuous);
    cb_flatonce->setChecked(v.fillAtOnce);
}

void TForm3::ApplyToBoard() {
    // A text that is not a whole number counts as the minimum; the field's own value already
    // holds a typed number brought into range.
    bool whole = false;
    seInterval->text().trimmed().toInt(&whole);
    Values v;
    v.period = whole ? seInterval->value() : kMinPeriod;
    v.eraseAll = cb_eraseall->isChecked();
    v.exitMenu = cb_exitmenu->isChecked();
    v.exitBox = cb_exitbox->isChecked();
    v.stampTransparent = cb_stumptp->isChecked();
    v.stampContinuous = cb_stumpcon->isChecked();
    v.fillAtOnce = cb_flatonce->isChecked();
    board_.apply(v);
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
