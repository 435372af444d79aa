// Seeded drawings for the optimiser's tests and benchmark: singles, chains, loops, grids,
// tied and collinear points, dashes through the centre, dots, hatching and stroke text.
#pragma once

#include "vector_stream.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ondrel::drawings {

class Builder {
public:
    explicit Builder(std::uint32_t seed) : random_(seed) {}

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void JumpTo(int x, int y) { records_.push_back({Jump, float(x), float(y)}); }
    void MarkTo(int x, int y) { records_.push_back({Single, float(x), float(y)}); }
    void Line(int x1, int y1, int x2, int y2)
    {
        JumpTo(x1, y1);
        MarkTo(x2, y2);
    }

    // Drawing units are bits here (centre 0, scale 1) unless a frame is given.
    Drawing Build(float centreX = 0, float centreY = 0, float scale = 1) const
    {
        Drawing d;
        d.VectorStream = records_;
        d.DrawingCenter = {centreX, centreY};
        d.DrawingScale = scale;
        d.Bounds = {-32000, 32000, -32000, 32000};
        return d;
    }

    std::size_t Size() const { return records_.size(); }

private:
    std::mt19937 random_;
    std::vector<VectorRecord> records_;
};

inline Drawing RandomSingles(int count, std::uint32_t seed, int range = 30000)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k)
        b.Line(b.Uniform(-range, range), b.Uniform(-range, range), b.Uniform(-range, range),
               b.Uniform(-range, range));
    return b.Build();
}

// Polylines of 2 to 6 segments, about a third of them closed.
inline Drawing ChainsAndLoops(int count, std::uint32_t seed, int range = 20000)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k) {
        const int x0 = b.Uniform(-range, range), y0 = b.Uniform(-range, range);
        b.JumpTo(x0, y0);
        const int n = b.Uniform(2, 6);
        for (int m = 0; m < n; ++m)
            b.MarkTo(x0 + b.Uniform(-800, 800), y0 + b.Uniform(-800, 800));
        if (b.Uniform(0, 2) == 0)
            b.MarkTo(x0, y0);
    }
    return b.Build();
}

// Unit edges of a lattice, in random order and direction, some drawn twice: many
// junctions, equal distances and equal savings.
inline Drawing Grid(int cells, std::uint32_t seed, int step = 100)
{
    Builder b(seed);
    const int half = cells * step / 2;
    for (int k = 0; k < cells * cells * 2; ++k) {
        const int x = b.Uniform(0, cells - 1) * step - half, y = b.Uniform(0, cells - 1) * step - half;
        const bool horizontal = b.Uniform(0, 1) == 0;
        const int x2 = horizontal ? x + step : x, y2 = horizontal ? y : y + step;
        if (b.Uniform(0, 1) == 0)
            b.Line(x, y, x2, y2);
        else
            b.Line(x2, y2, x, y);
    }
    return b.Build();
}

// Dashes on lines through the home point, on both sides of it, plus mirrored copies: equal
// savings, savings of exactly 0, and ties in distance everywhere.
inline Drawing DashesThroughCentre(int lines, std::uint32_t seed)
{
    Builder b(seed);
    for (int l = 0; l < lines; ++l) {
        const int dx = b.Uniform(-3, 3), dy = b.Uniform(-3, 3);
        if (dx == 0 && dy == 0)
            continue;
        for (int t = 1; t < 12; t += 2) {
            const int s = t * 400, e = (t + 1) * 400 - 150;
            b.Line(dx * s / 3, dy * s / 3, dx * e / 3, dy * e / 3);
            b.Line(-dx * s / 3, -dy * s / 3, -dx * e / 3, -dy * e / 3);
        }
    }
    return b.Build();
}

// Symmetric pieces around the home point: identical savings for mirrored pairs.
inline Drawing Symmetric(int count, std::uint32_t seed)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k) {
        const int x = b.Uniform(1, 40) * 50, y = b.Uniform(1, 40) * 50, len = b.Uniform(1, 4) * 50;
        for (const int sx : {1, -1})
            for (const int sy : {1, -1})
                b.Line(sx * x, sy * y, sx * (x + len), sy * y);
    }
    return b.Build();
}

