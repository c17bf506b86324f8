#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

#include "platform/platform.h"
#include "widgets/tool_dialog_host.h"

class QLineEdit;
class QPushButton;
class BevelPanel;
class Canvas;

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
// live, becomes the board's stamp. A dialog on top of the board; the board is disabled
// while it is open. The text and the font carry over from one opening to the next.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 240;

    // What the dialog does to the board: it makes the board's stamp, then hands it over.
    class Host : public ToolDialogHost {
    public:
        virtual Canvas& stamp() = 0;
        // The stamp holds the text: the board takes up the stamp tool with it, its preview on.
        virtual void stampReady() = 0;
    };

    TForm4(std::unique_ptr<Host> host, Platform& platform);
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
    std::unique_ptr<Host> host_;
    Platform& platform_;
    FontChoice FontDialog1;
};
