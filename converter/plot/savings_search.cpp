#include "savings_search.h"

#include "savings_tour.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ondrel {

namespace {

constexpr double RetiredHomeDistance = -1e30;

// Heap order: the larger saving first, then the first pair in scan order.
bool Before(const auto& a, const auto& b)
{
    if (a.saving != b.saving)
        return a.saving > b.saving;
    if (a.i != b.i)
        return a.i < b.i;
    return a.j < b.j;
}

// savings[k] = ((home distance of i + home distance of k) - distance i..k), each distance
// rounded to float first and the whole once more: the sum is exact in double, so this is the
// value rounded once, as a single expression in extended precision gives it.
void SavingsRow(const double* x, const double* y, const double* home, std::size_t n, double xi, double yi,
                double homeI, float* savings)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128d xI = _mm_set1_pd(xi);
    const __m128d yI = _mm_set1_pd(yi);
    const __m128d hI = _mm_set1_pd(homeI);
    auto two = [&](std::size_t at) {
        const __m128d dx = _mm_sub_pd(_mm_loadu_pd(x + at), xI);
        const __m128d dy = _mm_sub_pd(_mm_loadu_pd(y + at), yI);
        const __m128d d = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)));
        const __m128d rounded = _mm_cvtps_pd(_mm_cvtpd_ps(d));
        return _mm_cvtpd_ps(_mm_sub_pd(_mm_add_pd(hI, _mm_loadu_pd(home + at)), rounded));
    };
    for (; k + 4 <= n; k += 4)
        _mm_storeu_ps(savings + k, _mm_movelh_ps(two(k), two(k + 2)));
#endif
    for (; k < n; ++k) {
        const double dx = x[k] - xi;
        const double dy = y[k] - yi;
        const auto d = static_cast<float>(std::sqrt(dx * dx + dy * dy));
        savings[k] = static_cast<float>((homeI + home[k]) - double(d));
    }
}

} // namespace

SavingsSearch::SavingsSearch(const SegmentArray& segments, const std::vector<City>& cities)
{
    const std::size_t size = cities.size();
    const BitPoint home = segments[0].end;
    x_.resize(size);
    y_.resize(size);
    homeDistance_.resize(size);
    for (std::size_t c = 0; c < size; ++c) {
        const BitPoint p = CityPoint(segments, cities[c].segment);
        x_[c] = p.x;
        y_[c] = p.y;
        homeDistance_[c] = PointDistance(home, p);
    }
    free_.assign(size, 1);
    free_[0] = 0;
    activePosition_.assign(size, -1);
    Compact();
    lists_.resize(size * ListLength);
    listSize_.assign(size, 0);
    listAt_.assign(size, 0);
    row_.resize(size);
    for (std::size_t c = 1; c + 1 < size; ++c)
        Refill(static_cast<std::int32_t>(c));
}

void SavingsSearch::Retire(std::int32_t city)
{
    if (!free_[city])
        return;
    free_[city] = 0;
    activeHome_[activePosition_[city]] = RetiredHomeDistance;
    ++retiredInActive_;
}

bool SavingsSearch::Next(std::int32_t& i, std::int32_t& j)
{
    if (pendingAdvance_ >= 0 && free_[pendingAdvance_])
        Advance(pendingAdvance_);
    pendingAdvance_ = -1;
    while (!heap_.empty()) {
        const Head top = heap_.front();
        std::pop_heap(heap_.begin(), heap_.end(), [](const Head& a, const Head& b) { return Before(b, a); });
        heap_.pop_back();
        if (!free_[top.i])
            continue;
        if (free_[top.j] && top.saving < previousMaximum_) {
            previousMaximum_ = top.saving;
            i = top.i;
            j = top.j;
            // The pair is out of reach from now on; the city's next partner is looked up
            // only if the city is still free at the next search.
            pendingAdvance_ = top.i;
            return true;
        }
        Advance(top.i);
    }
    previousMaximum_ = 0.0f;
    return false;
}

void SavingsSearch::Advance(std::int32_t city)
{
    const Candidate* list = &lists_[static_cast<std::size_t>(city) * ListLength];
    std::uint8_t& at = listAt_[city];
    while (at < listSize_[city] && !(free_[list[at].partner] && list[at].saving < previousMaximum_))
        ++at;
    if (at < listSize_[city])
        Push(city, list[at]);
    else
        Refill(city);
}

void SavingsSearch::Push(std::int32_t city, const Candidate& candidate)
{
    heap_.push_back({candidate.saving, city, candidate.partner});
    std::push_heap(heap_.begin(), heap_.end(), [](const Head& a, const Head& b) { return Before(b, a); });
}

void SavingsSearch::Compact()
{
    active_.clear();
    activeX_.clear();
    activeY_.clear();
    activeHome_.clear();
    for (std::size_t c = 1; c < free_.size(); ++c) {
        if (!free_[c])
            continue;
        activePosition_[c] = static_cast<std::int32_t>(active_.size());
        active_.push_back(static_cast<std::int32_t>(c));
        activeX_.push_back(x_[c]);
        activeY_.push_back(y_[c]);
        activeHome_.push_back(homeDistance_[c]);
    }
    retiredInActive_ = 0;
}

void SavingsSearch::Refill(std::int32_t city)
{
    if (2 * retiredInActive_ > active_.size())
        Compact();
    const std::size_t from =
        static_cast<std::size_t>(std::upper_bound(active_.begin(), active_.end(), city) - active_.begin());
    const std::size_t n = active_.size() - from;
    SavingsRow(activeX_.data() + from, activeY_.data() + from, activeHome_.data() + from, n, x_[city], y_[city],
               homeDistance_[city], row_.data());

    // The two ends of one piece (cities 2k - 1 and 2k) never pair.
    const std::int32_t partner = (city & 1) ? city + 1 : 0;
    Candidate* list = &lists_[static_cast<std::size_t>(city) * ListLength];
    int size = 0;
    float floor = 0.0f; // a candidate must beat it strictly: a later j loses a tie
    for (std::size_t k = 0; k < n; ++k) {
        const float saving = row_[k];
        if (!(saving > floor) || !(saving < previousMaximum_))
            continue;
        const std::int32_t j = active_[from + k];
        if (j == partner)
            continue;
        int at = size < ListLength ? size++ : ListLength - 1;
        while (at > 0 && list[at - 1].saving < saving) {
            list[at] = list[at - 1];
            --at;
        }
        list[at] = {saving, j};
        if (size == ListLength)
            floor = list[ListLength - 1].saving;
    }
    listSize_[city] = static_cast<std::uint8_t>(size);
    listAt_[city] = 0;
    if (size > 0)
        Push(city, list[0]);
}

} // namespace ondrel
