// The drawing area's one-pixel lines, set in place exactly as QPainter sets them.
//
// QPainter draws a line of a cosmetic pen without antialiasing by this rule, which the drawing
// area follows pixel for pixel at the cost of one store per pixel:
// - a line whose two ends are the same point sets that pixel, whatever the pen's style;
// - otherwise the line is first clipped, in double precision, to the image grown by one pixel
//   at the left and top and by two at the right and bottom, and its ends are then taken in
//   1/64 pixel (truncated towards zero);
// - it is walked along its longer axis (the x axis when both are equal) from its lower end,
//   from half a pixel before that end to half a pixel beyond the other one: one pixel per
//   whole coordinate whose centre lies in that span, the other coordinate followed in 16.16
//   fixed point from the slope (truncated towards zero), started half a step back and rounded
//   to the step's centre, or half a pixel past it on a rising slope;
// - a dotted line switches its pixels on and off by the pen's dash pattern in 1/64 pixel,
//   restarted on every line at the end it starts from (after the clip), half a pixel in;
// - pixels outside the image are dropped.
#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QPen>
#include <QRgb>

#include "drawing_view.h"

namespace ondrel {

// The drawing area's pen: one pixel wide at any scale.
QPen CanvasPen(QColor colour, PenStyle style);

// The pixels of a line inside the image: at each step of [from, to), the pixel `first + step`
// along the walked axis (y when steep, else x) and (across + step · inc) >> 16 beside it.
struct LineWalk {
    std::int64_t across = 0, inc = 0;
    int first = 0, from = 0, to = 0;
    int dashStart = 0; // dotted: the place in the dash pattern at step 0
    bool steep = true, dotted = false, backwards = false;
};

class PixelLines {
public:
    // An image of Format_RGB32, `stride` pixels per row.
    PixelLines(QRgb* pixels, int width, int height, int stride);

    // The walk of the line from (x1, y1) to (x2, y2) in the Solid or Dot style of CanvasPen.
    LineWalk Plan(int x1, int y1, int x2, int y2, bool dotted) const;
    // Sets its pixels in the rows top to bottom − 1.
    void Draw(const LineWalk& walk, QRgb colour, int top, int bottom) const;
    // Plans the line and sets all its pixels.
    void Draw(int x1, int y1, int x2, int y2, bool dotted, QRgb colour) const;
    // False when the clip leaves nothing of the line, which then sets no pixel.
    bool KeptByClip(int x1, int y1, int x2, int y2) const {
        int fx1, fy1, fx2, fy2;
        return Clip(x1, y1, x2, y2, fx1, fy1, fx2, fy2);
    }
    // The clip's first test, which drops a line whose ends both lie beyond one bound of the
    // clip: inline, as most lines of a zoomed view go no further.
    bool BeyondOneBound(int x1, int y1, int x2, int y2) const {
        return Beyond(x1, x2, -1, width_ + 1) || Beyond(y1, y2, -1, height_ + 1);
    }
    // Whether the clip to lo <= a <= hi leaves nothing of a line from a1 to a2.
    template <typename T>
    static bool Beyond(T a1, T a2, T lo, T hi) {
        return (a1 < lo && a2 <= lo) || (a1 > hi && a2 >= hi);
    }

private:
    // The ends of the line in 1/64 pixel (truncated) after the clip; false when nothing is left.
    bool Clip(int x1, int y1, int x2, int y2, int& fx1, int& fy1, int& fx2, int& fy2) const;
    // Sets the pixels of the steps from, from + every, ... before to.
    template <bool kSteep>
    void Walk(int first, std::int64_t across, std::int64_t inc, int from, int to, int every, QRgb colour) const;

    QRgb* pixels_;
    int width_, height_, stride_;
    int dashLength_ = 0; // of the Dot pattern, in 1/64 pixel
    int dotPeriod_ = 1;  // the pixels after which a line's dots repeat
    // The drawn steps of a period, by place in the Dot pattern, walked forwards and backwards.
    std::vector<std::vector<int>> dots_, dotsBackwards_;
};

} // namespace ondrel
