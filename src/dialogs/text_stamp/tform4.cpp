#include "dialogs/text_stamp/tform4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>

#include "dialogs/text_stamp/text_stamp.h"
#include "platform/japanese_font.h"
#include "widgets/bevel_panel.h"
#include "widgets/dialog_keys.h"
#include "widgets/side_picture.h"

PreviewImage::PreviewImage(QSize size, QWidget* parent)
    : QWidget(parent), image_(size, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewImage::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, image_);
}

TForm4::TForm4(std::unique_ptr<Host> host, Platform& platform)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      host_(std::move(host)),
      platform_(platform) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("テキスト"));
    setFont(japanese_font::requested(12));
    setFixedSize(kClientWidth, kClientHeight);

    // The requested face at 12 pixels in the Japanese character set, in the window-text colour.
    FontDialog1.font = japanese_font::requested(12);
    FontDialog1.colour = fromQRgb(QApplication::palette().color(QPalette::WindowText).rgb());

    auto* side = new QLabel(this);
    side->setGeometry(0, 0, 101, 241);
    side->setPixmap(sidePicture(SideArt::Text, side->size()));

    auto label = [this](const char* text, QPoint at) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->move(at);
        l->adjustSize();
    };
    label("文面", {112, 4});
    Edit1 = new QLineEdit(QStringLiteral("Text"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(112, 20, 361, 20);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm4::Edit1Change);

    Button1 = new QPushButton(QStringLiteral("フォント"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(412, 44, 61, 21);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);

    label("プレビュー", {112, 56});
    auto* frame = new BevelPanel(this);
    frame->setBevels(false, true);
    frame->setInnerLowered(true);
    frame->setGeometry(112, 72, 361, 125);
    Img_Preview = new PreviewImage(QSize(357, 121), frame);
    Img_Preview->setObjectName(QStringLiteral("Img_Preview"));
    Img_Preview->move(2, 2);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(112, 204, 361, 2);

    Button3 = new QPushButton(QStringLiteral("OK"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(343, 212, 62, 21);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(412, 212, 61, 21);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setAutoDefault(true);
    Button3->setDefault(true);
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button3);
    setTabOrder(Button3, Button2);

    // Esc is "Cancel" and Enter "OK", unless a button has the focus.
    auto* keys = new DialogKeys(
        this, [this] { Button2Click(); }, [this] { Button3Click(); });
    keys->watch();
}

TForm4::~TForm4() = default;

void TForm4::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Only an opening: a restore from minimised keeps the place and what is being edited.
    if (!e->spontaneous()) FormShow();
}

void TForm4::FormShow() {
    host_->centre(*this);
    Edit1->setFocus();
    Showpreview();
}

void TForm4::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (e->isAccepted()) FormClose();
}

void TForm4::FormClose() {
    host_->closed();
}

void TForm4::Edit1Change() {
    Showpreview();
}

void TForm4::Showpreview() {
    text_stamp::drawPreview(Img_Preview->image(), Edit1->text(), FontDialog1);
    Img_Preview->update();
}

void TForm4::Button1Click() {
    if (platform_.chooseFont(FontDialog1)) Showpreview();
}

void TForm4::Button2Click() {
    close();
}

void TForm4::Button3Click() {
    text_stamp::makeStamp(host_->stamp(), Edit1->text(), FontDialog1);
    close();
    host_->stampReady();
}
