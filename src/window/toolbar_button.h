#pragma once

#include <QColor>
#include <QToolButton>

class QPainter;

// A toolbar button drawn in the board's own look rather than the desktop style's: up, a flat
// face with a raised bevel; down (chosen in its radio group, or held with the mouse), two lowered
// bevels and a clearly darker face with the glyph pushed in by a pixel, as the mode toggles show
// it. The chosen tool and pen width can be told from the others at a glance.
class ToolbarButton : public QToolButton {
    Q_OBJECT
public:
    explicit ToolbarButton(QWidget* parent = nullptr);

    // The face colours, shared with the captioned toggles.
    static QColor upFace();
    static QColor downFace();

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void drawGlyph(QPainter& p, bool down);

    bool hovered_ = false;
};
