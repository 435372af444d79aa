// "Slow and good": singles and open chains joined into one open path by the savings rule,
// closed loops inserted where they cost least, the path written back as records.
#pragma once

#include "optimizer_progress.h"
#include "optimizer_segments.h"

#include <vector>

namespace ondrel {

// A piece of the path, entered through one end point and left through the other, each given
// as a city's segment reference (+n the start of segment n, -n its end, 0 the home point).
// A closed loop is entered and left at the same vertex (+v, +v).
struct TourPiece {
    std::int32_t entry = 0;
    std::int32_t exit = 0;
    bool operator==(const TourPiece&) const = default;
};
using Tour = std::vector<TourPiece>;

// The point a city's segment reference names.
BitPoint CityPoint(const SegmentArray& segments, std::int32_t reference);

// Phase "Make Citys": city 0 the home city, then for every single and every open chain in
// array order its start (prev 0) and its end (next 0) as a fragment of two cities.
std::vector<City> MakeCities(const SegmentArray& segments);

// Phase "Solving TSP Problem": joins fragments end to end, always taking the pair of free
// ends with the largest saving below the previous one (strictly, and the first pair in
// scan order on a tie) and rejecting pairs within one fragment. Leaves the fragments in
// the cities' prev / next links. Returns false when the operator aborted.
bool SolveTour(const SegmentArray& segments, std::vector<City>& cities, OptimizerProgress& progress);

// The path: the fragment that begins at the lowest-numbered free start, followed by every
// other fragment, each entered at whichever of its free ends is nearest to where the path
// stops (the lower city index on a tie), so that no fragment is lost. With one fragment
// this is exactly that fragment.
Tour JoinFragments(const SegmentArray& segments, const std::vector<City>& cities);

// Phase "Add Loops": every closed loop in array order becomes a piece entered and left at
// the vertex, and placed on the jump (from the home point into the first piece, or into a
// later piece), where its insertion cost is least; the first vertex, then the first jump,
// wins a tie. With an empty path the first loop is entered at the start of segment 1.
void AddLoops(const SegmentArray& segments, Tour& tour);

// Phase "Save Vectors": a jump into every piece and its marks, chains and loops with the
// chain kinds.
void SaveTour(const SegmentArray& segments, const Tour& tour, std::vector<VectorRecord>& stream);

} // namespace ondrel
