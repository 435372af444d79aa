#include "field_transform.h"

#include <cmath>
#include <utility>

#include "checked_number.h"

namespace ondrel {

TransformCoefficients MakeTransform(const Drawing& drawing, const FieldTransform& field) {
    const float a = static_cast<float>(double{drawing.DrawingScale} * field.FieldGain);
    const double cx = drawing.DrawingCenter.x;
    const double cy = drawing.DrawingCenter.y;
    const double ox = field.FieldOffsetX;
    const double oy = field.FieldOffsetY;
    // A mirrored axis turns about the drawing's centre, which stays at the offset.
    const float ax = field.XInvert ? -a : a;
    const float ay = field.YInvert ? -a : a;
    return {ax, static_cast<float>(ox - ax * cx), ay, static_cast<float>(oy - ay * cy), field.XYFlip};
}

FieldPoint TransformPoint(const TransformCoefficients& t, float x, float y) {
    if (t.flip) std::swap(x, y);
    return {double{t.ax} * x + t.bx, double{t.ay} * y + t.by};
}

BoardPoint BoardBits(const TransformCoefficients& t, float x, float y) {
    const FieldPoint p = TransformPoint(t, x, y);
    return {RoundedInt16(p.x), RoundedInt16(p.y)};
}

BitPoint MapPoint(const TransformCoefficients& t, float x, float y) {
    const FieldPoint p = TransformPoint(t, x, y);
    return {RoundedInt32(p.x), RoundedInt32(p.y)};
}

void ExchangeFrameAxes(Drawing& drawing) {
    std::swap(drawing.Bounds.MinX, drawing.Bounds.MinY);
    std::swap(drawing.Bounds.MaxX, drawing.Bounds.MaxY);
    std::swap(drawing.DrawingCenter.x, drawing.DrawingCenter.y);
}

std::int32_t ZBits(bool zPlaneEnabled, std::uint16_t zCalibration, double zPosition) {
    if (!zPlaneEnabled) return 0;
    return static_cast<std::int32_t>(std::lrint(zCalibration * zPosition));
}

} // namespace ondrel
