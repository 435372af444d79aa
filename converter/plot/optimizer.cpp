#include "optimizer.h"

#include "nearest_neighbour_order.h"
#include "optimizer_segments.h"
#include "savings_tour.h"

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace ondrel {

namespace {

class CloseWhenDone {
public:
    explicit CloseWhenDone(OptimizerProgress& progress) : progress_(progress) {}
    ~CloseWhenDone() { progress_.Close(); }
    CloseWhenDone(const CloseWhenDone&) = delete;
    CloseWhenDone& operator=(const CloseWhenDone&) = delete;

private:
    OptimizerProgress& progress_;
};

// The frame is (x - centre) x scale per bound; under "XY - Flip" bounds and centre are both
// held exchanged, so the pairing stays right.
void FrameToBits(Drawing& drawing)
{
    const long double scale = drawing.DrawingScale;
    const long double cx = drawing.DrawingCenter.x;
    const long double cy = drawing.DrawingCenter.y;
    DrawingBounds& b = drawing.Bounds;
    b.MinX = static_cast<float>((b.MinX - cx) * scale);
    b.MaxX = static_cast<float>((b.MaxX - cx) * scale);
    b.MinY = static_cast<float>((b.MinY - cy) * scale);
    b.MaxY = static_cast<float>((b.MaxY - cy) * scale);
    drawing.DrawingCenter = {0.0f, 0.0f};
    drawing.DrawingScale = 1.0f;
}

// The phases of a run in order. Once one has seen the abort, each later phase only opens
// its frame (caption, pump, abort test) and returns, as a phase does that finds the flag set.
class PhaseSequence {
public:
    explicit PhaseSequence(OptimizerProgress& progress) : progress_(progress) {}

    // A phase with the plain frame before its work.
    void Framed(std::string_view caption, const std::function<void()>& work)
    {
        if (!EnterPhase(progress_, caption) || aborted_) {
            aborted_ = true;
            return;
        }
        work();
    }

    // A phase that opens its own frame and pumps on its way; false when it saw the abort.
    void OwnFrame(std::string_view caption, const std::function<bool()>& work)
    {
        if (aborted_)
            EnterPhase(progress_, caption);
        else
            aborted_ = !work();
    }

    bool Aborted() const { return aborted_; }

private:
    OptimizerProgress& progress_;
    bool aborted_ = false;
};

using ModePhases = std::function<void(PhaseSequence&, SegmentArray&, std::vector<VectorRecord>&)>;

// What both modes share: the checks, "Load Vectors" and "Make Polygons", then the mode's own
// phases. The drawing is replaced only when every phase has run: emptying it as soon as it
// is loaded would lose it to an abort or a range error.
OptimizeOutcome Optimize(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress,
                         const ModePhases& modePhases)
{
    CloseWhenDone closeWhenDone(progress);
    if (drawing.VectorCount() > MaxOptimizerVectors) {
        progress.ShowError("More than 30000 vectors!");
        return OptimizeOutcome::TooManyVectors;
    }
    if (drawing.VectorCount() <= 0)
        return OptimizeOutcome::Empty;
    progress.ClearAbort();
    progress.SetPosition(0);

    PhaseSequence phases(progress);
    SegmentArray segments;
    phases.Framed("Load Vectors", [&] { segments = LoadSegments(drawing, field); });
    phases.Framed("Make Polygons", [&] { MakePolygons(segments); });
    std::vector<VectorRecord> stream;
    modePhases(phases, segments, stream);
    if (phases.Aborted())
        return OptimizeOutcome::Aborted;
    drawing.VectorStream = std::move(stream);
    FrameToBits(drawing);
    return OptimizeOutcome::Done;
}

} // namespace

OptimizeOutcome OptimizeGood(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress)
{
    return Optimize(drawing, field, progress,
                    [&](PhaseSequence& phases, SegmentArray& segments, std::vector<VectorRecord>& stream) {
                        std::vector<City> cities;
                        Tour tour;
                        phases.Framed("Make Citys", [&] { cities = MakeCities(segments); });
                        phases.OwnFrame("Solving TSP Problem", [&] { return SolveTour(segments, cities, progress); });
                        phases.Framed("Add Loops", [&] {
                            tour = JoinFragments(segments, cities);
                            AddLoops(segments, tour);
                        });
                        phases.Framed("Save Vectors", [&] { SaveTour(segments, tour, stream); });
                    });
}

OptimizeOutcome OptimizeFast(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress)
{
    return Optimize(drawing, field, progress,
                    [&](PhaseSequence& phases, SegmentArray& segments, std::vector<VectorRecord>& stream) {
                        phases.OwnFrame("Sorting Vectors", [&] { return SortSegments(segments, progress); });
                        phases.Framed("Save Vectors", [&] { SaveSorted(segments, stream); });
                    });
}

} // namespace ondrel
