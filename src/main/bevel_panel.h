#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

// A flat panel with an outer and an inner bevel, each raised or lowered, an optional centred
// caption and a background colour: the toolbar's groups, palette swatches and mode toggles.
class BevelPanel : public QWidget {
    Q_OBJECT
public:
    explicit BevelPanel(QWidget* parent = nullptr);

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
    bool hasOuter_ = true;
    bool hasInner_ = false;
    bool outerLowered_ = false;
    bool innerLowered_ = false;
    QString caption_;
    QColor colour_{0xd4, 0xd0, 0xc8};
};
