// The pixels QPainter sets for a short one-pixel line, learnt by drawing the line once into a
// small image. A line with whole-pixel ends that the painter does not clip sets the same pixels
// wherever it lies, so the drawing area copies them in place of asking QPainter again.
#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPen>

#include "drawing_view.h"

namespace ondrel {

// The drawing area's pen: one pixel wide at any scale.
QPen CanvasPen(QColor colour, PenStyle style);

class LineShapes {
public:
    static constexpr int kReach = 16; // the longest line learnt, in pixels along each axis

    // The pixels of the line from (0, 0) to (dx, dy), as offsets into an image of `stride`
    // pixels per row, and the box that holds them and the line's two ends.
    struct Shape {
        std::vector<std::int32_t> offsets;
        int left = 0, top = 0, right = 0, bottom = 0;
        bool learnt = false;
    };

    explicit LineShapes(int stride);

    static bool Reaches(int dx, int dy) { return dx >= -kReach && dx <= kReach && dy >= -kReach && dy <= kReach; }

    // |dx| and |dy| at most kReach; style Solid or Dot.
    const Shape& Get(int dx, int dy, PenStyle style);

private:
    static constexpr int kSide = 2 * kReach + 1;
    static constexpr int kScratchSide = kSide + 8; // room for the pen's caps around every line
    static constexpr int kOrigin = kReach + 4;

    void Learn(int dx, int dy, PenStyle style, Shape& shape);

    int stride_;
    std::vector<Shape> shapes_; // solid lines, then dotted ones, each by (dy, dx)
    QImage scratch_;
};

} // namespace ondrel
