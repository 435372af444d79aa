#include "vector_emission.h"

#include <cmath>
#include <utility>

namespace ondrel {

void VectorEmitter::Begin()
{
    older_.kind = previous_.kind = current_.kind = NoRecord;
}

void VectorEmitter::Flush()
{
    if (current_.kind != Single) return;
    if (previous_.kind == ChainStart || previous_.kind == ChainMiddle) current_.kind = ChainEnd;
    Append(current_);
    current_.kind = NoRecord;
}

namespace {

// Keeps |offset| within what is left of the field once half the drawing is placed.
float ClampOffset(float offset, double extent, double scale, double gain)
{
    const double limit = 32765.0 - (extent / 2.0) * scale * gain;
    if (std::fabs(static_cast<double>(offset)) > limit)
        return static_cast<float>(offset >= 0 ? limit : -limit);
    return offset;
}

} // namespace

void ComputeDrawingFrame(Drawing& drawing, FieldTransform& field)
{
    DrawingBounds& b = drawing.Bounds;
    const bool empty = !(b.MinX <= b.MaxX && b.MinY <= b.MaxY);
    DrawingPoint center{static_cast<float>((static_cast<double>(b.MinX) + b.MaxX) / 2.0),
                        static_cast<float>((static_cast<double>(b.MinY) + b.MaxY) / 2.0)};
    if (field.XYFlip) {
        std::swap(b.MinX, b.MinY);
        std::swap(b.MaxX, b.MaxY);
        std::swap(center.x, center.y);
    }
    const double extentX = static_cast<double>(b.MaxX) - b.MinX;
    const double extentY = static_cast<double>(b.MaxY) - b.MinY;
    const double larger = extentY < extentX ? extentX : extentY;
    if (empty || !(larger > 0) || !std::isfinite(larger)) {
        drawing.DrawingCenter = empty ? DrawingPoint{0, 0} : center;
        drawing.DrawingScale = 1.0f;
        return;
    }
    drawing.DrawingCenter = center;
    drawing.DrawingScale = static_cast<float>(65530.0 / larger);
    ClampFieldOffsets(drawing, field);
}

void ClampFieldOffsets(const Drawing& drawing, FieldTransform& field)
{
    const DrawingBounds& b = drawing.Bounds;
    const double scale = drawing.DrawingScale;
    field.FieldOffsetX = ClampOffset(field.FieldOffsetX, static_cast<double>(b.MaxX) - b.MinX, scale, field.FieldGain);
    field.FieldOffsetY = ClampOffset(field.FieldOffsetY, static_cast<double>(b.MaxY) - b.MinY, scale, field.FieldGain);
}

} // namespace ondrel