// Singles and unit squares on a coarse lattice: loop vertices lie on jumps, so insertion
// costs of 0 and other exact ties abound.
inline Drawing LatticeLoops(int count, std::uint32_t seed, int step = 100)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k) {
        const int x = b.Uniform(-4, 4) * step, y = b.Uniform(-4, 4) * step;
        if (b.Uniform(0, 1) == 0) {
            b.Line(x, y, x + b.Uniform(-2, 2) * step, y + b.Uniform(-2, 2) * step);
        } else {
            b.JumpTo(x, y);
            b.MarkTo(x + step, y);
            b.MarkTo(x + step, y + step);
            b.MarkTo(x, y + step);
            b.MarkTo(x, y);
        }
    }
    return b.Build();
}

// Pieces along the ray from the home point towards -x, on both sides of it, where the
// direction from home turns from +180 to -180 degrees; some start at the home point.
inline Drawing AroundTheBackRay(int count, std::uint32_t seed)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k) {
        const int x = -b.Uniform(1, 30000), y = b.Uniform(-3, 3);
        if (b.Uniform(0, 4) == 0)
            b.Line(0, 0, x, y);
        else
            b.Line(x, y, x - b.Uniform(1, 2000), b.Uniform(-3, 3));
    }
    return b.Build();
}

// Marks one bit long: what dots become.
inline Drawing Dots(int count, std::uint32_t seed, int range = 30000)
{
    Builder b(seed);
    for (int k = 0; k < count; ++k) {
        const int x = b.Uniform(-range, range), y = b.Uniform(-range, range);
        b.Line(x, y, x + 1, y);
    }
    return b.Build();
}

// Parallel strokes across a disc, each drawn left to right.
inline Drawing Hatching(int lines, std::uint32_t seed)
{
    Builder b(seed);
    const int radius = 30000, gap = 2 * radius / (lines + 1);
    for (int l = 1; l <= lines; ++l) {
        const int y = -radius + l * gap;
        const int w = static_cast<int>(std::sqrt(double(radius) * radius - double(y) * y));
        b.Line(-w + b.Uniform(0, 30), y, w - b.Uniform(0, 30), y);
    }
    return b.Build();
}

// Stroke text: rows of small letters of two to five connected strokes.
inline Drawing Text(int letters, std::uint32_t seed)
{
    Builder b(seed);
    const int perRow = 60, size = 800;
    for (int k = 0; k < letters; ++k) {
        const int ox = -30000 + (k % perRow) * (size + 200), oy = 30000 - (k / perRow) * (size * 2);
        for (int stroke = b.Uniform(1, 3); stroke > 0; --stroke) {
            b.JumpTo(ox + b.Uniform(0, 4) * size / 4, oy - b.Uniform(0, 4) * size / 4);
            for (int m = b.Uniform(1, 3); m > 0; --m)
                b.MarkTo(ox + b.Uniform(0, 4) * size / 4, oy - b.Uniform(0, 4) * size / 4);
        }
    }
    return b.Build();
}

// All of the above, small, with marks that follow marks without a jump between.
inline Drawing Mixed(std::uint32_t seed)
{
    Builder b(seed);
    const Drawing pieces[] = {RandomSingles(20, seed, 3000), ChainsAndLoops(10, seed + 1, 3000), Grid(5, seed + 2),
                              DashesThroughCentre(3, seed + 3), Symmetric(6, seed + 4), Text(8, seed + 5)};
    Drawing d = b.Build();
    for (const Drawing& p : pieces)
        d.VectorStream.insert(d.VectorStream.end(), p.VectorStream.begin(), p.VectorStream.end());
    // Turn a few jumps into marks so that chains run across the parts.
    for (std::size_t k = 0; k < d.VectorStream.size(); k += 7)
        d.VectorStream[k].kind = ChainMiddle;
    return d;
}

// "J1,2 1:3,4 ..." : J for a jump, the kind number for a mark.
inline std::string RecordsText(const std::vector<VectorRecord>& records)
{
    std::string text;
    for (const VectorRecord& r : records) {
        if (!text.empty())
            text += ' ';
        text += (r.kind == Jump ? std::string("J") : std::to_string(int(r.kind)) + ":") +
                std::to_string(int(r.x)) + "," + std::to_string(int(r.y));
    }
    return text;
}

} // namespace ondrel::drawings
