#include "optimizer.h"
#include "optimizer_drawings.h"
#include "recording_progress.h"
#include "savings_tour.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace ondrel {
namespace {

using drawings::Builder;
using drawings::RecordsText;

std::string SlowAndGood(const Drawing& input)
{
    Drawing drawing = input;
    SilentProgress progress;
    EXPECT_EQ(OptimizeGood(drawing, {}, progress), OptimizeOutcome::Done);
    return RecordsText(drawing.VectorStream);
}

struct Case {
    const char* name;
    std::vector<std::array<int, 4>> lines; // each a jump and a mark
    std::string expected;
};

Drawing Lines(const std::vector<std::array<int, 4>>& lines)
{
    Builder b(0);
    for (const auto& l : lines)
        b.Line(l[0], l[1], l[2], l[3]);
    return b.Build();
}

TEST(SlowAndGood, JoinsByTheLargestSaving)
{
    const Case cases[] = {
        {"one single keeps its direction", {{1000, 0, 10, 0}}, "J1000,0 1:10,0"},
        {"two ends meet: the later fragment is reversed",
         {{1000, 0, 2000, 0}, {2100, 100, 3000, 100}},
         "J1000,0 1:2000,0 J3000,100 1:2100,100"},
        {"two starts meet: the path begins at the lowest free start",
         {{2000, 0, 1000, 0}, {3000, 100, 2100, 100}},
         "J2100,100 1:3000,100 J2000,0 1:1000,0"},
        {"the largest saving first, then an end before a start",
         {{1000, 0, 2000, 0}, {2100, 100, 3000, 100}, {2200, -300, 2600, -300}},
         "J1000,0 1:2000,0 J2100,100 1:3000,100 J2600,-300 1:2200,-300"},
        // The mirrored pair has the same saving as the first join and is skipped for good:
        // its second piece is entered at its start, not reversed like the first one's.
        {"an equal saving is skipped",
         {{1000, 0, 2000, 0}, {2100, 100, 3000, 100}, {-1000, 0, -2000, 0}, {-2100, -100, -3000, -100}},
         "J1000,0 1:2000,0 J3000,100 1:2100,100 J-1000,0 1:-2000,0 J-2100,-100 1:-3000,-100"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlowAndGood(Lines(c.lines)), c.expected) << c.name;
}

TEST(SlowAndGood, RunsAChainBackwardsWithChainKinds)
{
    Builder b(0);
    b.Line(1000, 0, 2000, 0);
    b.JumpTo(2100, 100);
    b.MarkTo(2500, 100);
    b.MarkTo(3000, 100);
    EXPECT_EQ(SlowAndGood(b.Build()), "J1000,0 1:2000,0 J3000,100 2:2500,100 4:2100,100");
}

TEST(SlowAndGood, WritesEveryFragment)
{
    // Every saving is 0 on a line through the home point: the walk ends with two
    // fragments; the second is entered at its end nearer to where the first stops.
    const Case cases[] = {
        {"opposite sides", {{100, 0, 200, 0}, {-100, 0, -200, 0}}, "J100,0 1:200,0 J-100,0 1:-200,0"},
        {"entered at the nearer end", {{100, 0, 200, 0}, {-300, 0, -50, 0}},
         "J100,0 1:200,0 J-50,0 1:-300,0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlowAndGood(Lines(c.lines)), c.expected) << c.name;

    Builder chain(0);
    chain.Line(100, 0, 200, 0);
    chain.JumpTo(-300, 0);
    chain.MarkTo(-200, 0);
    chain.MarkTo(-50, 0);
    EXPECT_EQ(SlowAndGood(chain.Build()), "J100,0 1:200,0 J-50,0 2:-200,0 4:-300,0");
}

TEST(SlowAndGood, PutsLoopsWhereTheyCostLeast)
{
    Builder loops(0);
    // Only loops: the first is entered at the start of its first segment; the second goes on
    // the jump into the first, entered at its vertex (500, 100) that costs least there.
    loops.JumpTo(1000, 1000);
    for (const auto& [x, y] : {std::pair{1100, 1000}, {1100, 1100}, {1000, 1100}, {1000, 1000}})
        loops.MarkTo(x, y);
    loops.JumpTo(600, 0);
    for (const auto& [x, y] : {std::pair{500, 0}, {500, 100}, {600, 100}, {600, 0}})
        loops.MarkTo(x, y);
    EXPECT_EQ(SlowAndGood(loops.Build()),
              "J500,100 2:600,100 3:600,0 3:500,0 4:500,100 "
              "J1000,1000 2:1100,1000 3:1100,1100 3:1000,1100 4:1000,1000");

    Builder mixed(0);
    mixed.Line(0, 200, 0, 300);
    mixed.JumpTo(100, 100);
    for (const auto& [x, y] : {std::pair{120, 60}, {150, 70}, {100, 100}})
        mixed.MarkTo(x, y);
    EXPECT_EQ(SlowAndGood(mixed.Build()), "J100,100 2:120,60 3:150,70 4:100,100 J0,200 1:0,300");
}

TEST(AddLoops, TakesTheFirstJumpOnATie)
{
    // The vertex (100, 0) lies on the jump from home to (200, 0) and on the jump from
    // (200, 100) to (0, -100): both cost 0.
    const BitPoint home{0, 0};
    SegmentArray s{{SegmentKind::Unsorted, home, home},
                   {SegmentKind::Single, {200, 0}, {200, 100}},
                   {SegmentKind::Single, {0, -100}, {0, -200}},
                   {SegmentKind::LoopFirst, {100, 0}, {130, -60}},
                   {SegmentKind::LoopInner, {130, -60}, {160, -70}},
                   {SegmentKind::LoopLast, {160, -70}, {100, 0}}};
    Tour tour{{1, -1}, {2, -2}};
    AddLoops(s, tour);
    EXPECT_EQ(tour, (Tour{{3, 3}, {1, -1}, {2, -2}}));
}

TEST(AddLoops, EntersALoopAtItsCheapestVertex)
{
    // Entered at its third vertex: one jump and four marks round to it again.
    const BitPoint home{0, 0};
    SegmentArray s{{SegmentKind::Unsorted, home, home},
                   {SegmentKind::Single, {-400, 0}, {-500, 0}},
                   {SegmentKind::LoopFirst, {300, 300}, {200, 300}},
                   {SegmentKind::LoopInner, {200, 300}, {200, 200}},
                   {SegmentKind::LoopInner, {200, 200}, {300, 200}},
                   {SegmentKind::LoopLast, {300, 200}, {300, 300}}};
    Tour tour{{1, -1}};
    AddLoops(s, tour);
    ASSERT_EQ(tour, (Tour{{4, 4}, {1, -1}}));
    std::vector<VectorRecord> stream;
    SaveTour(s, tour, stream);
    EXPECT_EQ(RecordsText(stream), "J200,200 2:300,200 3:300,300 3:200,300 4:200,200 J-400,0 1:-500,0");
}

TEST(SolveTour, ShowsJoinsOnASquareRootScaleAndStopsOnAbort)
{
    const Drawing drawing = drawings::RandomSingles(50, 3);
    SegmentArray s = LoadSegments(drawing, {});
    MakePolygons(s);
    std::vector<City> cities = MakeCities(s);
    const auto count = static_cast<int>(cities.size()) - 1;

    RecordingProgress progress(0);
    progress.ClearAbort();
    ASSERT_TRUE(SolveTour(s, cities, progress));
    EXPECT_EQ(progress.maximum, static_cast<int>(std::lrint(std::sqrt(count / 2.0) * 10)));
    ASSERT_FALSE(progress.positions.empty());
    for (std::size_t k = 0; k < progress.positions.size(); ++k)
        EXPECT_EQ(progress.positions[k], static_cast<int>(std::lrint(std::sqrt(double(k + 1)) * 10)));
    EXPECT_EQ(progress.pumps, static_cast<int>(progress.positions.size()) + 1); // and the frame's

    std::vector<City> again = MakeCities(s);
    RecordingProgress stopping(4);
    stopping.ClearAbort();
    EXPECT_FALSE(SolveTour(s, again, stopping));
    EXPECT_EQ(stopping.pumps, 4);
    EXPECT_EQ(stopping.positions.size(), 3u);
}

} // namespace
} // namespace ondrel
