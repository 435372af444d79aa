#include "drawing_view.h"

#include <algorithm>
#include <cmath>

#include "field_transform.h"

namespace ondrel {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
// Pen colours of "Show Polygons (rgb)" by record kind.
constexpr Rgb kKindColours[] = {{0, 0, 0}, {255, 255, 0}, {255, 0, 0}, {0, 128, 0}, {0, 0, 255}};

// Rounds half to even; keeps far-off values within what a painter takes.
int Pixel(float v) {
    return static_cast<int>(std::lrint(std::clamp(v, -1.0e9f, 1.0e9f)));
}

float HalfWidth(AreaSize area) { return static_cast<float>(area.width) / 2; }
float HalfHeight(AreaSize area) { return static_cast<float>(area.height) / 2; }

int PixelX(const ViewState& v, AreaSize area, float X) {
    return Pixel(HalfWidth(area) + v.ViewZoom * (X - v.ViewCenterX));
}
int PixelY(const ViewState& v, AreaSize area, float Y) {
    return Pixel(HalfHeight(area) - v.ViewZoom * (Y - v.ViewCenterY));
}

// The field transform combined with the pixel mapping.
TransformCoefficients PixelTransform(const ConverterState& state, AreaSize area) {
    const float s = state.drawing.DrawingScale;
    const float g = state.field.FieldGain;
    const float cx = state.drawing.DrawingCenter.x;
    const float cy = state.drawing.DrawingCenter.y;
    const float ox = state.field.FieldOffsetX;
    const float oy = state.field.FieldOffsetY;
    const float z = state.view.ViewZoom;
    const float vx = state.view.ViewCenterX;
    const float vy = state.view.ViewCenterY;
    TransformCoefficients t{};
    t.flip = state.field.XYFlip;
    t.ax = z * s * g;
    t.bx = HalfWidth(area) + (ox - s * g * cx - vx) * z;
    t.ay = -(z * s * g);
    t.by = HalfHeight(area) - (oy - s * g * cy - vy) * z;
    if (state.field.XInvert) {
        t.ax = -t.ax;
        t.bx = HalfWidth(area) + (s * g * cx + ox - vx) * z;
    }
    if (state.field.YInvert) {
        t.ay = -t.ay;
        t.by = HalfHeight(area) - (s * g * cy + oy - vy) * z;
    }
    return t;
}

} // namespace

float FitZoomFor(AreaSize area) {
    return static_cast<float>(std::min(area.width, area.height) - 1) / 65530.0f;
}

void FitView(ViewState& view, AreaSize area) {
    view.ViewCenterX = view.ViewCenterY = 0;
    view.ViewZoom = FitZoomFor(area);
}

void DrawView(const ConverterState& state, AreaSize area, Canvas& canvas) {
    canvas.SetPen(kBlack, PenStyle::Solid);
    canvas.Clear();
    if (state.VectorCount() < 1 || state.StopRequested == 0) return;

    const ViewState& v = state.view;
    canvas.SetPen(kBlack, PenStyle::DashDot);
    canvas.Rectangle(PixelX(v, area, -kFieldHalf), PixelY(v, area, kFieldHalf),
                     PixelX(v, area, kFieldHalf), PixelY(v, area, -kFieldHalf));
    canvas.MoveTo(PixelX(v, area, 0), PixelY(v, area, 0));

    const TransformCoefficients t = PixelTransform(state, area);
    canvas.SetPen(kBlack, PenStyle::Dot);
    if (v.ShowLimits) {
        const DrawingBounds& b = state.drawing.Bounds;
        canvas.Rectangle(Pixel(t.ax * b.MinX + t.bx), Pixel(t.ay * b.MinY + t.by),
                         Pixel(t.ax * b.MaxX + t.bx), Pixel(t.ay * b.MaxY + t.by));
    }

    canvas.SetPen(kBlack, PenStyle::Solid);
    Rgb colour = kBlack;
    for (const VectorRecord& record : state.drawing.VectorStream) {
        const float x = t.flip ? record.y : record.x;
        const float y = t.flip ? record.x : record.y;
        const int px = Pixel(t.ax * x + t.bx);
        const int py = Pixel(t.ay * y + t.by);
        if (v.ShowPolygons) {
            if (record.kind <= ChainEnd) colour = kKindColours[record.kind];
            canvas.SetPen(colour, record.kind == Jump ? PenStyle::Dot : PenStyle::Solid);
            canvas.LineTo(px, py);
            if (record.kind == Single) canvas.SetPixel(px, py, kRed);
        } else if (record.kind == Jump) {
            canvas.MoveTo(px, py);
        } else {
            canvas.LineTo(px, py);
            if (record.kind == Single) canvas.SetPixel(px, py, kBlack);
        }
    }
}

