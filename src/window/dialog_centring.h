#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <functional>

class QWidget;

// Keeps a dialog's frame in the middle of an area of the screen. A window manager frames a window
// only once it is mapped, so on the first opening the frame is not known when the dialog is
// placed: whenever the frame around the dialog turns out different from the one it was centred
// with, it is centred again. A user's move leaves the frame as it is and is not undone.
class DialogCentring : public QObject {
public:
    DialogCentring(QWidget& dialog, std::function<QRect()> area);

    // Centres the dialog's frame as far as it is known now, and again once it is framed.
    void centre();

    // Where a frame of this size goes in the area.
    static QPoint frameOrigin(QSize frame, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QMargins frameMargins() const;
    void place();

    QWidget& dialog_;
    std::function<QRect()> area_;
    QMargins centredWith_;
    bool watching_ = false;  // from an opening until the frame is known
};
