#include "field_transform.h"

#include <cmath>
#include <utility>

namespace ondrel {

TransformCoefficients MakeTransform(const Drawing& drawing, const FieldTransform& field) {
    const float a = drawing.DrawingScale * field.FieldGain;
    const float cx = drawing.DrawingCenter.x;
    const float cy = drawing.DrawingCenter.y;
    TransformCoefficients t{a, field.FieldOffsetX - a * cx, a, field.FieldOffsetY - a * cy, field.XYFlip};
    if (field.XInvert) {
        t.ax = -a;
        t.bx = field.FieldOffsetX + a * cx;
    }
    if (field.YInvert) {
        t.ay = -a;
        t.by = field.FieldOffsetY + a * cy;
    }
    return t;
}

DrawingPoint TransformPoint(const TransformCoefficients& t, float x, float y) {
    if (t.flip) std::swap(x, y);
    return {t.ax * x + t.bx, t.ay * y + t.by};
}

BitPoint MapPoint(const TransformCoefficients& t, float x, float y) {
    const DrawingPoint p = TransformPoint(t, x, y);
    return {static_cast<std::int32_t>(std::lrint(p.x)), static_cast<std::int32_t>(std::lrint(p.y))};
}

BitBounds MapBounds(const TransformCoefficients& t, const DrawingBounds& b) {
    return {t.ax * b.MinX + t.bx, t.ay * b.MinY + t.by, t.ax * b.MaxX + t.bx, t.ay * b.MaxY + t.by};
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
