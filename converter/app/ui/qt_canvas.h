// The drawing area's canvas: the view's drawing operations on a QPainter.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPoint>

#include "drawing_view.h"

namespace ondrel {

class QtCanvas : public Canvas {
public:
    QtCanvas(QPainter& painter, QSize size, QColor background)
        : painter_(painter), size_(size), background_(background) {}

    void Clear() override;
    void SetPen(Rgb colour, PenStyle style) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void SetPixel(int x, int y, Rgb colour) override;

private:
    QPainter& painter_;
    QSize size_;
    QColor background_;
    QPoint pen_position_;
};

} // namespace ondrel
