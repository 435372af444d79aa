#include "savings_tour.h"

#include "savings_search.h"

#include <cmath>
#include <cstdlib>

namespace ondrel {

namespace {

// Cities 2k - 1 and 2k are the two ends of one piece.
std::int32_t Partner(std::int32_t city)
{
    return (city & 1) ? city + 1 : city - 1;
}

std::int32_t LoopLastOf(const SegmentArray& segments, std::int32_t s)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    while (s < last && segments[s].kind != SegmentKind::LoopLast)
        ++s;
    return s;
}

std::int32_t LoopFirstOf(const SegmentArray& segments, std::int32_t s)
{
    while (s > 1 && segments[s].kind != SegmentKind::LoopFirst)
        --s;
    return s;
}

// A fragment's pieces from one of its free ends: along the next links from its start, or
// along the prev links from its end (the fragment run backwards).
void WriteFragment(const std::vector<City>& cities, std::int32_t from, bool forwards, Tour& tour)
{
    for (std::int32_t c = from; c != 0;) {
        const std::int32_t exit = forwards ? cities[c].next : cities[c].prev;
        tour.push_back({cities[c].segment, cities[exit].segment});
        c = forwards ? cities[exit].next : cities[exit].prev;
    }
}

// The jump into every piece of the path: from the home point into the first, from each
// piece's exit into the next one's entry.
class Jumps {
public:
    void Append(BitPoint from, BitPoint to)
    {
        jumps_.push_back({from, to, PointDistance(from, to)});
    }

    // The least cost of putting v into a jump from a to b, (|av| + |vb|) - |ab| with each
    // distance and the whole rounded to single precision, and the first jump that has it.
    float Cheapest(BitPoint v, std::size_t& at) const
    {
        float best = 0.0f;
        for (std::size_t k = 0; k < jumps_.size(); ++k) {
            const Leg& j = jumps_[k];
            const auto cost = static_cast<float>(
                (double(PointDistance(j.from, v)) + double(PointDistance(v, j.to))) - double(j.length));
            if (k == 0 || cost < best) {
                best = cost;
                at = k;
            }
        }
        return best;
    }

    // A loop entered and left at v goes on jump k: the jump now ends at v, and a new one
    // leads from v to where jump k went.
    void InsertAt(std::size_t k, BitPoint v)
    {
        const BitPoint to = jumps_[k].to;
        jumps_[k] = {jumps_[k].from, v, PointDistance(jumps_[k].from, v)};
        jumps_.insert(jumps_.begin() + static_cast<std::ptrdiff_t>(k) + 1, {v, to, PointDistance(v, to)});
    }

private:
    struct Leg {
        BitPoint from;
        BitPoint to;
        float length;
    };
    std::vector<Leg> jumps_;
};

} // namespace

BitPoint CityPoint(const SegmentArray& segments, std::int32_t reference)
{
    if (reference > 0)
        return segments[reference].start;
    if (reference < 0)
        return segments[-reference].end;
    return segments[0].end;
}

std::vector<City> MakeCities(const SegmentArray& segments)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    std::vector<City> cities(1);
    for (std::int32_t s = 1; s <= last; ++s) {
        const SegmentKind kind = segments[s].kind;
        if (kind != SegmentKind::Single && kind != SegmentKind::ChainFirst)
            continue;
        const auto c = static_cast<std::int32_t>(cities.size());
        cities.push_back({s, 0, c + 1});
        if (kind == SegmentKind::ChainFirst)
            while (s < last && segments[s].kind != SegmentKind::ChainLast)
                ++s;
        cities.push_back({-s, c, 0});
    }
    return cities;
}

bool SolveTour(const SegmentArray& segments, std::vector<City>& cities, OptimizerProgress& progress)
{
    if (!EnterPhase(progress, "Solving TSP Problem"))
        return false;
    const auto count = static_cast<std::int32_t>(cities.size()) - 1;
    SavingsSearch search(segments, cities);

    // Each fragment is a run of pieces; only its two free ends matter while joining: which
    // of them is its start, and the other end of the fragment. joinedTo is the city on the
    // far side of a join.
    std::vector<std::int32_t> joinedTo(cities.size(), 0), otherEnd(cities.size(), 0);
    std::vector<std::uint8_t> isStart(cities.size(), 0);
    for (std::int32_t c = 1; c <= count; ++c) {
        otherEnd[c] = Partner(c);
        isStart[c] = cities[c].prev == 0;
    }

    std::int32_t i = -1, j = -1;
    bool found = search.Next(i, j);
    progress.SetMaximum(static_cast<int>(std::lrint(std::sqrt(count / 2.0) * 10.0)));
    std::int32_t merges = 0;
    while (found) {
        if (otherEnd[i] != j) { // two ends of one fragment would close a ring
            // Whatever the rule (start after end, end before start, or two starts or two
            // ends with j's fragment reversed), the new fragment runs between the two far
            // ends, and begins at j's far end exactly when i was a start.
            const std::int32_t a = otherEnd[i], b = otherEnd[j];
            const std::int32_t start = isStart[i] ? b : a;
            joinedTo[i] = j;
            joinedTo[j] = i;
            otherEnd[a] = b;
            otherEnd[b] = a;
            isStart[a] = start == a;
            isStart[b] = start == b;
            search.Retire(i);
            search.Retire(j);
            ++merges;
            progress.SetPosition(static_cast<int>(std::lrint(std::sqrt(double(merges)) * 10.0)));
            if (progress.PumpEvents())
                return false;
        }
        found = search.Next(i, j);
    }

    for (std::int32_t s = 1; s <= count; ++s) {
        if (joinedTo[s] != 0 || !isStart[s])
            continue;
        std::int32_t before = 0;
        for (std::int32_t e = s; e != 0;) {
            const std::int32_t x = Partner(e);
            cities[e].prev = before;
            cities[e].next = x;
            cities[x].prev = e;
            cities[x].next = joinedTo[x];
            before = x;
            e = joinedTo[x];
        }
    }
    return true;
}

