// The main window's drawing area: what DrawView paints, the mouse zoom, the coordinate display
// and the two zoom items. Painting goes through a small canvas the window implements.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "converter_state.h"

namespace ondrel {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

enum class PenStyle { Solid, Dot, DashDot };

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void Clear() = 0; // fills the whole area with its background
    virtual void SetPen(Rgb colour, PenStyle style) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0; // outline only
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void SetPixel(int x, int y, Rgb colour) = 0;
};

// The drawing area's size in pixels.
struct AreaSize {
    int width;
    int height;
};

// (min(W, H) − 1) / 65530: the zoom that shows the whole field.
float FitZoomFor(AreaSize area);

// The view after a load: centred on the field, fitted.
void FitView(ViewState& view, AreaSize area);

// Redraws the whole area: empty while no drawing is loaded or a run is in progress, else the
// field border, the limits (when asked for) and the drawing.
void DrawView(const ConverterState& state, AreaSize area, Canvas& canvas);

// The 81 dots of "Zoom Field" at every 6553 Bit, drawn after DrawView.
void DrawFieldDots(const ConverterState& state, AreaSize area, Canvas& canvas);

enum class MouseButton { Left, Right, Middle };

// Left zooms in on the point, right zooms out; returns true when the view must be redrawn.
bool ViewMouseDown(ConverterState& state, AreaSize area, MouseButton button, int mx, int my);

// The tool bar's coordinate text for the mouse at (mx, my), e.g. "120 , -4500"; nothing
// while no drawing is loaded.
std::optional<std::string> CoordinateText(const ConverterState& state, AreaSize area, int mx, int my);

// View > "Zoom Field" and "Zoom Object"; false (nothing changed) without a drawing.
bool ZoomField(ConverterState& state, AreaSize area);
bool ZoomObject(ConverterState& state, AreaSize area);

} // namespace ondrel
