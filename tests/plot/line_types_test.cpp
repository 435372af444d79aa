// Line types: where the marks, gaps and dots of a patterned line fall, and the phase that
// carries from one line to the next.
#include <gtest/gtest.h>

#include <vector>

#include "line_types.h"
#include "plot_test_support.h"

namespace ondrel {
namespace {

using testing::ExpectPoints;
using testing::Kinds;
using testing::LoadPlot;

TEST(LineTypes, PatternsCutLinesIntoMarksGapsAndDots)
{
    // Default P1/P2: the diagonal is 12322.3379, so LT3,10 makes patterns 1232.234 long and
    // the default pattern is 492.8935. IP0,0,3000,4000 makes the diagonal exactly 5000.
    constexpr float p = 1232.2338f;
    struct Case {
        const char* plot;
        const char* kinds;
        std::vector<DrawingPoint> points;
    } cases[] = {
        {"LT3,10;PA0,0;PD3000,0;", "JMJMJM",
         {{0, 0}, {0.7f * p, 0}, {p, 0}, {1.7f * p, 0}, {2 * p, 0}, {3000, 0}}},
        // The phase (0.4346) carries into the next line of the polyline.
        {"LT3,10;PA0,0;PD3000,0,3000,1000;", "JMJMJACJM",
         {{0, 0}, {0.7f * p, 0}, {p, 0}, {1.7f * p, 0}, {2 * p, 0}, {3000, 0}, {3000, 327.03f},
          {3000, 696.70f}, {3000, 1000}}},
        // After a pen-up move the pattern starts again.
        {"LT3,10;PA0,0;PD3000,0;PU0,100;PD1000,100;", "JMJMJMJM",
         {{0, 0}, {0.7f * p, 0}, {p, 0}, {1.7f * p, 0}, {2 * p, 0}, {3000, 0}, {0, 100}, {862.56f, 100}}},
        // A whole number of patterns ends with a zero-length mark at the end point.
        {"IP0,0,3000,4000;LT2,10;PA0,0;PD1000,0;", "JMJMJM",
         {{0, 0}, {250, 0}, {500, 0}, {750, 0}, {1000, 0}, {1000, 0}}},
        // A down fraction of 0 is a dot: a jump and a zero-length mark.
        {"IP0,0,3000,4000;LT4,20;PA0,0;PD1000,0;", "JMJMJM",
         {{0, 0}, {800, 0}, {900, 0}, {900, 0}, {1000, 0}, {1000, 0}}},
        // Adaptive: a line 2.5 patterns long carries two patterns of 1.25 each.
        {"LT-2;PA0,0;PD1232.234,0;", "JMJM", {{0, 0}, {154.029f, 0}, {616.117f, 0}, {770.146f, 0}}},
        // Type 0 marks only a dot at each end point.
        {"LT0;PA0,0;PD100,0,200,0;", "JMJM", {{100, 0}, {100, 0}, {200, 0}, {200, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plot);
        const auto loaded = LoadPlot(c.plot);
        ASSERT_TRUE(loaded.result.Loaded()) << loaded.result.Message;
        EXPECT_EQ(Kinds(loaded.drawing), c.kinds);
        ExpectPoints(loaded.drawing, c.points, 0.05f);
    }
}

TEST(LineTypes, SelectionKeepsOrReplacesTheType)
{
    struct Case {
        const char* select;
        bool dashed;
    } cases[] = {
        {"LT2;", true},   {"LT2;LT;", false}, {"LT2;LT7;", true}, {"LT2;LT9;", true},
        {"LT2;LT-7;", true}, {"LT2.5;", true}, {"LT6.5;", true},  // 6.5 rounds to 6
        {"LT2;IN;", false}, {"LT2;DF;", false},
    };
    for (const Case& c : cases) {
        const auto loaded = LoadPlot(std::string(c.select) + "PA0,0;PD3000,0;");
        EXPECT_EQ(loaded.drawing.VectorCount() > 2, c.dashed) << c.select;
    }
}

TEST(LineTypes, GlyphsAndTicksAreDrawnSolid)
{
    // The letter L is a move and two strokes; a dashed type would cut them into pieces.
    const auto label = LoadPlot("LT2,1;PA0,0;LBL\x03");
    EXPECT_EQ(Kinds(label.drawing), "JAC");
    const auto tick = LoadPlot("LT2,0.01;PA1000,1000;XT;");
    EXPECT_EQ(Kinds(tick.drawing), "JM");
    // The selected type returns afterwards.
    const auto after = LoadPlot("LT2;PA0,0;LBL\x03PA0,0;PD3000,0;");
    EXPECT_GT(after.drawing.VectorCount(), 5);
}

TEST(LineTypes, RowsEndWithTheirTerminatorAndSumToOnePattern)
{
    for (int type = -6; type <= 7; ++type) {
        const PatternRow& row = PatternFractions(type);
        float sum = 0;
        std::size_t n = 0;
        while (n < row.size() && row[n] != -1) sum += row[n++];
        EXPECT_LT(n, row.size()) << type;
        EXPECT_NEAR(sum, 1.0f, 1e-6f) << type;
    }
}

} // namespace
} // namespace ondrel
