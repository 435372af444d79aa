#include "qt_canvas.h"

#include <QPen>

namespace ondrel {
namespace {

QColor ToColor(Rgb c) { return QColor(c.r, c.g, c.b); }

} // namespace

void QtCanvas::Clear() { painter_.fillRect(QRect(QPoint(0, 0), size_), background_); }

void QtCanvas::SetPen(Rgb colour, PenStyle style) {
    Qt::PenStyle qtStyle = Qt::SolidLine;
    if (style == PenStyle::Dot) qtStyle = Qt::DotLine;
    if (style == PenStyle::DashDot) qtStyle = Qt::DashDotLine;
    QPen pen(ToColor(colour), 0, qtStyle); // cosmetic: one pixel at any scale
    painter_.setPen(pen);
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
}

void QtCanvas::MoveTo(int x, int y) { pen_position_ = QPoint(x, y); }

void QtCanvas::LineTo(int x, int y) {
    const QPoint to(x, y);
    painter_.drawLine(pen_position_, to);
    pen_position_ = to;
}

void QtCanvas::SetPixel(int x, int y, Rgb colour) {
    const QPen saved = painter_.pen();
    painter_.setPen(QPen(ToColor(colour), 0));
    painter_.drawPoint(x, y);
    painter_.setPen(saved);
}

} // namespace ondrel
