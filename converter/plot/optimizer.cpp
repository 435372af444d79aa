#include "optimizer.h"

#include "nearest_neighbour_order.h"
#include "optimizer_segments.h"
#include "savings_tour.h"

#include <functional>
#include <initializer_list>
#include <string_view>

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

// What both modes share: the checks, "Load Vectors" and "Make Polygons", then the mode's
// own phases. The drawing is replaced only when every phase has run; after an abort each
// remaining phase still shows its caption and pumps once, as it would on its first test.
using ModePhases = std::function<bool(SegmentArray&, std::vector<VectorRecord>&, std::string_view&)>;

OptimizeOutcome Run(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress,
                    std::initializer_list<std::string_view> modeCaptions, const ModePhases& modePhases)
{
    CloseWhenDone closeWhenDone(progress);
    if (drawing.VectorCount() > MaxOptimizerVectors) {
        progress.ShowError("More than 30000 vectors!");
        return OptimizeOutcome::TooManyVectors;
    }
    if (drawing.VectorCount() <= 0)
        return OptimizeOutcome::Empty;
    progress.ClearAbort();

    auto abortRest = [&](std::string_view from) {
        bool after = from.empty();
        for (std::string_view caption : modeCaptions) {
            if (after)
                EnterPhase(progress, caption);
            after = after || caption == from;
        }
        return OptimizeOutcome::Aborted;
    };
    progress.SetPosition(0);
    if (!EnterPhase(progress, "Load Vectors")) {
        EnterPhase(progress, "Make Polygons");
        return abortRest({});
    }
    SegmentArray segments = LoadSegments(drawing, field);
    if (!EnterPhase(progress, "Make Polygons"))
        return abortRest({});
    MakePolygons(segments);

    std::vector<VectorRecord> stream;
    std::string_view abortedIn;
    if (!modePhases(segments, stream, abortedIn))
        return abortRest(abortedIn);
    drawing.VectorStream = std::move(stream);
    FrameToBits(drawing);
    return OptimizeOutcome::Done;
}

} // namespace

OptimizeOutcome OptimizeGood(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress)
{
    return Run(drawing, field, progress, {"Make Citys", "Solving TSP Problem", "Add Loops", "Save Vectors"},
               [&](SegmentArray& segments, std::vector<VectorRecord>& stream, std::string_view& abortedIn) {
                   abortedIn = "Make Citys";
                   if (!EnterPhase(progress, abortedIn))
                       return false;
                   std::vector<City> cities = MakeCities(segments);
                   abortedIn = "Solving TSP Problem";
                   if (!SolveTour(segments, cities, progress))
                       return false;
                   abortedIn = "Add Loops";
                   if (!EnterPhase(progress, abortedIn))
                       return false;
                   Tour tour = JoinFragments(segments, cities);
                   AddLoops(segments, tour);
                   abortedIn = "Save Vectors";
                   if (!EnterPhase(progress, abortedIn))
                       return false;
                   SaveTour(segments, tour, stream);
                   return true;
               });
}

OptimizeOutcome OptimizeFast(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress)
{
    return Run(drawing, field, progress, {"Sorting Vectors", "Save Vectors"},
               [&](SegmentArray& segments, std::vector<VectorRecord>& stream, std::string_view& abortedIn) {
                   abortedIn = "Sorting Vectors";
                   if (!SortSegments(segments, progress))
                       return false;
                   abortedIn = "Save Vectors";
                   if (!EnterPhase(progress, abortedIn))
                       return false;
                   SaveSorted(segments, stream);
                   return true;
               });
}

} // namespace ondrel
