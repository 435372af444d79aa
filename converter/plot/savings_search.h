// The search behind "Solving TSP Problem": the pairs of free cities in falling order of
// saving, as a full rescan of all pairs after every join would find them, without the rescan.
#pragma once

#include "optimizer_segments.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ondrel {

// The plain search takes the largest saving strictly between 0 and the previous maximum,
// the first pair in scan order (i ascending, then j) on a tie, and lowers the previous
// maximum to it. Cities only ever stop being free and the maximum only falls, so a pair
// once out of reach stays out of reach: each free city keeps a short list of its best
// partners above it in index order, renewed only when the list runs dry, and a heap orders
// the cities by the head of their list.
//
// A list is renewed from a 2-d tree over the cities in polar coordinates around the home
// point. The saving grows with the partner's distance from home and falls as its direction
// turns away from the city's, so a box of angles and radii cannot hold a saving above the
// one at its largest radius and nearest angle; boxes that cannot beat the list's last entry
// are not searched. The list is the one a scan of all cities gives: the best savings, the
// lower partner first on a tie.
class SavingsSearch {
public:
    SavingsSearch(const SegmentArray& segments, const std::vector<City>& cities);

    // The next pair (i < j), or false when no pair with a positive saving is left.
    bool Next(std::int32_t& i, std::int32_t& j);

    // The city was joined and is no longer a free end.
    void Retire(std::int32_t city);

private:
    struct Candidate {
        float saving;
        std::int32_t partner;
    };
    struct Head {
        float saving;
        std::int32_t i;
        std::int32_t j;
    };
    // A box of the tree: the cities [begin, end) of the tree order, which lie within an
    // angle and a radius around the home point.
    struct Box {
        double minAngle, maxAngle; // counter-clockwise from +x, in [-pi, pi]
        double minRadius, maxRadius;
        double lowX, lowY, highX, highY; // unit vectors at the two angles
        std::int32_t maxCity;   // the highest city index in it
        std::int32_t freeCount; // its cities that are still free
        std::int32_t begin, end;
        std::int32_t low = -1, high = -1; // the two halves; -1 for a leaf
        std::int32_t parent = -1;
    };
    static constexpr int ListLength = 12;
    static constexpr std::int32_t LeafSize = 32;

    std::int32_t Build(std::int32_t begin, std::int32_t end, std::int32_t parent);
    // The bound on the savings of city with the cities of box.
    double Bound(std::int32_t city, const Box& box) const;
    void Advance(std::int32_t city);
    void Refill(std::int32_t city);
    void Push(std::int32_t city, const Candidate& candidate);

    float previousMaximum_ = 1e30f;
    std::vector<double> x_, y_, homeDistance_; // by city
    std::vector<double> angle_, unitX_, unitY_;  // direction from the home point, by city
    std::vector<std::uint8_t> free_;

    std::vector<Box> boxes_;               // boxes_[0] is the whole set
    std::vector<std::int32_t> order_;      // cities in tree order
    std::vector<double> orderX_, orderY_, orderHome_;
    std::vector<std::int32_t> leafOf_;     // by city
    std::vector<std::pair<double, std::int32_t>> toSearch_; // boxes still to search, with their bounds
    std::vector<float> row_;

    std::vector<Candidate> lists_; // ListLength per city
    std::vector<std::uint8_t> listSize_, listAt_;
    std::vector<Head> heap_;
    std::int32_t pendingAdvance_ = -1;
};

} // namespace ondrel
