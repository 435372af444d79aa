// Reading vector files: kind letters, numbers, blank lines, the bounds a load starts from and
// what a bad number does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot_test_support.h"
#include "vector_file_reader.h"

namespace ondrel {
namespace {

using testing::ExpectPoints;
using testing::Kinds;
using testing::LoadVectors;

TEST(VectorFile, RecordsKindsAndPoints)
{
    struct Case {
        const char* text;
        const char* kinds;
        std::vector<DrawingPoint> points;
    } cases[] = {
        {"J 0 0\r\nm 100 0\r\nc 100 100\r\n", "JMC", {{0, 0}, {100, 0}, {100, 100}}},
        {"J      0      0\r\nA    -10     20\r\nB     30    -40\r\nC 5 6", "JABC",
         {{0, 0}, {-10, 20}, {30, -40}, {5, 6}}},
        // A line without a kind letter takes the kind before it; its first character is not a
        // number.
        {"A 1 2\nX 3 4\n 5 6\n97 8\n", "AAAA", {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
        {"5 6\n", "J", {{6, 0}}},  // the first record: a Jump
        {"Q 1 2\nm 3 4\n", "JM", {{1, 2}, {3, 4}}},
        {"J 12.5 -0.25\n", "J", {{12.5f, -0.25f}}},
        {"j 1e3 +2E-1\n", "J", {{1000, 0.2f}}},
        // Any real number converts to the nearest float: below the smallest one that is 0.
        {"M 1e-400 5\n", "M", {{0, 5}}},
        {"M -0.0001e-99999999999999999999 1e-45\n", "M", {{0, 1e-45f}}},
        {"M 0e999999 1e-50\n", "M", {{0, 0}}},
        {"M 7\n", "M", {{7, 0}}},             // a missing number at the end reads 0
        {"M\n7\n8\n", "M", {{7, 8}}},         // numbers may stand on the following lines
        {"J 1 2 trailing words\n", "J", {{1, 2}}},
        // Blank lines, the last one included, add nothing.
        {"J 1 1\r\n\r\nM 2 2\r\n   \r\n\t\r\n\r\n", "JM", {{1, 1}, {2, 2}}},
        {"\n\nB 1 1", "B", {{1, 1}}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto loaded = LoadVectors(c.text);
        ASSERT_TRUE(loaded.result.Loaded()) << loaded.result.Message;
        EXPECT_EQ(Kinds(loaded.drawing), c.kinds);
        ExpectPoints(loaded.drawing, c.points, 0);
    }
}

TEST(VectorFile, BoundsStartAtTheWholeField)
{
    const auto inside = LoadVectors("J 0 0\nM 100 100\n");
    EXPECT_EQ(inside.drawing.Bounds.MinX, -32767);
    EXPECT_EQ(inside.drawing.Bounds.MaxY, 32767);
    EXPECT_EQ(inside.drawing.DrawingCenter.x, 0);
    EXPECT_FLOAT_EQ(inside.drawing.DrawingScale, 65530.0f / 65534.0f);

    const auto wide = LoadVectors("J 40000 0\n");
    EXPECT_EQ(wide.drawing.Bounds.MaxX, 40000);
    EXPECT_FLOAT_EQ(wide.drawing.DrawingScale, 65530.0f / 72767.0f);

    FieldTransform flipped;
    flipped.XYFlip = true;
    Drawing drawing;
    ASSERT_TRUE(LoadVectorText("J 40000 0\n", drawing, flipped).Loaded());
    EXPECT_EQ(drawing.Bounds.MaxY, 40000);
    EXPECT_EQ(drawing.Bounds.MaxX, 32767);
    EXPECT_FLOAT_EQ(drawing.DrawingCenter.y, (40000 - 32767) / 2.0f);
}

TEST(VectorFile, ABadNumberFailsTheLoadAndKeepsTheDrawing)
{
    struct Case {
        const char* text;
        int line;
    } cases[] = {
        {"J 12,5 0\n", 1},  {"J 1 2\nM 3 x\n", 2},   {"J 1 2\nM 3\n\nfoo\n", 4}, {"J - 1\n", 1},
        {"J 1e 1\n", 1},    {"J inf 1\n", 1},        {"J nan 1\n", 1},           {"J 0x10 1\n", 1},
        {"J 1e39 1\n", 1},  {"J 1.2.3 1\n", 1},      {"J . 1\n", 1},            {"J 1e400 1\n", 1},
        {"J 0.001e99999999999999999999 1\n", 1},     {"J 1 -1e+400\n", 1},
    };
    for (const Case& c : cases) {
        Drawing drawing;
        FieldTransform field;
        ASSERT_TRUE(LoadVectorText("J 1 1\nM 5 5\n", drawing, field).Loaded());
        const LoadResult result = LoadVectorText(c.text, drawing, field);
        EXPECT_EQ(result.Status, LoadStatus::BadNumber) << c.text;
        EXPECT_EQ(result.Message, "Invalid number in line " + std::to_string(c.line) + " of the vector file!")
            << c.text;
        EXPECT_EQ(Kinds(drawing), "JM") << c.text;
    }
}

TEST(VectorFile, NumbersAreCutAfter64Characters)
{
    // The rest of an over-long number is read as the next number.
    const auto loaded = LoadVectors("J 0." + std::string(62, '0') + "25 9\n");
    ASSERT_EQ(loaded.drawing.VectorCount(), 1);
    EXPECT_EQ(loaded.drawing.VectorStream[0].x, 0);
    EXPECT_EQ(loaded.drawing.VectorStream[0].y, 25);
}

TEST(VectorFile, RecordLimit)
{
    PlotLimits limits;
    limits.MaxRecords = 2;
    EXPECT_TRUE(LoadVectors("J 1 1\nM 2 2\n", limits).result.Loaded());
    const auto loaded = LoadVectors("J 1 1\nM 2 2\nM 3 3\n", limits);
    EXPECT_EQ(loaded.result.Status, LoadStatus::TooManyVectors);
}

} // namespace
} // namespace ondrel
