#include "nearest_neighbour_order.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ondrel {

namespace {

// A point where a waiting polygon may be entered.
struct Entry {
    BitPoint point;
    std::int32_t segment; // index in the grouped array; a higher index wins a tie
    bool atEnd;           // a single's end loses a tie to its start
};

// A k-d tree over the entry points, built once; placed polygons' entries are switched off.
// Nearest() answers exactly what the plain scan from the last index down answers: the
// smallest single-precision distance, then the highest segment index, then start before end.
class EntryTree {
public:
    explicit EntryTree(std::vector<Entry> entries)
        : items_(std::move(entries)), nodes_(items_.size()), dead_(items_.size(), 0)
    {
        order_.resize(items_.size());
        for (std::size_t k = 0; k < order_.size(); ++k)
            order_[k] = static_cast<std::int32_t>(k);
        Build(0, static_cast<std::int32_t>(items_.size()));
        position_.resize(items_.size());
        for (std::size_t k = 0; k < order_.size(); ++k)
            position_[order_[k]] = static_cast<std::int32_t>(k);
    }

    // The entry id of the nearest live entry, or -1 when none is left.
    std::int32_t Nearest(BitPoint from) const
    {
        Best best;
        Search(0, static_cast<std::int32_t>(items_.size()), from, best);
        return best.position < 0 ? -1 : order_[best.position];
    }

    const Entry& operator[](std::int32_t id) const { return items_[id]; }

    void Remove(std::int32_t id)
    {
        const std::int32_t at = position_[id];
        dead_[at] = 1;
        std::int32_t lo = 0;
        std::int32_t hi = static_cast<std::int32_t>(items_.size());
        for (;;) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            --nodes_[mid].alive;
            if (at == mid)
                return;
            if (at < mid)
                hi = mid;
            else
                lo = mid + 1;
        }
    }

private:
    struct Node {
        std::int16_t minX, maxX, minY, maxY;
        std::int32_t alive;
        bool splitOnY;
    };
    struct Best {
        float distance = std::numeric_limits<float>::infinity();
        std::int32_t segment = 0;
        bool atEnd = false;
        std::int32_t position = -1;
    };

    const Entry& At(std::int32_t position) const { return items_[order_[position]]; }

    void Build(std::int32_t lo, std::int32_t hi)
    {
        if (lo >= hi)
            return;
        Node node{32767, -32768, 32767, -32768, hi - lo, false};
        for (std::int32_t k = lo; k < hi; ++k) {
            const BitPoint p = At(k).point;
            node.minX = std::min(node.minX, p.x);
            node.maxX = std::max(node.maxX, p.x);
            node.minY = std::min(node.minY, p.y);
            node.maxY = std::max(node.maxY, p.y);
        }
        node.splitOnY = node.maxY - node.minY > node.maxX - node.minX;
        const std::int32_t mid = lo + (hi - lo) / 2;
        std::nth_element(order_.begin() + lo, order_.begin() + mid, order_.begin() + hi,
                         [&](std::int32_t a, std::int32_t b) {
                             return node.splitOnY ? items_[a].point.y < items_[b].point.y
                                                  : items_[a].point.x < items_[b].point.x;
                         });
        nodes_[mid] = node;
        Build(lo, mid);
        Build(mid + 1, hi);
    }

    void Search(std::int32_t lo, std::int32_t hi, BitPoint from, Best& best) const
    {
        if (lo >= hi)
            return;
        const std::int32_t mid = lo + (hi - lo) / 2;
        const Node& node = nodes_[mid];
        if (node.alive == 0)
            return;
        const double dx = std::max({0.0, double(node.minX) - from.x, double(from.x) - node.maxX});
        const double dy = std::max({0.0, double(node.minY) - from.y, double(from.y) - node.maxY});
        // Rounding to float never reorders distances, so a box whose nearest corner is
        // farther (after rounding) than the best cannot hold a winner; an equal one might.
        if (static_cast<float>(std::sqrt(dx * dx + dy * dy)) > best.distance)
            return;
        if (!dead_[mid]) {
            const Entry& entry = At(mid);
            const float d = PointDistance(from, entry.point);
            if (d < best.distance ||
                (d == best.distance && (entry.segment > best.segment ||
                                        (entry.segment == best.segment && best.atEnd && !entry.atEnd))))
                best = {d, entry.segment, entry.atEnd, mid};
        }
        const BitPoint split = At(mid).point;
        const bool lowFirst = node.splitOnY ? from.y < split.y : from.x < split.x;
        if (lowFirst) {
            Search(lo, mid, from, best);
            Search(mid + 1, hi, from, best);
        } else {
            Search(mid + 1, hi, from, best);
            Search(lo, mid, from, best);
        }
    }

