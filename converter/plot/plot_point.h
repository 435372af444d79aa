// Point arithmetic for the plot interpreter: 32-bit float points in plotter units.
#pragma once

#include <cmath>

#include "vector_stream.h"

namespace ondrel {

using PlotPoint = DrawingPoint;

inline PlotPoint operator+(PlotPoint a, PlotPoint b) { return {a.x + b.x, a.y + b.y}; }
inline PlotPoint operator-(PlotPoint a, PlotPoint b) { return {a.x - b.x, a.y - b.y}; }
inline PlotPoint operator-(PlotPoint a) { return {-a.x, -a.y}; }
inline PlotPoint operator*(float s, PlotPoint a) { return {s * a.x, s * a.y}; }
inline PlotPoint operator*(PlotPoint a, float s) { return {a.x * s, a.y * s}; }
inline PlotPoint operator/(PlotPoint a, float s) { return {a.x / s, a.y / s}; }
inline PlotPoint& operator+=(PlotPoint& a, PlotPoint b) { return a = a + b; }
inline PlotPoint& operator-=(PlotPoint& a, PlotPoint b) { return a = a - b; }
inline bool operator==(PlotPoint a, PlotPoint b) { return a.x == b.x && a.y == b.y; }

// Length of a displacement, without overflow for large coordinates.
inline float Length(PlotPoint d)
{
    return static_cast<float>(std::hypot(static_cast<double>(d.x), static_cast<double>(d.y)));
}

inline bool IsFinite(PlotPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

} // namespace ondrel
