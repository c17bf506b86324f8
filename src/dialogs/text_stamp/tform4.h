#pragma once

#include <QImage>
#include <QWidget>

#include "platform/platform.h"

class QLineEdit;
class QPushButton;
class BevelPanel;
class TForm1;

// Shows a picture at its own size.
class PreviewImage : public QWidget {
public:
    PreviewImage(QSize size, QWidget* parent);
    QImage& image() { return image_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
};

// The text stamp dialog "テキスト": one line of text in a chosen font and colour, previewed
// live, becomes the board's stamp. A tool window on top of the board; the board is disabled
// while it is open. The text and the font carry over from one opening to the next.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 240;

    TForm4(TForm1& board, Platform& platform);
    ~TForm4() override;

    void FormShow();
    void FormClose();
    void Edit1Change();
    void Button1Click();  // "フォント"
    void Button2Click();  // "Cancel"
    void Button3Click();  // "OK"
    void Showpreview();

    // The chosen font with its colour.
    const FontChoice& font() const { return FontDialog1; }

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    PreviewImage* Img_Preview = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TForm1& board_;
    Platform& platform_;
    FontChoice FontDialog1;
};
