// The fast phases against the plain ones, record for record, on many seeded drawings.
#include "nearest_neighbour_order.h"
#include "optimizer.h"
#include "optimizer_drawings.h"
#include "optimizer_reference.h"
#include "savings_tour.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace ondrel {
namespace {

struct Sample {
    std::string name;
    Drawing drawing;
};

// Savings runs of the plain search are cubic: these stay at a few hundred pieces.
std::vector<Sample> Samples(int scale)
{
    std::vector<Sample> samples;
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const std::string s = std::to_string(seed);
        samples.push_back({"singles" + s, drawings::RandomSingles(20 * scale + int(seed) * 7, seed)});
        samples.push_back({"chains" + s, drawings::ChainsAndLoops(8 * scale, seed)});
        samples.push_back({"grid" + s, drawings::Grid(2 + scale + int(seed % 3), seed)});
        samples.push_back({"dashes" + s, drawings::DashesThroughCentre(2 + scale, seed)});
        samples.push_back({"symmetric" + s, drawings::Symmetric(3 * scale, seed)});
        samples.push_back({"dots" + s, drawings::Dots(10 * scale, seed, 300)});
        samples.push_back({"hatching" + s, drawings::Hatching(10 * scale, seed)});
        samples.push_back({"text" + s, drawings::Text(6 * scale, seed)});
        samples.push_back({"mixed" + s, drawings::Mixed(seed)});
        samples.push_back({"lattice" + s, drawings::LatticeLoops(4 * scale, seed)});
        samples.push_back({"edge of the field" + s, drawings::RandomSingles(10 * scale, seed + 50, 32767)});
        samples.push_back({"small" + s, drawings::RandomSingles(int(seed), seed + 100, 50)});
        samples.push_back({"back ray" + s, drawings::AroundTheBackRay(10 * scale, seed)});
    }
    return samples;
}

void ExpectSameRecords(const std::vector<VectorRecord>& expected, const std::vector<VectorRecord>& actual,
                       const std::string& name)
{
    ASSERT_EQ(expected.size(), actual.size()) << name;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        ASSERT_EQ(int(expected[k].kind), int(actual[k].kind)) << name << " record " << k;
        ASSERT_EQ(expected[k].x, actual[k].x) << name << " record " << k;
        ASSERT_EQ(expected[k].y, actual[k].y) << name << " record " << k;
    }
}

using Optimize = std::function<OptimizeOutcome(Drawing&, const FieldTransform&, OptimizerProgress&)>;
using Reference = std::function<std::vector<VectorRecord>(const Drawing&, const FieldTransform&)>;

void CompareRuns(const Optimize& fast, const Reference& plain, int scale)
{
    const FieldTransform fields[] = {{},
                                     {0.5f, 3000.0f, -1200.0f, true, false, false},
                                     {1.0f, -7.0f, 9.0f, false, true, true},
                                     {0.25f, 32767.0f, -32767.0f, false, false, false}};
    int n = 0;
    for (const Sample& sample : Samples(scale)) {
        const FieldTransform& field = fields[n++ % 4];
        const std::vector<VectorRecord> expected = plain(sample.drawing, field);
        Drawing drawing = sample.drawing;
        SilentProgress progress;
        const OptimizeOutcome outcome = fast(drawing, field, progress);
        ASSERT_EQ(outcome, sample.drawing.VectorStream.empty() ? OptimizeOutcome::Empty : OptimizeOutcome::Done);
        if (outcome == OptimizeOutcome::Done)
            ExpectSameRecords(expected, drawing.VectorStream, sample.name);
    }
}

TEST(OptimizerAgainstPlainProcedure, QuickAndDirtyGivesTheSameRecords)
{
    CompareRuns(OptimizeFast, reference::OptimizeFast, 6);
}

TEST(OptimizerAgainstPlainProcedure, SlowAndGoodGivesTheSameRecords)
{
    CompareRuns(OptimizeGood, reference::OptimizeGood, 3);
}

// A few thousand records: the quadratic plain procedures still manage.
TEST(OptimizerAgainstPlainProcedure, QuickAndDirtyOnLargerDrawings)
{
    const Drawing large[] = {drawings::RandomSingles(1500, 11), drawings::Grid(30, 12), drawings::Text(400, 13),
                             drawings::Hatching(1500, 14), drawings::ChainsAndLoops(500, 15)};
    for (const Drawing& drawing : large) {
        Drawing fast = drawing;
        SilentProgress progress;
        ASSERT_EQ(OptimizeFast(fast, {}, progress), OptimizeOutcome::Done);
        ExpectSameRecords(reference::OptimizeFast(drawing, {}), fast.VectorStream, "large");
    }
}

TEST(OptimizerAgainstPlainProcedure, SlowAndGoodOnLargerDrawings)
{
    // Enough pieces that the partner search works through several levels of its tree.
    const Drawing large[] = {drawings::RandomSingles(160, 21), drawings::Grid(12, 22),   drawings::Text(50, 23),
                             drawings::Hatching(160, 24),      drawings::AroundTheBackRay(160, 25),
                             drawings::Dots(160, 26, 2000)};
    for (const Drawing& drawing : large) {
        Drawing fast = drawing;
        SilentProgress progress;
        ASSERT_EQ(OptimizeGood(fast, {}, progress), OptimizeOutcome::Done);
        ExpectSameRecords(reference::OptimizeGood(drawing, {}), fast.VectorStream, "large");
    }
}

TEST(OptimizerAgainstPlainProcedure, GroupingGivesTheSameArray)
{
    for (const Sample& sample : Samples(8)) {
        SegmentArray fast = LoadSegments(sample.drawing, {});
        SegmentArray plain = reference::LoadSegments(sample.drawing, {});
        ASSERT_EQ(fast.size(), plain.size()) << sample.name;
        MakePolygons(fast);
        reference::MakePolygons(plain);
        for (std::size_t k = 0; k < fast.size(); ++k) {
            ASSERT_EQ(fast[k].kind, plain[k].kind) << sample.name << " segment " << k;
            ASSERT_TRUE(fast[k].start == plain[k].start && fast[k].end == plain[k].end)
                << sample.name << " segment " << k;
        }
    }
}

} // namespace
} // namespace ondrel
