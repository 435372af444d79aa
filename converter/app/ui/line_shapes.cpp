#include "line_shapes.h"

#include <algorithm>

#include <QPainter>

namespace ondrel {
namespace {

constexpr QRgb kUnset = 0xffffffff;

} // namespace

QPen CanvasPen(QColor colour, PenStyle style) {
    Qt::PenStyle qtStyle = Qt::SolidLine;
    if (style == PenStyle::Dot) qtStyle = Qt::DotLine;
    if (style == PenStyle::DashDot) qtStyle = Qt::DashDotLine;
    return QPen(colour, 0, qtStyle);
}

LineShapes::LineShapes(int stride)
    : stride_(stride), shapes_(2 * kSide * kSide), scratch_(kScratchSide, kScratchSide, QImage::Format_RGB32) {
    scratch_.fill(kUnset);
}

const LineShapes::Shape& LineShapes::Get(int dx, int dy, PenStyle style) {
    const int table = style == PenStyle::Dot ? 1 : 0;
    Shape& shape = shapes_[static_cast<std::size_t>((table * kSide + dy + kReach) * kSide + dx + kReach)];
    if (!shape.learnt) Learn(dx, dy, style, shape);
    return shape;
}

void LineShapes::Learn(int dx, int dy, PenStyle style, Shape& shape) {
    {
        QPainter painter(&scratch_);
        painter.setPen(CanvasPen(Qt::black, style));
        painter.drawLine(kOrigin, kOrigin, kOrigin + dx, kOrigin + dy);
    }
    shape.left = std::min(0, dx);
    shape.right = std::max(0, dx);
    shape.top = std::min(0, dy);
    shape.bottom = std::max(0, dy);
    for (int y = 0; y < kScratchSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(scratch_.scanLine(y));
        for (int x = 0; x < kScratchSide; ++x) {
            if (row[x] == kUnset) continue;
            row[x] = kUnset;
            const int px = x - kOrigin, py = y - kOrigin;
            shape.offsets.push_back(py * stride_ + px);
            shape.left = std::min(shape.left, px);
            shape.right = std::max(shape.right, px);
            shape.top = std::min(shape.top, py);
            shape.bottom = std::max(shape.bottom, py);
        }
    }
    shape.learnt = true;
}

} // namespace ondrel
