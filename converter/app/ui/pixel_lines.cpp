#include "pixel_lines.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <cstdlib>
#include <utility>

namespace ondrel {
namespace {

// Whether (v + step·inc) >> 16 lies in [lo, hi).
bool Within(std::int64_t v, std::int64_t inc, int lo, int hi, int step) {
    const std::int64_t at = (v + step * inc) >> 16;
    return at >= lo && at < hi;
}

// KeepWithin where a step at an end lies outside: where the value enters and leaves the range is
// estimated in floating point and then settled exactly.
void Narrow(std::int64_t v, std::int64_t inc, int lo, int hi, int& from, int& to) {
    const auto inside = [&](int step) { return Within(v, inc, lo, hi, step); };
    if (inc == 0) {
        if (!inside(from)) to = from;
        return;
    }
    const double enter = (static_cast<double>(inc > 0 ? lo : hi) * 65536 - static_cast<double>(v)) / static_cast<double>(inc);
    const double leave = (static_cast<double>(inc > 0 ? hi : lo) * 65536 - static_cast<double>(v)) / static_cast<double>(inc);
    const auto step = [&](double at) {
        return static_cast<int>(std::clamp(inc > 0 ? std::ceil(at) : std::floor(at) + 1, double(from), double(to)));
    };
    int first = step(enter), end = std::max(first, step(leave));
    while (first > from && inside(first - 1)) --first;
    while (first < end && !inside(first)) ++first;
    while (end < to && inside(end)) ++end;
    while (end > first && !inside(end - 1)) --end;
    from = first;
    to = end;
}

// Narrows the steps [from, to) to those at which (v + step·inc) >> 16 lies in [lo, hi): one run
// of steps, as the value only rises or only falls.
inline void KeepWithin(std::int64_t v, std::int64_t inc, int lo, int hi, int& from, int& to) {
    if (from < to && !(Within(v, inc, lo, hi, from) && Within(v, inc, lo, hi, to - 1))) Narrow(v, inc, lo, hi, from, to);
}

// Clips the line from (a1, b1) to (a2, b2) to lo <= a <= hi as QPainter does; false when nothing
// is left.
bool ClipAxis(double& a1, double& b1, double& a2, double& b2, double lo, double hi) {
    if (PixelLines::Beyond(a1, a2, lo, hi)) return false;
    if (a1 < lo) {
        b1 += (b2 - b1) / (a2 - a1) * (lo - a1);
        a1 = lo;
    } else if (a1 > hi) {
        b1 += (b2 - b1) / (a2 - a1) * (hi - a1);
        a1 = hi;
    }
    if (a2 < lo) {
        b2 += (b2 - b1) / (a2 - a1) * (lo - a2);
        a2 = lo;
    } else if (a2 > hi) {
        b2 += (b2 - b1) / (a2 - a1) * (hi - a2);
        a2 = hi;
    }
    return true;
}

// For each place of a dash pattern of cumulative `bounds` (in 1/64 pixel), walked a pixel at a
// time: the steps within a period of `period` pixels from there that are drawn. The pattern
// draws its entries of the parity `drawn`.
std::vector<std::vector<int>> DrawnSteps(const std::vector<int>& bounds, std::size_t drawn, int period) {
    const int length = bounds.back();
    std::vector<std::vector<int>> steps(static_cast<std::size_t>(length));
    for (int place = 0; place < length; ++place) {
        for (int step = 0; step < period; ++step) {
            const auto at = static_cast<int>((place + std::int64_t{64} * step) % length);
            std::size_t entry = 0;
            while (at >= bounds[entry]) ++entry;
            if (entry % 2 == drawn) steps[static_cast<std::size_t>(place)].push_back(step);
        }
    }
    return steps;
}

// a when `first`, else b, without a branch: which way a short line runs is as good as random.
int Pick(bool first, int a, int b) { return b ^ ((a ^ b) & -static_cast<int>(first)); }

} // namespace

QPen CanvasPen(QColor colour, PenStyle style) {
    Qt::PenStyle qtStyle = Qt::SolidLine;
    if (style == PenStyle::Dot) qtStyle = Qt::DotLine;
    if (style == PenStyle::DashDot) qtStyle = Qt::DashDotLine;
    return QPen(colour, 0, qtStyle);
}

PixelLines::PixelLines(QRgb* pixels, int width, int height, int stride)
    : pixels_(pixels), width_(width), height_(height), stride_(stride) {
    const QList<qreal> pattern = CanvasPen(Qt::black, PenStyle::Dot).dashPattern();
    std::vector<int> forwards, backwards;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const auto length = [](qreal entry) { return static_cast<int>(std::clamp(entry * 64, 1.0, 65536.0)); };
        forwards.push_back(dashLength_ += length(pattern[i]));
        backwards.push_back((backwards.empty() ? 0 : backwards.back()) + length(pattern[pattern.size() - 1 - i]));
    }
    dotPeriod_ = dashLength_ / std::gcd(dashLength_, 64);
    dots_ = DrawnSteps(forwards, 0, dotPeriod_);
    dotsBackwards_ = DrawnSteps(backwards, 1, dotPeriod_); // walked from the far end, the pattern reversed
}

