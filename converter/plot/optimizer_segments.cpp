#include "optimizer_segments.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_set>
#include <utility>

namespace ondrel {

namespace {

std::uint32_t PackPoint(BitPoint p)
{
    return (std::uint32_t{static_cast<std::uint16_t>(p.x)} << 16) | static_cast<std::uint16_t>(p.y);
}

// The same key for a segment and for its reverse.
std::uint64_t UndirectedKey(BitPoint a, BitPoint b)
{
    const std::uint64_t pa = PackPoint(a), pb = PackPoint(b);
    return pa < pb ? (pa << 32) | pb : (pb << 32) | pa;
}

// (value - centre) x scale in extended precision, rounded half to even, range checked.
std::int16_t ToBits(float value, long double centre, long double scale)
{
    const long double bits = std::nearbyint((value - centre) * scale);
    if (!(bits >= -32768.0L && bits <= 32767.0L))
        throw std::range_error("Range check error");
    return static_cast<std::int16_t>(bits);
}

int HomeComponent(float offset, float gain)
{
    const long double q = static_cast<long double>(offset) / gain;
    if (q < -32767.0L)
        return -32767;
    if (q > 32767.0L)
        return 32767;
    if (std::isnan(q))
        throw std::range_error("Range check error");
    return static_cast<int>(std::nearbyint(q));
}

// For each point, the segments that touch it in index order, consumed front to back as
// segments are placed (a placed segment never becomes free again).
class Incidence {
public:
    explicit Incidence(const SegmentArray& segments)
    {
        const std::int32_t last = static_cast<std::int32_t>(segments.size()) - 1;
        std::vector<std::uint64_t> ends;
        ends.reserve(2 * static_cast<std::size_t>(last));
        for (std::int32_t s = 1; s <= last; ++s) {
            ends.push_back((std::uint64_t{PackPoint(segments[s].start)} << 32) | (std::uint64_t(s) << 1));
            ends.push_back((std::uint64_t{PackPoint(segments[s].end)} << 32) | (std::uint64_t(s) << 1) | 1);
        }
        std::sort(ends.begin(), ends.end());
        startPoint_.assign(segments.size(), -1);
        endPoint_.assign(segments.size(), -1);
        members_.reserve(ends.size());
        for (std::size_t k = 0; k < ends.size(); ++k) {
            if (k == 0 || (ends[k] >> 32) != (ends[k - 1] >> 32))
                firstMember_.push_back(static_cast<std::int32_t>(members_.size()));
            const auto point = static_cast<std::int32_t>(firstMember_.size()) - 1;
            const auto s = static_cast<std::int32_t>((ends[k] & 0xFFFFFFFFu) >> 1);
            (ends[k] & 1 ? endPoint_ : startPoint_)[s] = point;
            members_.push_back(s);
        }
        firstMember_.push_back(static_cast<std::int32_t>(members_.size()));
        cursor_.assign(firstMember_.begin(), firstMember_.end() - 1);
    }

    std::int32_t StartPoint(std::int32_t s) const { return startPoint_[s]; }
    std::int32_t EndPoint(std::int32_t s) const { return endPoint_[s]; }

