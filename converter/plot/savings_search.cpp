#include "savings_search.h"

#include "savings_tour.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ondrel {

namespace {

// A computed saving exceeds the bound of its box by far less than this (the roundings to
// single precision of the distance and of the saving, at most a few hundredths).
constexpr double BoundMargin = 1.0;

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
    angle_.resize(size);
    unitX_.resize(size);
    unitY_.resize(size);
    for (std::size_t c = 0; c < size; ++c) {
        const BitPoint p = CityPoint(segments, cities[c].segment);
        x_[c] = p.x;
        y_[c] = p.y;
        homeDistance_[c] = PointDistance(home, p);
        const double dx = double(p.x) - home.x, dy = double(p.y) - home.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        angle_[c] = std::atan2(dy, dx);
        unitX_[c] = r > 0 ? dx / r : 1.0;
        unitY_[c] = r > 0 ? dy / r : 0.0;
    }
    free_.assign(size, 1);
    free_[0] = 0;

    order_.resize(size > 0 ? size - 1 : 0);
    std::iota(order_.begin(), order_.end(), 1);
    leafOf_.assign(size, -1);
    if (!order_.empty()) {
        boxes_.reserve(4 * order_.size() / LeafSize + 1);
        Build(0, static_cast<std::int32_t>(order_.size()), -1);
    }
    orderX_.resize(order_.size());
    orderY_.resize(order_.size());
    orderHome_.resize(order_.size());
    for (std::size_t k = 0; k < order_.size(); ++k) {
        orderX_[k] = x_[order_[k]];
        orderY_[k] = y_[order_[k]];
        orderHome_[k] = homeDistance_[order_[k]];
    }

    lists_.resize(size * ListLength);
    listSize_.assign(size, 0);
    listAt_.assign(size, 0);
    row_.resize(LeafSize);
    for (std::size_t c = 1; c + 1 < size; ++c)
        Refill(static_cast<std::int32_t>(c));
}

std::int32_t SavingsSearch::Build(std::int32_t begin, std::int32_t end, std::int32_t parent)
{
    const auto at = static_cast<std::int32_t>(boxes_.size());
    Box box{};
    box.minAngle = box.minRadius = 1e300;
    box.maxAngle = box.maxRadius = -1e300;
    box.freeCount = end - begin;
    box.begin = begin;
    box.end = end;
    box.parent = parent;
    std::int32_t lowCity = 0, highCity = 0;
    for (std::int32_t k = begin; k < end; ++k) {
        const std::int32_t c = order_[k];
        if (angle_[c] < box.minAngle) {
            box.minAngle = angle_[c];
            lowCity = c;
        }
        if (angle_[c] > box.maxAngle) {
            box.maxAngle = angle_[c];
            highCity = c;
        }
        box.minRadius = std::min(box.minRadius, homeDistance_[c]);
        box.maxRadius = std::max(box.maxRadius, homeDistance_[c]);
        box.maxCity = std::max(box.maxCity, c);
    }
    box.lowX = unitX_[lowCity];
    box.lowY = unitY_[lowCity];
    box.highX = unitX_[highCity];
    box.highY = unitY_[highCity];
    boxes_.push_back(box);
    if (end - begin <= LeafSize) {
        for (std::int32_t k = begin; k < end; ++k)
            leafOf_[order_[k]] = at;
        return at;
    }
    // Halve along the longer side: the arc at the outer radius, or the radial extent.
    const bool byAngle = (box.maxAngle - box.minAngle) * box.maxRadius >= box.maxRadius - box.minRadius;
    const std::vector<double>& axis = byAngle ? angle_ : homeDistance_;
    const std::int32_t middle = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + middle, order_.begin() + end,
                     [&](std::int32_t a, std::int32_t b) { return axis[a] < axis[b] || (axis[a] == axis[b] && a < b); });
    const std::int32_t low = Build(begin, middle, at);
    const std::int32_t high = Build(middle, end, at);
    boxes_[at].low = low;
    boxes_[at].high = high;
    return at;
}