    std::vector<Entry> items_;
    std::vector<Node> nodes_;           // by tree position: the node whose middle it is
    std::vector<std::uint8_t> dead_;    // by tree position
    std::vector<std::int32_t> order_;   // tree position -> entry id
    std::vector<std::int32_t> position_; // entry id -> tree position
};

bool StartsPolygon(SegmentKind kind)
{
    return kind == SegmentKind::Single || kind == SegmentKind::ChainFirst || kind == SegmentKind::LoopFirst;
}

bool EndsPolygon(SegmentKind kind)
{
    return kind == SegmentKind::Single || kind == SegmentKind::ChainLast || kind == SegmentKind::LoopLast;
}

} // namespace

bool SortSegments(SegmentArray& segments, OptimizerProgress& progress)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    progress.SetCaption("Sorting Vectors");
    progress.SetMaximum(last);
    if (progress.PumpEvents())
        return false;

    // Entry points, each segment's together, and the polygon around every segment.
    std::vector<Entry> entries;
    std::vector<std::int32_t> firstEntry(segments.size() + 1, 0);
    std::vector<std::int32_t> polygonFirst(segments.size(), 0), polygonLast(segments.size(), 0);
    for (std::int32_t k = 1; k <= last; ++k) {
        firstEntry[k] = static_cast<std::int32_t>(entries.size());
        const Segment& s = segments[k];
        switch (s.kind) {
        case SegmentKind::Single:
            entries.push_back({s.start, k, false});
            entries.push_back({s.end, k, true});
            break;
        case SegmentKind::ChainFirst:
        case SegmentKind::LoopFirst:
        case SegmentKind::LoopInner:
        case SegmentKind::LoopLast:
            entries.push_back({s.start, k, false});
            break;
        case SegmentKind::ChainLast:
            entries.push_back({s.end, k, true});
            break;
        default:
            break;
        }
        polygonFirst[k] = (StartsPolygon(s.kind) || k == 1) ? k : polygonFirst[k - 1];
    }
    firstEntry[last + 1] = static_cast<std::int32_t>(entries.size());
    for (std::int32_t k = last; k >= 1; --k)
        polygonLast[k] = (EndsPolygon(segments[k].kind) || k == last) ? k : polygonLast[k + 1];

    EntryTree tree(std::move(entries));
    std::vector<std::uint8_t> placed(segments.size(), 0);
    SegmentArray out;
    out.reserve(segments.size());
    out.push_back(segments[0]);
    auto place = [&](std::int32_t s, bool reversed) {
        Segment segment = segments[s];
        if (reversed)
            ReverseSegment(segment);
        out.push_back(segment);
        placed[s] = 1;
    };

    for (;;) {
        const std::int32_t id = tree.Nearest(out.back().end);
        if (id >= 0) {
            const Entry entry = tree[id];
            const std::int32_t k = entry.segment;
            const std::int32_t first = polygonFirst[k];
            const std::int32_t final = polygonLast[k];
            switch (segments[k].kind) {
            case SegmentKind::Single:
                place(k, entry.atEnd);
                break;
            case SegmentKind::ChainFirst:
                for (std::int32_t s = k; s <= final; ++s)
                    place(s, false);
                break;
            case SegmentKind::ChainLast:
                for (std::int32_t s = k; s >= first; --s)
                    place(s, true);
                break;
            default: // a loop, from the chosen vertex round to it again
                for (std::int32_t s = k; s <= final; ++s)
                    place(s, false);
                for (std::int32_t s = first; s < k; ++s)
                    place(s, false);
                break;
            }
            for (std::int32_t e = firstEntry[first]; e < firstEntry[final + 1]; ++e)
                tree.Remove(e);
        }
        const auto count = static_cast<std::int32_t>(out.size()) - 1;
        progress.SetPosition(count);
        if (progress.PumpEvents())
            return false;
        if (id < 0 || count == last)
            break;
    }
    // Segments no polygon rule could enter keep their order behind the placed ones.
    for (std::int32_t s = 1; s <= last; ++s)
        if (!placed[s])
            out.push_back(segments[s]);
    segments = std::move(out);
    return true;
}

void SaveSorted(const SegmentArray& segments, std::vector<VectorRecord>& stream)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    // Always open with a jump: a first mark without one would start wherever the head
    // happens to stand.
    bool joinNext = false;
    for (std::int32_t i = 1; i <= last; ++i) {
        const bool joined = joinNext;
        joinNext = i != last && segments[i].end == segments[i + 1].start;
        VectorKind kind;
        if (joined) {
            kind = joinNext ? ChainMiddle : ChainEnd;
        } else {
            WriteVectorRecord(stream, Jump, segments[i].start);
            kind = joinNext ? ChainStart : Single;
        }
        WriteVectorRecord(stream, kind, segments[i].end);
    }
}

} // namespace ondrel
