// Labels and the stroke font: glyph data, size, direction, origin, terminators, symbols and
// character plots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label_font.h"
#include "plot_test_support.h"

namespace ondrel {
namespace {

using testing::ExpectPlotPoints;
using testing::ExpectPoints;
using testing::Kinds;
using testing::LoadPlot;

TEST(LabelFont, EveryGlyphFitsItsCell)
{
    int strokes = 0, bytes = 0;
    for (int code = 32; code <= 127; ++code) {
        const auto glyph = GlyphStrokes(code);
        EXPECT_LE(glyph.size(), 16u) << code;
        for (std::uint8_t g : glyph) {
            const int u = ((g & 0x7F) >> 4) - 1, v = (g & 15) - 4;
            // Columns 0..4 and rows 0..6, with room for descenders, the '*' and the '/'.
            EXPECT_TRUE(u >= -1 && u <= 5 && v >= -2 && v <= 7) << code << " " << int(g);
            EXPECT_NE(g, 0) << code;
            strokes += (g & 0x80) ? 1 : 0;
            ++bytes;
        }
    }
    EXPECT_TRUE(GlyphStrokes(32).empty());
    EXPECT_TRUE(GlyphStrokes(127).empty());
    EXPECT_TRUE(GlyphStrokes(200).empty()); // outside the font: an empty cell
    EXPECT_TRUE(GlyphStrokes(7).empty());
    // Counted from the font's source table: 621 points, 481 of them drawn to.
    EXPECT_EQ(bytes, 621);
    EXPECT_EQ(strokes, 481);
}

TEST(LabelFont, GlyphBytesDecodeToTheirStrokes)
{
    struct Case {
        int code;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {'L', {0x1A, 0x94, 0xD4}},
        {'!', {0x34, 0xB5, 0x36, 0xBA}},
        {'8', {0x47, 0xD8, 0xD9, 0xCA, 0xAA, 0x99, 0x98, 0xA7, 0xC7, 0xD6, 0xD5, 0xC4, 0xA4, 0x95, 0x96, 0xA7}},
        {'~', {0x19, 0xAA, 0xC8, 0xD9}},
    };
    for (const Case& c : cases) {
        const auto glyph = GlyphStrokes(c.code);
        EXPECT_EQ(std::vector<std::uint8_t>(glyph.begin(), glyph.end()), c.bytes) << c.code;
    }
}

TEST(Labels, SizeDirectionSlantAndOrigin)
{
    // The letter L: a move to the top left of its cell, strokes down and along the baseline.
    ExpectPlotPoints({
        {"PA0,0;LBL\x03", {{0, 54}, {0, 0}, {50, 0}}},                   // 50 by 54 after IN
        {"SI1,2;PA0,0;LBL\x03", {{0, 800}, {0, 0}, {400, 0}}},          // centimetres
        {"SR2,3;PA0,0;LBL\x03", {{0, 216}, {0, 0}, {200, 0}}},          // percent of P2 - P1
        {"DI0,1;PA0,0;LBL\x03", {{-54, 0}, {0, 0}, {0, 50}}},           // upwards
        {"DR0,1;DI;PA0,0;LBL\x03", {{0, 54}, {0, 0}, {50, 0}}},         // DI; is horizontal at once
        {"SL1;PA0,0;LBL\x03", {{54, 54}, {0, 0}, {50, 0}}},             // slanted 45 degrees
        {"LO9;PA0,0;LBL\x03", {{-50, 0}, {-50, -54}, {0, -54}}},        // right and top at the point
        {"LO5;PA1000,1000;LBL\x03", {{975, 1027}, {975, 973}, {1025, 973}}},         // centred
        {"IP0,0,5000,3600;PA0,0;LBL\x03", {{0, 27}, {0, 0}, {25, 0}}},  // size follows P2 - P1
        {"LO1;PA0,0;BLL\x03PB", {{0, 54}, {0, 0}, {50, 0}}},
    }, 1e-3f);
}

TEST(Labels, OriginFiveCentresTheLabelOnThePoint)
{
    const auto loaded = LoadPlot("LO5;PA1000,1000;LBAB\x03");
    const DrawingBounds& b = loaded.drawing.Bounds;
    EXPECT_FLOAT_EQ(b.MinX, 937.5f);
    EXPECT_FLOAT_EQ(b.MaxX, 1062.5f);
    EXPECT_FLOAT_EQ(b.MinY, 973);
    EXPECT_FLOAT_EQ(b.MaxY, 1027);
}

// Where the pen stands after the plot: the label's end, read back through a relative draw.
float PositionAfter(const std::string& plot)
{
    const auto loaded = LoadPlot(plot + "PD;PR0,10;");
    EXPECT_TRUE(loaded.result.Loaded()) << loaded.result.Message;
    return loaded.drawing.VectorStream.empty() ? -1 : loaded.drawing.VectorStream.back().x;
}

TEST(Labels, TextEndsAtItsTerminator)
{
    struct Case {
        std::string plot;
        float endX;
    } cases[] = {
        {"PA0,0;LBABC\x03", 225},
        {"DT$;PA0,0;LBABC$", 300},                                  // a printed terminator
        {"DT$;PA0,0;LBAB\x03$", 300},                               // ETX is an empty cell then
        {"PA0,0;LB" + std::string(300, 'A') + "\x03", 254 * 75.0f}, // 254 characters at most
        {"PA0,0;LBA\bB\x03", 75},                                   // backspace
        {"PA0,0;LBA B\x03", 225},
        {"PA0,0;LBA\x0e\x0f\x03", 75},
        {"PA0,0;LBA\xff\x03", 150},                                 // outside the font: an empty cell
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(PositionAfter(c.plot), c.endX) << c.plot;
}

TEST(Labels, ALabelCutOffByTheEndOfTheFileLosesItsLastCharacter)
{
    const auto loaded = LoadPlot("PA0,0;LBABC");
    EXPECT_FLOAT_EQ(loaded.drawing.Bounds.MaxX, 125); // A and B only
}

TEST(Labels, LineFeedsAndCharacterPlot)
{
    // CP; moves to the start of the next line, 2 h below the carriage-return point.
    ExpectPlotPoints({
        {"PA100,100;CP;LBL\x03", {{100, 46}, {100, -8}, {150, -8}}},
        {"PA100,100;CP2,1;LBL\x03", {{250, 262}, {250, 208}, {300, 208}}},
        {"PA100,100;LB\n\rL\x03", {{100, 46}, {100, -8}, {150, -8}}},
        {"PA100,100;LB\n\x0bL\x03", {{100, 154}, {100, 100}, {150, 100}}},
    }, 1e-3f);
    // After a label too, CP; returns to where the label's line started.
    const auto loaded = LoadPlot("PA100,100;LBAA\x03" "CP;LBL\x03");
    const std::vector<DrawingPoint> points = testing::Points(loaded.drawing);
    ASSERT_GE(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[points.size() - 2].x, 100);
    EXPECT_FLOAT_EQ(points[points.size() - 2].y, -8);
}

TEST(Labels, SymbolModeCentresAGlyphOnEachPoint)
{
    const auto stars = LoadPlot("SM*;PA10,10,20,20;");
    EXPECT_EQ(stars.drawing.VectorCount(), 12);
    EXPECT_FLOAT_EQ(stars.drawing.Bounds.MinX, 10 - 37.5f);
    EXPECT_FLOAT_EQ(stars.drawing.Bounds.MaxX, 20 + 37.5f);
    EXPECT_FLOAT_EQ(stars.drawing.Bounds.MinY, 10 - 27);
    EXPECT_FLOAT_EQ(stars.drawing.Bounds.MaxY, 20 + 27);

    struct Case {
        const char* plot;
        const char* kinds;
    } cases[] = {
        {"SM*;SM;PA10,10;PD20,20;", "JM"},      // SM; ends symbol mode
        {"SM*;SM PA10,10;", "JMJMJM"},         // a blank keeps the symbol
        {"SM*;SM\x01PA10,10;", "JMJMJM"},      // so does a control character
        {"SM*;SM\rPA10,10;PD20,20;", "JM"},
        {"SML;PA10,10;", "JAC"},
    };
    for (const Case& c : cases) EXPECT_EQ(Kinds(LoadPlot(c.plot).drawing), c.kinds) << c.plot;
}

} // namespace
} // namespace ondrel