Tour JoinFragments(const SegmentArray& segments, const std::vector<City>& cities)
{
    struct Fragment {
        std::int32_t start;
        std::int32_t end;
    };
    std::vector<Fragment> waiting;
    for (std::int32_t c = 1; c < static_cast<std::int32_t>(cities.size()); ++c) {
        if (cities[c].prev != 0)
            continue;
        std::int32_t end = c;
        while (cities[end].next != 0)
            end = cities[end].next;
        waiting.push_back({c, end});
    }
    Tour tour;
    if (waiting.empty())
        return tour;
    WriteFragment(cities, waiting.front().start, true, tour);
    std::int32_t tail = waiting.front().end;
    waiting.erase(waiting.begin());

    while (!waiting.empty()) {
        const BitPoint from = CityPoint(segments, cities[tail].segment);
        std::size_t best = 0;
        std::int32_t bestCity = 0;
        float bestDistance = 0.0f;
        for (std::size_t f = 0; f < waiting.size(); ++f) {
            for (const std::int32_t c : {waiting[f].start, waiting[f].end}) {
                const float d = PointDistance(from, CityPoint(segments, cities[c].segment));
                if (bestCity == 0 || d < bestDistance || (d == bestDistance && c < bestCity)) {
                    best = f;
                    bestCity = c;
                    bestDistance = d;
                }
            }
        }
        const bool forwards = bestCity == waiting[best].start;
        WriteFragment(cities, bestCity, forwards, tour);
        tail = forwards ? waiting[best].end : waiting[best].start;
        waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(best));
    }
    return tour;
}

void AddLoops(const SegmentArray& segments, Tour& tour)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    const BitPoint home = segments[0].end;
    Jumps jumps;
    BitPoint from = home;
    for (const TourPiece& piece : tour) {
        jumps.Append(from, CityPoint(segments, piece.entry));
        from = CityPoint(segments, piece.exit);
    }
    // Kept from loop to loop: with an empty path the first loop is entered at segment 1,
    // the first segment of the first loop when the drawing holds only loops.
    std::int32_t bestVertex = 1;
    for (std::int32_t s = 1; s <= last; ++s) {
        if (segments[s].kind != SegmentKind::LoopFirst)
            continue;
        const std::int32_t final = LoopLastOf(segments, s);
        if (tour.empty()) {
            // Nothing to compare: the loop becomes the whole path.
            tour.push_back({bestVertex, bestVertex});
            jumps.Append(home, CityPoint(segments, bestVertex));
            s = final;
            continue;
        }
        float best = 2e35f;
        std::size_t bestJump = 0;
        for (std::int32_t v = s; v <= final; ++v) {
            std::size_t at = 0;
            const float cost = jumps.Cheapest(segments[v].start, at);
            if (cost < best) {
                best = cost;
                bestJump = at;
                bestVertex = v;
            }
        }
        tour.insert(tour.begin() + static_cast<std::ptrdiff_t>(bestJump), {bestVertex, bestVertex});
        jumps.InsertAt(bestJump, segments[bestVertex].start);
        s = final;
    }
}

void SaveTour(const SegmentArray& segments, const Tour& tour, std::vector<VectorRecord>& stream)
{
    for (const TourPiece& piece : tour) {
        const std::int32_t a = piece.entry;
        const std::int32_t b = piece.exit;
        const std::int32_t n = std::abs(a);
        switch (segments[n].kind) {
        case SegmentKind::Single:
            WriteVectorRecord(stream, Jump, a > 0 ? segments[n].start : segments[n].end);
            WriteVectorRecord(stream, Single, a > 0 ? segments[n].end : segments[n].start);
            break;
        case SegmentKind::ChainFirst: // entered at its first segment, left at its last
            WriteVectorRecord(stream, Jump, segments[n].start);
            for (std::int32_t k = n;; ++k) {
                const VectorKind kind = k == n ? ChainStart : k == -b ? ChainEnd : ChainMiddle;
                WriteVectorRecord(stream, kind, segments[k].end);
                if (segments[k].kind == SegmentKind::ChainLast)
                    break;
            }
            break;
        case SegmentKind::ChainLast: // run backwards from its last segment
            WriteVectorRecord(stream, Jump, segments[n].end);
            for (std::int32_t k = n;; --k) {
                const VectorKind kind = k == n ? ChainStart : k == b ? ChainEnd : ChainMiddle;
                WriteVectorRecord(stream, kind, segments[k].start);
                if (segments[k].kind == SegmentKind::ChainFirst)
                    break;
            }
            break;
        default: { // a closed loop entered at vertex n, round to it again
            const std::int32_t first = LoopFirstOf(segments, n);
            const std::int32_t final = LoopLastOf(segments, n);
            const std::int32_t length = final - first + 1;
            WriteVectorRecord(stream, Jump, segments[n].start);
            for (std::int32_t m = 0; m < length; ++m) {
                const std::int32_t k = n + m <= final ? n + m : n + m - length;
                const VectorKind kind = m == 0 ? ChainStart : m == length - 1 ? ChainEnd : ChainMiddle;
                WriteVectorRecord(stream, kind, segments[k].end);
            }
            break;
        }
        }
    }
}

} // namespace ondrel