void DrawFieldDots(const ConverterState& state, AreaSize area, Canvas& canvas) {
    for (int i = -4; i <= 4; ++i)
        for (int j = -4; j <= 4; ++j)
            canvas.SetPixel(PixelX(state.view, area, 6553.0f * i), PixelY(state.view, area, 6553.0f * j),
                            kBlack);
}

bool ViewMouseDown(ConverterState& state, AreaSize area, MouseButton button, int mx, int my) {
    ViewState& v = state.view;
    if (state.VectorCount() <= 0 || button == MouseButton::Middle || !(v.ViewZoom > 0)) return false;
    v.ViewCenterX += (static_cast<float>(mx) - HalfWidth(area)) / v.ViewZoom;
    v.ViewCenterY += (HalfHeight(area) - static_cast<float>(my)) / v.ViewZoom;
    if (button == MouseButton::Left) {
        v.ViewCenterX = std::clamp(v.ViewCenterX, -kFieldHalf, kFieldHalf);
        v.ViewCenterY = std::clamp(v.ViewCenterY, -kFieldHalf, kFieldHalf);
        const bool inside = PixelX(v, area, -kFieldHalf) > -32000 && PixelY(v, area, kFieldHalf) > -32000 &&
                            PixelX(v, area, kFieldHalf) < 32000 && PixelY(v, area, -kFieldHalf) < 32000;
        if (inside) v.ViewZoom = 2 * v.ViewZoom;
    } else {
        v.ViewZoom = v.ViewZoom / 2;
        if (1.01f * v.FitZoom > v.ViewZoom) {
            v.ViewZoom = v.FitZoom;
            v.ViewCenterX = v.ViewCenterY = 0;
        }
    }
    return true;
}

std::optional<std::string> CoordinateText(const ConverterState& state, AreaSize area, int mx, int my) {
    const ViewState& v = state.view;
    if (state.VectorCount() <= 0 || !(v.ViewZoom > 0)) return std::nullopt;
    const float X = (static_cast<float>(mx) - HalfWidth(area)) / v.ViewZoom + v.ViewCenterX;
    const float Y = (HalfHeight(area) - static_cast<float>(my)) / v.ViewZoom + v.ViewCenterY;
    const long x = std::clamp(std::lrint(std::clamp(X, -1.0e9f, 1.0e9f)), -32765L, 32765L);
    const long y = std::clamp(std::lrint(std::clamp(Y, -1.0e9f, 1.0e9f)), -32765L, 32765L);
    return std::to_string(x) + " , " + std::to_string(y);
}

bool ZoomField(ConverterState& state, AreaSize area) {
    if (state.VectorCount() <= 0) return false;
    state.view.ViewCenterX = state.view.ViewCenterY = 0;
    state.view.ViewZoom = static_cast<float>(std::min(area.width, area.height) - 1) / 65540.0f;
    return true;
}

bool ZoomObject(ConverterState& state, AreaSize area) {
    if (state.VectorCount() < 1) return false;
    const DrawingBounds& b = state.drawing.Bounds;
    const float sg = state.drawing.DrawingScale * state.field.FieldGain;
    std::optional<float> zoom;
    if (b.MaxX != b.MinX) zoom = static_cast<float>(area.width - 1) / ((b.MaxX - b.MinX) * sg);
    if (b.MaxY != b.MinY) {
        const float zy = static_cast<float>(area.height - 1) / ((b.MaxY - b.MinY) * sg);
        if (!zoom || zy <= *zoom) zoom = zy;
    }
    // A drawing without extent has no finite zoom: the zoom stays, the view centres on it.
    if (zoom && std::isfinite(*zoom) && *zoom > 0) state.view.ViewZoom = *zoom;
    state.view.ViewCenterX = state.field.FieldOffsetX;
    state.view.ViewCenterY = state.field.FieldOffsetY;
    return true;
}

} // namespace ondrel
