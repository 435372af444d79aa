#include "optimizer_drawings.h"
#include "optimizer_segments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace ondrel {
namespace {

constexpr BitPoint A{0, 0}, B{100, 0}, C{100, 100}, D{0, 100};

Drawing Records(std::initializer_list<VectorRecord> records)
{
    Drawing d;
    d.VectorStream = records;
    d.DrawingScale = 1;
    return d;
}

VectorRecord J(float x, float y)
{
    return {Jump, x, y};
}

VectorRecord M(float x, float y)
{
    return {Single, x, y};
}

SegmentArray Array(std::initializer_list<std::pair<BitPoint, BitPoint>> lines)
{
    SegmentArray s{{SegmentKind::Unsorted, A, A}};
    for (const auto& [from, to] : lines)
        s.push_back({SegmentKind::Unsorted, from, to});
    return s;
}

std::string Describe(const SegmentArray& s)
{
    std::string text;
    for (std::size_t k = 1; k < s.size(); ++k)
        text += std::to_string(int(s[k].kind)) + ":" + std::to_string(s[k].start.x) + "," +
                std::to_string(s[k].start.y) + ">" + std::to_string(s[k].end.x) + "," + std::to_string(s[k].end.y) +
                " ";
    return text;
}

TEST(HomePoint, ComesFromTheOffsetsOverTheGain)
{
    struct Case {
        FieldTransform field;
        BitPoint home;
    } cases[] = {
        {{0.5f, 0, 0, false, false, false}, {0, 0}},
        {{0.5f, 16382, 0, false, false, false}, {-32764, 0}},
        {{0.5f, 16382, 0, true, false, false}, {32764, 0}},
        {{0.5f, 16382, 0, false, false, true}, {0, -32764}},
        {{0.5f, 0, -100, false, true, false}, {0, -200}},
        {{0.01f, 1000, -1000, false, false, false}, {-32767, 32767}}, // clamped
        {{1.0f, 2.5f, 3.5f, false, false, false}, {-2, -4}},          // half to even
    };
    for (const Case& c : cases) {
        const BitPoint home = HomePoint(c.field);
        EXPECT_EQ(home.x, c.home.x) << c.field.FieldOffsetX << " " << c.field.FieldGain;
        EXPECT_EQ(home.y, c.home.y) << c.field.FieldOffsetY << " " << c.field.FieldGain;
    }
}

TEST(LoadSegments, KeepsEachLineOnceAndNoZeroLengthMarks)
{
    struct Case {
        const char* name;
        Drawing drawing;
        std::string expected;
    } cases[] = {
        {"drawn twice", Records({J(0, 0), M(100, 0), J(0, 0), M(100, 0)}), "0:0,0>100,0 "},
        {"drawn back", Records({J(0, 0), M(100, 0), M(0, 0)}), "0:0,0>100,0 "},
        {"zero length", Records({J(0, 0), M(0, 0), M(5, 0)}), "0:0,0>5,0 "},
        {"starts with a mark", Records({M(7, 8), M(9, 8)}), "0:0,0>7,8 0:7,8>9,8 "},
        {"jumps only", Records({J(1, 1), J(2, 2)}), ""},
        {"chain kinds are marks", Records({J(0, 0), {ChainStart, 1, 0}, {ChainEnd, 1, 1}}), "0:0,0>1,0 0:1,0>1,1 "},
        {"rounded half to even", Records({J(0.5f, 1.5f), M(2.5f, -0.5f)}), "0:0,2>2,0 "},
    };
    for (const Case& c : cases) {
        const SegmentArray s = LoadSegments(c.drawing, {});
        EXPECT_EQ(Describe(s), c.expected) << c.name;
        EXPECT_EQ(c.drawing.VectorCount(), static_cast<std::int32_t>(c.drawing.VectorStream.size()));
    }
}

TEST(LoadSegments, ConvertsWithCentreAndScaleCrosswiseUnderFlip)
{
    Drawing d = Records({J(10, 20), M(30, 20)});
    d.DrawingCenter = {10, 20};
    d.DrawingScale = 2;
    EXPECT_EQ(Describe(LoadSegments(d, {})), "0:0,0>40,0 ");
    FieldTransform flipped;
    flipped.XYFlip = true;
    d.DrawingCenter = {20, 10}; // the loaders keep the centre exchanged under the flip
    EXPECT_EQ(Describe(LoadSegments(d, flipped)), "0:0,0>40,0 ");
}

TEST(LoadSegments, RefusesPointsOutsideSixteenBits)
{
    for (const float x : {40000.0f, -32769.0f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_THROW(LoadSegments(Records({J(0, 0), M(x, 0)}), {}), std::range_error) << x;
    EXPECT_NO_THROW(LoadSegments(Records({J(-32768, 0), M(32767, 0)}), {}));
}

TEST(MakePolygons, GroupsByTheTieRules)
{
    const BitPoint E{200, 0};
    struct Case {
        const char* name;
        SegmentArray input;
        std::string expected;
    } cases[] = {
        {"ring in order", Array({{A, B}, {B, C}, {C, A}}), "5:0,0>100,0 6:100,0>100,100 7:100,100>0,0 "},
        {"ring shuffled", Array({{B, C}, {C, A}, {A, B}}), "5:100,0>100,100 6:100,100>0,0 7:0,0>100,0 "},
        {"ring pieces reversed", Array({{C, B}, {A, C}, {A, B}}),
         "5:100,100>100,0 6:100,0>0,0 7:0,0>100,100 "},
        {"two ends meet", Array({{A, B}, {C, B}}), "2:0,0>100,0 4:100,0>100,100 "},
        {"three at a point", Array({{A, B}, {B, C}, {B, E}}), "2:0,0>100,0 4:100,0>100,100 1:100,0>200,0 "},
        {"what follows is taken first", Array({{A, B}, {B, C}, {C, D}}),
         "2:0,0>100,0 3:100,0>100,100 4:100,100>0,100 "},
        {"single", Array({{A, B}}), "1:0,0>100,0 "},
        {"empty", Array({}), ""},
        {"square with a tail at its start", Array({{A, B}, {B, C}, {C, D}, {D, A}, {E, A}}),
         "2:200,0>0,0 3:0,0>100,0 3:100,0>100,100 3:100,100>0,100 4:0,100>0,0 "},
    };
    for (Case& c : cases) {
        MakePolygons(c.input);
        EXPECT_EQ(Describe(c.input), c.expected) << c.name;
    }
}

// Every segment once in one direction or the other; within a polygon each segment starts
// where the one before ends; the kinds frame every polygon.
TEST(MakePolygons, KeepsEverySegmentAndFramesEveryPolygon)
{
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const Drawing drawing = seed % 2 ? drawings::Grid(6, seed) : drawings::Mixed(seed);
        const SegmentArray loaded = LoadSegments(drawing, {});
        SegmentArray s = loaded;
        MakePolygons(s);
        ASSERT_EQ(s.size(), loaded.size());
        auto key = [](const Segment& g) {
            auto a = std::make_pair(g.start.x * 65536 + g.start.y, g.end.x * 65536 + g.end.y);
            return a.first < a.second ? a : std::make_pair(a.second, a.first);
        };
        std::vector<std::pair<int, int>> before, after;
        for (std::size_t k = 1; k < s.size(); ++k) {
            before.push_back(key(loaded[k]));
            after.push_back(key(s[k]));
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(before, after) << seed;

        std::size_t first = 1;
        for (std::size_t k = 1; k < s.size(); ++k) {
            const auto kind = s[k].kind;
            const bool opens = kind == SegmentKind::Single || kind == SegmentKind::ChainFirst ||
                               kind == SegmentKind::LoopFirst;
            ASSERT_EQ(opens, k == first) << seed << " at " << k;
            if (!opens) {
                ASSERT_TRUE(s[k - 1].end == s[k].start) << seed << " at " << k;
            }
            const bool closes = kind == SegmentKind::Single || kind == SegmentKind::ChainLast ||
                                kind == SegmentKind::LoopLast;
            if (closes) {
                const bool ring = s[first].start == s[k].end;
                ASSERT_EQ(ring, kind == SegmentKind::LoopLast) << seed << " at " << k;
                first = k + 1;
            }
        }
        EXPECT_EQ(first, s.size()) << seed;
    }
}

} // namespace
} // namespace ondrel
