#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

class QPainter;

// A flat panel with an outer and an inner bevel, each raised or lowered, an optional centred
// caption and a background colour: the toolbar's groups, palette swatches and mode toggles.
class BevelPanel : public QWidget {
    Q_OBJECT
public:
    // How a lowered outer bevel shows "down".
    enum class Look {
        Plain,   // groups: the bevels only
        Toggle,  // mode toggles: both bevels lowered also darken the face
        Swatch,  // palette swatches: the face keeps its colour exactly; the chosen one is framed
    };

    explicit BevelPanel(QWidget* parent = nullptr);

    void setLook(Look look);
    Look look() const { return look_; }

    bool outerLowered() const { return outerLowered_; }
    void setOuterLowered(bool lowered);
    bool innerLowered() const { return innerLowered_; }
    void setInnerLowered(bool lowered);
    // Which bevels are drawn at all (groups have only an inner one).
    void setBevels(bool outer, bool inner);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);

    // The toolbar's face colour, and the darker face of a pressed toggle or button.
    static QColor faceColour() { return {0xd4, 0xd0, 0xc8}; }
    static QColor pressedFace(const QColor& face) { return face.darker(125); }
    // A one-pixel bevel just inside `r`: raised is light at the top left and dark at the bottom
    // right, lowered the reverse.
    static void drawBevel(QPainter& p, QRect r, bool lowered);
    // The chosen swatch's frame: black outside, white inside, seen on any colour.
    static void drawChosenFrame(QPainter& p, QRect r);

    // Left click (press and release inside).
    std::function<void()> onClick;
    // Any button pressed or released on the panel itself, with the cursor on the screen.
    // The button and where on the screen it was pressed.
    std::function<void(Qt::MouseButton, QPoint)> onPress;
    std::function<void(Qt::MouseButton)> onRelease;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    Look look_ = Look::Plain;
    bool hasOuter_ = true;
    bool hasInner_ = false;
    bool outerLowered_ = false;
    bool innerLowered_ = false;
    QString caption_;
    QColor colour_ = faceColour();
};
