#include "nearest_neighbour_order.h"
#include "optimizer.h"
#include "optimizer_drawings.h"
#include "recording_progress.h"

#include <gtest/gtest.h>

#include <utility>

namespace ondrel {
namespace {

using drawings::Builder;
using drawings::RecordsText;

// Each polyline: a jump to the first point, marks to the others.
Drawing Polylines(std::initializer_list<std::initializer_list<std::pair<int, int>>> lines)
{
    Builder b(0);
    for (const auto& line : lines) {
        bool first = true;
        for (const auto& [x, y] : line) {
            if (first)
                b.JumpTo(x, y);
            else
                b.MarkTo(x, y);
            first = false;
        }
    }
    return b.Build();
}

Drawing MarksOnly()
{
    Builder b(0);
    b.MarkTo(100, 0);
    b.MarkTo(100, 50);
    return b.Build();
}

TEST(QuickAndDirty, TakesTheNearestEntryByTheTieRules)
{
    struct Case {
        const char* name;
        Drawing drawing;
        std::string expected;
    } cases[] = {
        {"a single whose end is nearer runs reversed", Polylines({{{1000, 0}, {10, 0}}}), "J10,0 1:1000,0"},
        {"a single at equal distance runs from its start", Polylines({{{100, 0}, {-100, 0}}}), "J100,0 1:-100,0"},
        {"the higher index wins a tie", Polylines({{{0, 100}, {0, 200}}, {{100, 0}, {200, 0}}}),
         "J100,0 1:200,0 J0,100 1:0,200"},
        {"a chain is never entered in its middle", Polylines({{{-500, 0}, {0, 10}, {500, 0}}}),
         "J500,0 2:0,10 4:-500,0"},
        {"a loop is entered at its nearest vertex",
         Polylines({{{300, 300}, {200, 300}, {200, 200}, {300, 200}, {300, 300}}}),
         "J200,200 2:300,200 3:300,300 3:200,300 4:200,200"},
        {"a first segment from the home point still gets its jump", Polylines({{{0, 0}, {100, 0}}}),
         "J0,0 1:100,0"},
        {"marks only start at the home point", MarksOnly(), "J0,0 2:100,0 4:100,50"},
    };
    for (Case& c : cases) {
        SilentProgress progress;
        ASSERT_EQ(OptimizeFast(c.drawing, {}, progress), OptimizeOutcome::Done) << c.name;
        EXPECT_EQ(RecordsText(c.drawing.VectorStream), c.expected) << c.name;
    }
}

TEST(SaveSorted, JoinsSegmentsThatMeetIntoOneChain)
{
    const BitPoint home{0, 0};
    struct Case {
        const char* name;
        SegmentArray segments;
        std::string expected;
    } cases[] = {
        {"two singles that meet", {{SegmentKind::Unsorted, home, home},
                                   {SegmentKind::Single, {0, 0}, {10, 0}},
                                   {SegmentKind::Single, {10, 0}, {20, 0}}},
         "J0,0 2:10,0 4:20,0"},
        {"apart", {{SegmentKind::Unsorted, home, home},
                   {SegmentKind::Single, {5, 0}, {10, 0}},
                   {SegmentKind::Single, {11, 0}, {20, 0}}},
         "J5,0 1:10,0 J11,0 1:20,0"},
        {"nothing", {{SegmentKind::Unsorted, home, home}}, ""},
    };
    for (const Case& c : cases) {
        std::vector<VectorRecord> stream;
        SaveSorted(c.segments, stream);
        EXPECT_EQ(RecordsText(stream), c.expected) << c.name;
    }
}

TEST(SortSegments, CountsPlacedSegmentsAndStopsOnAbort)
{
    SegmentArray s = LoadSegments(drawings::ChainsAndLoops(20, 4), {});
    MakePolygons(s);
    const auto last = static_cast<int>(s.size()) - 1;

    RecordingProgress progress;
    progress.ClearAbort();
    SegmentArray sorted = s;
    ASSERT_TRUE(SortSegments(sorted, progress));
    EXPECT_EQ(progress.maximum, last);
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.back(), last);
    for (std::size_t k = 1; k < progress.positions.size(); ++k)
        EXPECT_LT(progress.positions[k - 1], progress.positions[k]);

    RecordingProgress stopping(3);
    stopping.ClearAbort();
    SegmentArray untouched = s;
    EXPECT_FALSE(SortSegments(untouched, stopping));
    EXPECT_EQ(stopping.pumps, 3);
}

} // namespace
} // namespace ondrel