double SavingsSearch::Bound(std::int32_t city, const Box& box) const
{
    // The saving with a partner at radius r and angle a away from the city's direction is
    // h + r - sqrt((r - h)^2 + r h |u(a) - u(0)|^2), with h the city's home distance; it rises
    // with r and falls with a. The nearest angle of the box is one of its two ends unless
    // the city's direction lies between them.
    double chord = 0.0;
    if (angle_[city] < box.minAngle || angle_[city] > box.maxAngle) {
        const double ux = unitX_[city], uy = unitY_[city];
        const double low = (box.lowX - ux) * (box.lowX - ux) + (box.lowY - uy) * (box.lowY - uy);
        const double high = (box.highX - ux) * (box.highX - ux) + (box.highY - uy) * (box.highY - uy);
        chord = std::min(low, high);
    }
    const double h = homeDistance_[city], r = box.maxRadius;
    return h + r - std::sqrt((r - h) * (r - h) + r * h * chord);
}

void SavingsSearch::Retire(std::int32_t city)
{
    if (!free_[city])
        return;
    free_[city] = 0;
    for (std::int32_t b = leafOf_[city]; b >= 0; b = boxes_[b].parent)
        --boxes_[b].freeCount;
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

void SavingsSearch::Refill(std::int32_t city)
{
    // The two ends of one piece (cities 2k - 1 and 2k) never pair.
    const std::int32_t partner = (city & 1) ? city + 1 : 0;
    Candidate* list = &lists_[static_cast<std::size_t>(city) * ListLength];
    int size = 0;
    // Worse: a lower saving, or the same saving with a later partner (a later j loses a tie).
    const auto worse = [](const Candidate& a, const Candidate& b) {
        return a.saving < b.saving || (a.saving == b.saving && a.partner > b.partner);
    };
    // The saving a box must be able to reach: above 0, and once the list is full at least
    // its last entry.
    const auto floor = [&] { return size == ListLength ? double(list[ListLength - 1].saving) : 0.0; };
    const auto reachable = [&](std::int32_t b) {
        const Box& box = boxes_[b];
        return box.freeCount > 0 && box.maxCity > city;
    };

    // Depth first, the half with the higher bound first; a box is searched only while its
    // bound can still beat the list.
    toSearch_.clear();
    if (!boxes_.empty() && reachable(0))
        toSearch_.emplace_back(Bound(city, boxes_[0]), 0);
    while (!toSearch_.empty()) {
        const auto [bound, b] = toSearch_.back();
        toSearch_.pop_back();
        if (bound + BoundMargin < floor())
            continue;
        const Box& box = boxes_[b];
        if (box.low >= 0) {
            const double low = reachable(box.low) ? Bound(city, boxes_[box.low]) : -1e300;
            const double high = reachable(box.high) ? Bound(city, boxes_[box.high]) : -1e300;
            const auto [first, firstBound, second, secondBound] =
                low >= high ? std::tuple(box.low, low, box.high, high) : std::tuple(box.high, high, box.low, low);
            if (secondBound + BoundMargin >= floor())
                toSearch_.emplace_back(secondBound, second);
            if (firstBound + BoundMargin >= floor())
                toSearch_.emplace_back(firstBound, first);
            continue;
        }
        const auto n = static_cast<std::size_t>(box.end - box.begin);
        SavingsRow(orderX_.data() + box.begin, orderY_.data() + box.begin, orderHome_.data() + box.begin, n,
                   x_[city], y_[city], homeDistance_[city], row_.data());
        float least = static_cast<float>(floor());
        for (std::size_t k = 0; k < n; ++k) {
            // Most savings fall short of the list: that test comes first.
            if (row_[k] < least)
                continue;
            const Candidate candidate{row_[k], order_[box.begin + static_cast<std::int32_t>(k)]};
            if (!(candidate.saving > 0.0f) || !(candidate.saving < previousMaximum_))
                continue;
            if (candidate.partner <= city || !free_[candidate.partner] || candidate.partner == partner)
                continue;
            if (size == ListLength && !worse(list[ListLength - 1], candidate))
                continue;
            int at = size < ListLength ? size++ : ListLength - 1;
            while (at > 0 && worse(list[at - 1], candidate)) {
                list[at] = list[at - 1];
                --at;
            }
            list[at] = candidate;
            least = static_cast<float>(floor());
        }
    }
    listSize_[city] = static_cast<std::uint8_t>(size);
    listAt_[city] = 0;
    if (size > 0)
        Push(city, list[0]);
}

} // namespace ondrel