    // The lowest-indexed segment touching the point that is not yet used, or -1.
    std::int32_t LowestFree(std::int32_t point, const std::vector<std::uint8_t>& used)
    {
        std::int32_t& at = cursor_[point];
        while (at < firstMember_[point + 1] && used[members_[at]])
            ++at;
        return at < firstMember_[point + 1] ? members_[at] : -1;
    }

private:
    std::vector<std::int32_t> startPoint_, endPoint_;
    std::vector<std::int32_t> firstMember_, members_, cursor_;
};

void Classify(SegmentArray& out, std::size_t first)
{
    const std::size_t last = out.size() - 1;
    if (first == last) {
        out[first].kind = SegmentKind::Single;
        return;
    }
    const bool loop = out[first].start == out[last].end;
    out[first].kind = loop ? SegmentKind::LoopFirst : SegmentKind::ChainFirst;
    for (std::size_t k = first + 1; k < last; ++k)
        out[k].kind = loop ? SegmentKind::LoopInner : SegmentKind::ChainInner;
    out[last].kind = loop ? SegmentKind::LoopLast : SegmentKind::ChainLast;
}

} // namespace

float PointDistance(BitPoint p, BitPoint q)
{
    // Squares of 16-bit differences are exact in double, and a double square root rounded
    // to float equals the exact root rounded to float.
    const double dx = double(p.x) - double(q.x);
    const double dy = double(p.y) - double(q.y);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

void ReverseSegment(Segment& segment)
{
    std::swap(segment.start, segment.end);
}

void WriteVectorRecord(std::vector<VectorRecord>& stream, VectorKind kind, BitPoint point)
{
    stream.push_back({kind, static_cast<float>(point.x), static_cast<float>(point.y)});
}

BitPoint HomePoint(const FieldTransform& field)
{
    int c = HomeComponent(field.FieldOffsetX, field.FieldGain);
    int e = HomeComponent(field.FieldOffsetY, field.FieldGain);
    if (field.XInvert)
        c = -c;
    if (field.YInvert)
        e = -e;
    if (field.XYFlip)
        std::swap(c, e);
    return {static_cast<std::int16_t>(-c), static_cast<std::int16_t>(-e)};
}

SegmentArray LoadSegments(const Drawing& drawing, const FieldTransform& field)
{
    const BitPoint home = HomePoint(field);
    SegmentArray segments;
    segments.reserve(drawing.VectorStream.size() + 1);
    segments.push_back({SegmentKind::Unsorted, home, home});

    // The loaders keep the centre exchanged under "XY - Flip" while the points stay in
    // drawing orientation, so the centre is used crosswise then.
    const long double scale = drawing.DrawingScale;
    const long double cx = field.XYFlip ? drawing.DrawingCenter.y : drawing.DrawingCenter.x;
    const long double cy = field.XYFlip ? drawing.DrawingCenter.x : drawing.DrawingCenter.y;

    std::unordered_set<std::uint64_t> known;
    known.reserve(drawing.VectorStream.size());
    BitPoint prev = home;
    for (const VectorRecord& record : drawing.VectorStream) {
        const BitPoint p{ToBits(record.x, cx, scale), ToBits(record.y, cy, scale)};
        if (record.kind != Jump && !(p == prev) && known.insert(UndirectedKey(prev, p)).second)
            segments.push_back({SegmentKind::Unsorted, prev, p});
        prev = p;
    }
    return segments;
}

void MakePolygons(SegmentArray& segments)
{
    const auto last = static_cast<std::int32_t>(segments.size()) - 1;
    if (last < 1)
        return;
    Incidence incidence(segments);
    std::vector<std::uint8_t> used(segments.size(), 0);
    SegmentArray out;
    out.reserve(segments.size());
    out.push_back(segments[0]);

    std::int32_t lowestUnplaced = 1;
    auto nextUnplaced = [&] {
        while (lowestUnplaced <= last && used[lowestUnplaced])
            ++lowestUnplaced;
        return lowestUnplaced <= last ? lowestUnplaced : -1;
    };
    auto oriented = [&](std::int32_t s, bool reversed) {
        Segment segment = segments[s];
        if (reversed)
            ReverseSegment(segment);
        return segment;
    };

    std::vector<Segment> pulled; // grown backwards: each one goes in front of the one before
    for (std::int32_t origin = nextUnplaced(); origin != -1; origin = nextUnplaced()) {
        used[origin] = 1;
        const std::size_t first = out.size();

        // Grow backwards. The first segment itself competes once it has been pushed up by
        // a pull (it then has the lowest index of all candidates), so a ring closes on it.
        pulled.clear();
        bool originPulled = false;
        std::int32_t point = incidence.StartPoint(origin);
        for (;;) {
            std::int32_t c = -1;
            bool reversed = false;
            if (!pulled.empty() && !originPulled &&
                (incidence.EndPoint(origin) == point || incidence.StartPoint(origin) == point)) {
                c = origin;
                reversed = incidence.EndPoint(origin) != point;
                originPulled = true;
            } else {
                c = incidence.LowestFree(point, used);
                if (c == -1)
                    break;
                reversed = incidence.EndPoint(c) != point;
                used[c] = 1;
            }
            pulled.push_back(oriented(c, reversed));
            point = reversed ? incidence.EndPoint(c) : incidence.StartPoint(c);
        }
        out.insert(out.end(), pulled.rbegin(), pulled.rend());
        if (!originPulled)
            out.push_back(segments[origin]);
        // The first pulled segment ends where the first segment starts.
        std::int32_t tail = originPulled ? incidence.StartPoint(origin) : incidence.EndPoint(origin);

        // Grow forwards. Taking first what already follows in array order changes nothing:
        // the lowest unplaced segment, when it starts at the tail, is also the lowest
        // segment touching it.
        for (std::int32_t c = incidence.LowestFree(tail, used); c != -1; c = incidence.LowestFree(tail, used)) {
            const bool reversed = incidence.StartPoint(c) != tail;
            used[c] = 1;
            out.push_back(oriented(c, reversed));
            tail = reversed ? incidence.StartPoint(c) : incidence.EndPoint(c);
        }
        Classify(out, first);
    }
    segments = std::move(out);
}

} // namespace ondrel
