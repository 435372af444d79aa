#include "optimizer.h"
#include "optimizer_drawings.h"
#include "optimizer_segments.h"
#include "recording_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace ondrel {
namespace {

using Optimize = OptimizeOutcome (*)(Drawing&, const FieldTransform&, OptimizerProgress&);

struct Mode {
    const char* name;
    Optimize optimize;
    std::vector<std::string> captions;
};

const Mode Modes[] = {
    {"slow and good", OptimizeGood,
     {"Load Vectors", "Make Polygons", "Make Citys", "Solving TSP Problem", "Add Loops", "Save Vectors"}},
    {"quick and dirty", OptimizeFast, {"Load Vectors", "Make Polygons", "Sorting Vectors", "Save Vectors"}},
};

bool SameDrawing(const Drawing& a, const Drawing& b)
{
    return drawings::RecordsText(a.VectorStream) == drawings::RecordsText(b.VectorStream) &&
           a.DrawingScale == b.DrawingScale && a.DrawingCenter.x == b.DrawingCenter.x &&
           a.DrawingCenter.y == b.DrawingCenter.y && a.Bounds.MinX == b.Bounds.MinX && a.Bounds.MaxY == b.Bounds.MaxY;
}

TEST(Optimizer, RefusesMoreThan30000Records)
{
    for (const Mode& mode : Modes) {
        Drawing big = drawings::Dots(15000, 1);
        big.VectorStream.push_back({Jump, 0, 0});
        const Drawing before = big;
        RecordingProgress progress;
        EXPECT_EQ(mode.optimize(big, {}, progress), OptimizeOutcome::TooManyVectors) << mode.name;
        EXPECT_EQ(progress.errors, std::vector<std::string>{"More than 30000 vectors!"});
        EXPECT_TRUE(progress.captions.empty());
        EXPECT_EQ(progress.closes, 1);
        EXPECT_TRUE(SameDrawing(big, before));
    }
    Drawing limit = drawings::Dots(15000, 1);
    ASSERT_EQ(limit.VectorCount(), MaxOptimizerVectors);
    RecordingProgress progress;
    EXPECT_EQ(OptimizeFast(limit, {}, progress), OptimizeOutcome::Done);
    EXPECT_TRUE(progress.errors.empty());
}

TEST(Optimizer, AnEmptyDrawingOnlyClosesTheWindow)
{
    for (const Mode& mode : Modes) {
        Drawing empty;
        RecordingProgress progress;
        EXPECT_EQ(mode.optimize(empty, {}, progress), OptimizeOutcome::Empty) << mode.name;
        EXPECT_TRUE(progress.captions.empty());
        EXPECT_EQ(progress.pumps, 0);
        EXPECT_EQ(progress.closes, 1);
    }
}

TEST(Optimizer, ShowsEveryPhaseAndLeavesTheAbortFlagSet)
{
    for (const Mode& mode : Modes) {
        Drawing drawing = drawings::Mixed(3);
        RecordingProgress progress; // starts with the flag set, as an earlier run leaves it
        ASSERT_EQ(mode.optimize(drawing, {}, progress), OptimizeOutcome::Done) << mode.name;
        EXPECT_EQ(progress.captions, mode.captions);
        EXPECT_EQ(progress.positions.front(), 0);
        EXPECT_EQ(progress.closes, 1);
        EXPECT_TRUE(progress.aborted);
    }
}

// An abort at any pump ends the run with the drawing as it was, every remaining phase still
// showing its caption, and the window closed.
TEST(Optimizer, AnAbortAtAnyPumpKeepsTheDrawing)
{
    for (const Mode& mode : Modes) {
        const Drawing original = drawings::Mixed(5);
        RecordingProgress full;
        Drawing done = original;
        mode.optimize(done, {}, full);
        ASSERT_GT(full.pumps, 6);
        for (int pump = 1; pump <= full.pumps; ++pump) {
            Drawing drawing = original;
            RecordingProgress progress(pump);
            EXPECT_EQ(mode.optimize(drawing, {}, progress), OptimizeOutcome::Aborted) << mode.name << pump;
            EXPECT_TRUE(SameDrawing(drawing, original)) << mode.name << pump;
            EXPECT_EQ(progress.closes, 1);
            std::vector<std::string> shown = progress.captions;
            shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
            EXPECT_EQ(shown, mode.captions) << mode.name << pump;
        }
    }
}

TEST(Optimizer, LeavesTheDrawingInBits)
{
    const char* const expected[] = {"J0,0 1:40,0 J-10,20 1:-10,10", "J0,0 1:40,0 J-10,10 1:-10,20"};
    for (int m = 0; m < 2; ++m) {
        const Mode& mode = Modes[m];
        drawings::Builder b(0);
        b.Line(10, 20, 30, 20);
        b.Line(5, 25, 5, 30);
        Drawing drawing = b.Build(10, 20, 2);
        drawing.Bounds = {5, 30, 20, 30};
        SilentProgress progress;
        ASSERT_EQ(mode.optimize(drawing, {}, progress), OptimizeOutcome::Done);
        EXPECT_EQ(drawing.DrawingScale, 1.0f);
        EXPECT_EQ(drawing.DrawingCenter.x, 0.0f);
        EXPECT_EQ(drawing.DrawingCenter.y, 0.0f);
        EXPECT_EQ(drawing.Bounds.MinX, -10.0f);
        EXPECT_EQ(drawing.Bounds.MaxX, 40.0f);
        EXPECT_EQ(drawing.Bounds.MinY, 0.0f);
        EXPECT_EQ(drawing.Bounds.MaxY, 20.0f);
        EXPECT_EQ(drawings::RecordsText(drawing.VectorStream), expected[m]) << mode.name;
    }
}

TEST(Optimizer, APointOutsideSixteenBitsKeepsTheDrawing)
{
    for (const Mode& mode : Modes) {
        drawings::Builder b(0);
        b.Line(0, 0, 30000, 0);
        Drawing drawing = b.Build(0, 0, 2);
        const Drawing before = drawing;
        RecordingProgress progress;
        EXPECT_THROW(mode.optimize(drawing, {}, progress), std::range_error);
        EXPECT_TRUE(SameDrawing(drawing, before));
        EXPECT_EQ(progress.closes, 1);
    }
}

using Undirected = std::map<std::pair<std::pair<int, int>, std::pair<int, int>>, int>;

// Each marked line counted once, whichever way round it runs.
Undirected MarkedLines(const std::vector<VectorRecord>& records, std::pair<int, int> from)
{
    Undirected lines;
    for (const VectorRecord& r : records) {
        const std::pair<int, int> to{int(r.x), int(r.y)};
        if (r.kind != Jump && from != to)
            ++lines[std::minmax(from, to)];
        from = to;
    }
    return lines;
}

// Every segment marked exactly once; every chain after a jump, framed by ChainStart and
// ChainEnd; a single after a jump; and a second run changes neither lines nor bits.
TEST(Optimizer, MarksEverySegmentOnceInWellFormedChains)
{
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        const Drawing original = seed % 2 ? drawings::Mixed(seed) : drawings::ChainsAndLoops(30, seed);
        Undirected expected;
        for (const Segment& s : LoadSegments(original, {}))
            if (!(s.start == s.end))
                ++expected[std::minmax(std::pair<int, int>{s.start.x, s.start.y}, {s.end.x, s.end.y})];
        for (const Mode& mode : Modes) {
            Drawing drawing = original;
            SilentProgress progress;
            ASSERT_EQ(mode.optimize(drawing, {}, progress), OptimizeOutcome::Done);
            const auto& out = drawing.VectorStream;
            EXPECT_EQ(MarkedLines(out, {0, 0}), expected) << mode.name << seed;

            ASSERT_FALSE(out.empty());
            EXPECT_EQ(out.front().kind, Jump);
            bool inChain = false;
            for (std::size_t k = 0; k < out.size(); ++k) {
                const std::uint8_t kind = out[k].kind;
                const std::uint8_t before = k ? out[k - 1].kind : std::uint8_t{Jump};
                if (kind == Single || kind == ChainStart) {
                    ASSERT_EQ(before, Jump) << mode.name << seed << " at " << k;
                } else {
                    ASSERT_EQ(inChain, kind != Jump) << mode.name << seed << " at " << k;
                }
                inChain = kind == ChainStart || kind == ChainMiddle;
            }
            EXPECT_FALSE(inChain);

            Drawing again = drawing;
            ASSERT_EQ(mode.optimize(again, {}, progress), OptimizeOutcome::Done);
            EXPECT_EQ(MarkedLines(again.VectorStream, {0, 0}), expected) << mode.name << seed;
            EXPECT_EQ(again.Bounds.MinX, drawing.Bounds.MinX);
            EXPECT_EQ(again.Bounds.MaxY, drawing.Bounds.MaxY);
        }
    }
}

} // namespace
} // namespace ondrel
