// "Quick and dirty": the polygons in greedy nearest-entry order.
#pragma once

#include "optimizer_progress.h"
#include "optimizer_segments.h"

#include <vector>

namespace ondrel {

// Phase "Sorting Vectors". From where the last placed segment ends (the home point at
// first) takes the nearest polygon that may be entered there and places all of it: a single
// at either end, an open chain at its first or last segment (then run backwards), a closed
// loop at any vertex. Among equal distances the highest index wins, and for a single its
// start. Returns false when the operator aborted; the array is then unchanged.
bool SortSegments(SegmentArray& segments, OptimizerProgress& progress);

// Phase "Save Vectors" of this mode: writes the ordered array as records in bits, joining
// segments into one chain wherever one ends where the next begins. The stream always opens
// with a jump, even when the first segment starts at the home point.
void SaveSorted(const SegmentArray& segments, std::vector<VectorRecord>& stream);

} // namespace ondrel
