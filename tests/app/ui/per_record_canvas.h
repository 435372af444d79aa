// The drawing area drawn the plain way, one QPainter call per operation: the picture the
// converter's canvas must give pixel for pixel, and the figure its speed is measured against.
#pragma once

#include <QImage>
#include <QPainter>

#include "pixel_lines.h"

namespace ondrel {

class PerRecordCanvas : public Canvas {
public:
    PerRecordCanvas(QImage& image, QColor background) : painter_(&image), size_(image.size()), background_(background) {}

    void Clear() override { painter_.fillRect(QRect(QPoint(0, 0), size_), background_); }
    void SetPen(Rgb c, PenStyle style) override { painter_.setPen(CanvasPen(QColor(c.r, c.g, c.b), style)); }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
    }
    void MoveTo(int x, int y) override { at_ = QPoint(x, y); }
    void LineTo(int x, int y) override {
        painter_.drawLine(at_, QPoint(x, y));
        at_ = QPoint(x, y);
    }
    void SetPixel(int x, int y, Rgb c) override {
        const QPen saved = painter_.pen();
        painter_.setPen(CanvasPen(QColor(c.r, c.g, c.b), PenStyle::Solid));
        painter_.drawPoint(x, y);
        painter_.setPen(saved);
    }

private:
    QPainter painter_;
    QSize size_;
    QColor background_;
    QPoint at_;
};

} // namespace ondrel
