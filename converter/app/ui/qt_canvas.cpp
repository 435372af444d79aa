#include "qt_canvas.h"

#include <cstdlib>

namespace ondrel {
namespace {

QColor ToColor(Rgb c) { return QColor(c.r, c.g, c.b); }

} // namespace

QtCanvas::QtCanvas(QImage& image, QColor background)
    : pixels_(reinterpret_cast<QRgb*>(image.bits())),
      width_(image.width()),
      height_(image.height()),
      stride_(static_cast<int>(image.bytesPerLine() / sizeof(QRgb))),
      background_(background),
      painter_(&image),
      shapes_(stride_) {}

QtCanvas::~QtCanvas() { DrawWaitingLines(); }

void QtCanvas::Clear() {
    DrawWaitingLines();
    painter_.fillRect(QRect(0, 0, width_, height_), background_);
}

void QtCanvas::SetPen(Rgb colour, PenStyle style) {
    pen_colour_ = colour;
    pen_style_ = style;
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    DrawWaitingLines();
    painter_.setPen(CanvasPen(ToColor(pen_colour_), pen_style_));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
}

void QtCanvas::MoveTo(int x, int y) { pen_position_ = QPoint(x, y); }

// QPainter drops a line whose ends both lie beyond the band of one pixel around the image.
bool QtCanvas::ClippedAway(QPoint from, QPoint to) const {
    return (from.x() < -1 && to.x() < -1) || (from.y() < -1 && to.y() < -1) ||
           (from.x() > width_ + 1 && to.x() > width_ + 1) || (from.y() > height_ + 1 && to.y() > height_ + 1);
}

void QtCanvas::LineTo(int x, int y) {
    const QPoint from = pen_position_;
    pen_position_ = QPoint(x, y);
    if (ClippedAway(from, pen_position_)) return;
    UseColour(pen_colour_);
    const int dx = x - from.x(), dy = y - from.y();
    if (pen_style_ != PenStyle::DashDot && LineShapes::Reaches(dx, dy)) {
        const LineShapes::Shape& shape = shapes_.Get(dx, dy, pen_style_);
        if (Inside(from.x() + shape.left, from.y() + shape.top) &&
            Inside(from.x() + shape.right, from.y() + shape.bottom)) {
            QRgb* start = pixels_ + from.y() * stride_ + from.x();
            for (const std::int32_t offset : shape.offsets) start[offset] = colour_pixel_;
            return;
        }
    }
    std::vector<QLine>& waiting = waiting_[static_cast<std::size_t>(pen_style_)];
    waiting.emplace_back(from, pen_position_);
    if (waiting.size() >= kWaitingLines) DrawWaitingLines();
}

void QtCanvas::SetPixel(int x, int y, Rgb colour) {
    UseColour(colour);
    if (Inside(x, y)) pixels_[y * stride_ + x] = colour_pixel_;
}

void QtCanvas::UseColour(Rgb colour) {
    if (colour == colour_) return;
    DrawWaitingLines();
    colour_ = colour;
    colour_pixel_ = qRgb(colour.r, colour.g, colour.b);
}

void QtCanvas::DrawWaitingLines() {
    for (std::size_t style = 0; style < waiting_.size(); ++style) {
        std::vector<QLine>& lines = waiting_[style];
        if (lines.empty()) continue;
        painter_.setPen(CanvasPen(ToColor(colour_), static_cast<PenStyle>(style)));
        painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
        lines.clear();
    }
}

} // namespace ondrel
