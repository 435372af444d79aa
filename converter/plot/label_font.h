// The stroke font and the labels drawn with it: 96 characters (codes 32..127) in a cell 4
// units wide and 6 high, placed by size, direction, slant, spacing and label origin.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "line_types.h"
#include "pen_path.h"
#include "plot_point.h"

namespace ondrel {

// The stroke bytes of a character's glyph, without the closing 0. Each byte is one point:
// bit 7 set draws to it, clear moves to it; (byte & 0x7F) >> 4 is the column + 1, its low
// nibble the row + 4. Codes outside 32..127 have the (empty) glyph of the space.
std::span<const std::uint8_t> GlyphStrokes(int code);

// DrawLabel modes.
enum LabelMode : int {
    LabelText = 0,      // LB and the CP line feed
    LabelBuffer = 1,    // PB
    LabelRemeasure = 2, // re-applies a PB measure after a carriage return
};

class LabelWriter {
public:
    LabelWriter(PenPath& pen, LineTypes& lineTypes) : pen_(pen), lineTypes_(lineTypes) {}

    // Size, direction and placement state; call UpdateLabelVectors after changing it.
    float Width = 0;
    float Height = 0;
    float Spaces = 0;
    float Lines = 0;
    float Direction = 0; // radians, counter-clockwise from +x
    float Slant = 0;     // tangent of the slant angle
    int Origin = 1;

    // Derived: cell units U (along) and V (up), advance A, line L (one line down).
    PlotPoint U{}, V{}, A{}, L{};
    PlotPoint Position{};
    PlotPoint CarriageReturnPoint{};
    PlotPoint GlyphOffset{};

    void UpdateLabelVectors();
    // The IN/DF size: 0.5 % by 0.75 % of P2 - P1, horizontal, origin 1, at the last point.
    void SetDefaultLabelSize(PlotPoint span);

    void DrawLabel(std::string_view text, int mode);
    void LabelOriginOffset(std::string_view text, int mode);
    void DrawGlyph(unsigned char c);
    PlotPoint GlyphPoint(std::uint8_t g) const;
    // Draws c centred on the last point.
    void DrawSymbol(unsigned char c);

private:
    PenPath& pen_;
    LineTypes& lineTypes_;
    // The last measure of a label: characters of its longest line and its line feeds.
    float chars_ = 0;
    float lines_ = 0;
};

} // namespace ondrel
