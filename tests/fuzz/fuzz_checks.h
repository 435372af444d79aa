// What every load must leave behind, whatever the input: either a failure with a message and
// the caller's drawing untouched, or a drawing of finite records and a usable frame.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "plot_loading.h"

namespace ondrel::fuzzing {

// Small limits keep each input fast; the limits themselves are part of what is fuzzed.
inline PlotLimits FuzzLimits()
{
    PlotLimits limits;
    limits.MaxRecords = 100000;
    limits.MaxSteps = 400000;
    return limits;
}

inline void Check(bool condition)
{
    if (!condition) std::abort();
}

inline void CheckLoad(const LoadResult& result, const Drawing& drawing, const FieldTransform& field,
                      const PlotLimits& limits)
{
    if (!result.Loaded()) {
        Check(!result.Message.empty());
        Check(drawing.VectorCount() == 1 && drawing.VectorStream[0].x == 7); // the untouched drawing
        Check(field.FieldOffsetX == 1000);
        return;
    }
    Check(drawing.VectorCount() <= limits.MaxRecords);
    for (const VectorRecord& r : drawing.VectorStream) {
        Check(r.kind <= ChainEnd);
        Check(std::isfinite(r.x) && std::isfinite(r.y));
    }
    Check(std::isfinite(drawing.DrawingScale) && drawing.DrawingScale > 0);
    Check(std::isfinite(field.FieldOffsetX) && std::isfinite(field.FieldOffsetY));
}

// A drawing and field the load must replace only on success.
inline void Prepare(Drawing& drawing, FieldTransform& field)
{
    drawing.VectorStream = {{Jump, 7, 7}};
    field.FieldOffsetX = 1000;
    field.FieldOffsetY = -1000;
}

using TextLoader = LoadResult (*)(std::string_view, Drawing&, FieldTransform&, const PlotLimits&);

// Loads one input with load and checks what it left behind.
inline int FuzzOneInput(const std::uint8_t* data, std::size_t size, TextLoader load)
{
    const PlotLimits limits = FuzzLimits();
    Drawing drawing;
    FieldTransform field;
    Prepare(drawing, field);
    const LoadResult result = load(std::string_view(reinterpret_cast<const char*>(data), size), drawing, field, limits);
    CheckLoad(result, drawing, field, limits);
    return 0;
}

} // namespace ondrel::fuzzing
