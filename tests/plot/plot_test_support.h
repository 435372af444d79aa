// Helpers shared by the plot tests: load text and look at the records it produced.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "plot_loading.h"
#include "vector_stream.h"

namespace ondrel::testing {

struct Loaded {
    LoadResult result;
    Drawing drawing;
    FieldTransform field;
};

inline Loaded LoadPlot(std::string_view text, const PlotLimits& limits = {})
{
    Loaded loaded;
    loaded.result = LoadHPGLText(text, loaded.drawing, loaded.field, limits);
    return loaded;
}

inline Loaded LoadVectors(std::string_view text, const PlotLimits& limits = {})
{
    Loaded loaded;
    loaded.result = LoadVectorText(text, loaded.drawing, loaded.field, limits);
    return loaded;
}

// Kinds as letters J, M, A, B, C, for compact expectations.
inline std::string Kinds(const Drawing& drawing)
{
    std::string kinds;
    for (const VectorRecord& r : drawing.VectorStream) kinds += r.kind <= ChainEnd ? "JMABC"[r.kind] : '?';
    return kinds;
}

inline std::vector<DrawingPoint> Points(const Drawing& drawing)
{
    std::vector<DrawingPoint> points;
    for (const VectorRecord& r : drawing.VectorStream) points.push_back({r.x, r.y});
    return points;
}

// Expects each record's point within tolerance of the given (x, y) list.
inline void ExpectPoints(const Drawing& drawing, const std::vector<DrawingPoint>& expected, float tolerance = 1e-3f)
{
    ASSERT_EQ(drawing.VectorStream.size(), expected.size()) << Kinds(drawing);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(drawing.VectorStream[i].x, expected[i].x, tolerance) << "record " << i;
        EXPECT_NEAR(drawing.VectorStream[i].y, expected[i].y, tolerance) << "record " << i;
    }
}

// A plot and the points of the records it must produce.
struct PlotPoints {
    std::string plot;
    std::vector<DrawingPoint> points;
};

inline void ExpectPlotPoints(const std::vector<PlotPoints>& cases, float tolerance)
{
    for (const PlotPoints& c : cases) {
        SCOPED_TRACE(c.plot);
        const Loaded loaded = LoadPlot(c.plot);
        ASSERT_TRUE(loaded.result.Loaded()) << loaded.result.Message;
        ExpectPoints(loaded.drawing, c.points, tolerance);
    }
}

inline std::string PlotMessage(const char* command, const char* reason)
{
    return std::string("Error in command  ") + command + "\r" + reason;
}

} // namespace ondrel::testing
