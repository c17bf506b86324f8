#pragma once

#include <QImage>
#include <QRegion>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <random>

#include "board_model.h"
#include "key_repeater.h"
#include "platform/platform.h"
#include "platform/window_shape.h"

// The board window: a top-level window whose key-coloured pixels are invisible and let the mouse
// through. It owns the picture (BoardModel), turns window events into calls on it, presents what
// changed and keeps the window's shape in step with the picture.
class TForm1 : public QWidget, private BoardHooks {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 892;
    static constexpr int kDesignClientHeight = 453;
    static constexpr int kToolbarHeight = 33;

    TForm1(Platform& platform, const QStringList& args, QWidget* parent = nullptr);
    ~TForm1() override;

    BoardModel& model() { return model_; }
    WindowShape& shape() { return shape_; }
    QTimer& timer() { return Timer1; }

    // Handlers.
    void FormCreate();
    void FormResize();
    void FormActivate();
    void FormKeyDown(int key);
    void FormKeyUp(int key);
    void Timer1Timer();
    void stb() { model_.stb(); }
    void lfb() { model_.lfb(); }

    // Sends what changed on the surface to the screen and to the window's shape.
    void present();
    // The cursor in client coordinates, unclamped.
    QPoint cursorInClient();

    QWidget* toolbar() const { return Panel1; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    // BoardHooks
    void setSelectionCommandsEnabled(bool on) override;
    void moveWindow(int left, int top) override;
    unsigned randomBelow(unsigned bound) override;

    void attachShape();
    QRegion alwaysShown() const;
    void releaseHeldKeys();

    Platform& platform_;
    QStringList args_;
    BoardModel model_;
    WindowShape shape_;
    bool composited_ = false;
    KeyRepeater repeater_;
    QTimer Timer1;
    QWidget* Panel1 = nullptr;
    QRegion lastAlwaysShown_;
    QImage scratch_;  // key colour turned clear, when a compositor shows the window
    std::mt19937 random_;
};