bool PixelLines::Clip(int x1, int y1, int x2, int y2, int& fx1, int& fy1, int& fx2, int& fy2) const {
    const int left = -1, top = -1, right = width_ + 1, bottom = height_ + 1;
    const auto within = [&](int x, int y) { return x >= left && x <= right && y >= top && y <= bottom; };
    if (within(x1, y1) && within(x2, y2)) { // as most lines are: nothing to clip
        fx1 = x1 * 64, fy1 = y1 * 64, fx2 = x2 * 64, fy2 = y2 * 64;
        return true;
    }
    // Ends beyond the same bound of y stay beyond it when the ends are moved along the line to
    // the bounds of x, so such a line is dropped before any arithmetic.
    if (BeyondOneBound(x1, y1, x2, y2)) return false;
    double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    if (!ClipAxis(cx1, cy1, cx2, cy2, left, right) || !ClipAxis(cy1, cx1, cy2, cx2, top, bottom)) return false;
    fx1 = static_cast<int>(cx1 * 64), fy1 = static_cast<int>(cy1 * 64);
    fx2 = static_cast<int>(cx2 * 64), fy2 = static_cast<int>(cy2 * 64);
    return true;
}

LineWalk PixelLines::Plan(int x1, int y1, int x2, int y2, bool dotted) const {
    LineWalk walk;
    if (x1 == x2 && y1 == y2) { // a point, whatever the pen's style
        if (x1 >= 0 && x1 < width_ && y1 >= 0 && y1 < height_) {
            walk.first = y1;
            walk.across = std::int64_t{x1} * 65536;
            walk.to = 1;
        }
        return walk;
    }
    int fx1, fy1, fx2, fy2;
    if (!Clip(x1, y1, x2, y2, fx1, fy1, fx2, fy2)) return walk;
    walk.steep = std::abs(fx2 - fx1) < std::abs(fy2 - fy1);
    int along1 = walk.steep ? fy1 : fx1, along2 = walk.steep ? fy2 : fx2;
    int across1 = walk.steep ? fx1 : fy1, across2 = walk.steep ? fx2 : fy2;
    if (along1 == along2) return walk;
    walk.backwards = along1 > along2;
    const int swap_along = Pick(walk.backwards, along1 ^ along2, 0);
    const int swap_across = Pick(walk.backwards, across1 ^ across2, 0);
    along1 ^= swap_along, along2 ^= swap_along; // walked from the lower end
    across1 ^= swap_across, across2 ^= swap_across;
    // The slope in 16.16, truncated: at most 1 in magnitude, so a double quotient truncates exactly.
    walk.inc = static_cast<std::int64_t>(static_cast<double>(across2 - across1) * 65536 / (along2 - along1));
    along1 -= 32; // half a pixel beyond each end
    along2 += 32;
    walk.first = (along1 + 32) >> 6;
    const int steps = ((along2 + 32) >> 6) - walk.first;
    walk.across = std::int64_t{across1} * 1024 - (walk.inc >> 1);
    walk.across += ((std::int64_t{walk.first} * 64 + (walk.inc > 0 ? 32 : 0) - along1) * walk.inc) >> 6;

    walk.from = std::max(0, -walk.first);
    walk.to = std::min(steps, (walk.steep ? height_ : width_) - walk.first);
    KeepWithin(walk.across, walk.inc, 0, walk.steep ? width_ : height_, walk.from, walk.to);
    walk.dotted = dotted;
    if (dotted) {
        const int start = walk.backwards ? 32 - 64 * steps : 32;
        walk.dashStart = (start % dashLength_ + dashLength_) % dashLength_;
    }
    return walk;
}

void PixelLines::Draw(const LineWalk& walk, QRgb colour, int top, int bottom) const {
    int from = walk.from, to = walk.to;
    if (walk.steep) {
        from = std::max(from, top - walk.first);
        to = std::min(to, bottom - walk.first);
    } else if (top > 0 || bottom < height_) { // the plan keeps it within the image
        KeepWithin(walk.across, walk.inc, top, bottom, from, to);
    }
    if (from >= to) return;
    if (!walk.dotted) {
        if (walk.steep) Walk<true>(walk.first, walk.across, walk.inc, from, to, 1, colour);
        else Walk<false>(walk.first, walk.across, walk.inc, from, to, 1, colour);
        return;
    }
    const int place = (walk.dashStart + 64 * from) % dashLength_;
    for (const int step : (walk.backwards ? dotsBackwards_ : dots_)[static_cast<std::size_t>(place)]) {
        if (walk.steep) Walk<true>(walk.first, walk.across, walk.inc, from + step, to, dotPeriod_, colour);
        else Walk<false>(walk.first, walk.across, walk.inc, from + step, to, dotPeriod_, colour);
    }
}

void PixelLines::Draw(int x1, int y1, int x2, int y2, bool dotted, QRgb colour) const {
    Draw(Plan(x1, y1, x2, y2, dotted), colour, 0, height_);
}

template <bool kSteep>
void PixelLines::Walk(int first, std::int64_t across, std::int64_t inc, int from, int to, int every,
                      QRgb colour) const {
    const std::ptrdiff_t stride = stride_;
    across += from * inc;
    inc *= every;
    if constexpr (kSteep) {
        // A row a pixel: the pixel 16 steps on is fetched ahead, as the rows of a long line lie
        // far apart in memory and the walk would otherwise wait for each of them.
        const int ahead = 16 * every;
        QRgb* row = pixels_ + (first + from) * stride;
        for (int step = from; step < to; step += every, row += every * stride, across += inc) {
            if (step + ahead < to) __builtin_prefetch(row + ahead * stride + ((across + 16 * inc) >> 16), 1);
            row[across >> 16] = colour;
        }
    } else {
        QRgb* column = pixels_ + first;
        for (int step = from; step < to; step += every, across += inc) column[(across >> 16) * stride + step] = colour;
    }
}

} // namespace ondrel
