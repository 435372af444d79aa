// The search behind "Solving TSP Problem": the pairs of free cities in falling order of
// saving, as a full rescan of all pairs after every join would find them, without the rescan.
#pragma once

#include "optimizer_segments.h"

#include <cstdint>
#include <vector>

namespace ondrel {

// The plain search takes the largest saving strictly between 0 and the previous maximum,
// the first pair in scan order (i ascending, then j) on a tie, and lowers the previous
// maximum to it. Cities only ever stop being free and the maximum only falls, so a pair
// once out of reach stays out of reach: each free city keeps a short list of its best
// partners above it in index order, renewed by a full scan only when the list runs dry,
// and a heap orders the cities by the head of their list.
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
    static constexpr int ListLength = 12;

    void Advance(std::int32_t city);
    void Refill(std::int32_t city);
    void Push(std::int32_t city, const Candidate& candidate);
    void Compact();

    float previousMaximum_ = 1e30f;
    std::vector<double> x_, y_, homeDistance_; // by city
    std::vector<std::uint8_t> free_;
    // The free cities in index order with their coordinates; a retired city stays until the
    // next compaction with a home distance so negative that no saving with it is positive.
    std::vector<std::int32_t> active_;
    std::vector<std::int32_t> activePosition_;
    std::vector<double> activeX_, activeY_, activeHome_;
    std::size_t retiredInActive_ = 0;
    std::vector<float> row_;
    std::vector<Candidate> lists_; // ListLength per city
    std::vector<std::uint8_t> listSize_, listAt_;
    std::vector<Head> heap_;
    std::int32_t pendingAdvance_ = -1;
};

} // namespace ondrel
