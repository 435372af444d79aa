// The optimiser's phases written the plain way, step by step, with every rescan: slow
// (quadratic and cubic), but easy to check by eye. The fast phases must give exactly the
// same records. Shared by the tests and the benchmark.
#pragma once

#include "optimizer_segments.h"
#include "vector_stream.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ondrel::reference {

inline void MoveSegment(SegmentArray& s, std::int32_t a, std::int32_t b)
{
    const Segment moving = s[b];
    for (std::int32_t k = b; k > a; --k)
        s[k] = s[k - 1];
    s[a] = moving;
}

inline bool Is(const Segment& s, SegmentKind kind)
{
    return s.kind == kind;
}

inline float Distance(BitPoint p, BitPoint q)
{
    const long double dx = p.x - q.x, dy = p.y - q.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

inline std::int16_t Bits(float value, long double centre, long double scale)
{
    const long double v = std::nearbyint((value - centre) * scale);
    if (v < -32768 || v > 32767)
        throw std::range_error("Range check error");
    return static_cast<std::int16_t>(v);
}

inline SegmentArray LoadSegments(const Drawing& drawing, const FieldTransform& field)
{
    const BitPoint home = HomePoint(field);
    SegmentArray s{{SegmentKind::Unsorted, home, home}};
    const long double cx = field.XYFlip ? drawing.DrawingCenter.y : drawing.DrawingCenter.x;
    const long double cy = field.XYFlip ? drawing.DrawingCenter.x : drawing.DrawingCenter.y;
    BitPoint prev = home;
    for (const VectorRecord& r : drawing.VectorStream) {
        const BitPoint p{Bits(r.x, cx, drawing.DrawingScale), Bits(r.y, cy, drawing.DrawingScale)};
        if (r.kind != 0 && !(p == prev)) {
            bool known = false;
            for (std::size_t k = 1; k < s.size(); ++k)
                if ((s[k].start == prev && s[k].end == p) || (s[k].start == p && s[k].end == prev))
                    known = true;
            if (!known)
                s.push_back({SegmentKind::Unsorted, prev, p});
        }
        prev = p;
    }
    return s;
}

inline void MakePolygons(SegmentArray& s)
{
    const auto last = static_cast<std::int32_t>(s.size()) - 1;
    if (last < 1)
        return;
    std::int32_t a = 0, e = 0;
    do {
        const std::int32_t i = a + 1;
        std::int32_t c = i + 1;
        while (c <= last) {
            if (!Is(s[c], SegmentKind::Taken) && s[c].end == s[i].start) {
                MoveSegment(s, i, c);
                s[i].kind = SegmentKind::Taken;
                c = i + 1;
            } else if (!Is(s[c], SegmentKind::Taken) && s[c].start == s[i].start) {
                MoveSegment(s, i, c);
                s[i].kind = SegmentKind::Taken;
                ReverseSegment(s[i]);
                c = i + 1;
            } else {
                ++c;
            }
        }
        e = i;
        while (e < last && s[e].end == s[e + 1].start)
            ++e;
        if (e < last) {
            c = e + 1;
            while (c <= last) {
                if (s[c].start == s[e].end) {
                    ++e;
                    MoveSegment(s, e, c);
                    c = e + 1;
                } else if (s[c].end == s[e].end) {
                    ++e;
                    MoveSegment(s, e, c);
                    ReverseSegment(s[e]);
                    c = e + 1;
                } else {
                    ++c;
                }
            }
        }
        if (e == i) {
            s[i].kind = SegmentKind::Single;
        } else {
            const bool loop = s[i].start == s[e].end;
            s[i].kind = loop ? SegmentKind::LoopFirst : SegmentKind::ChainFirst;
            for (std::int32_t k = i + 1; k < e; ++k)
                s[k].kind = loop ? SegmentKind::LoopInner : SegmentKind::ChainInner;
            s[e].kind = loop ? SegmentKind::LoopLast : SegmentKind::ChainLast;
        }
        a = e;
    } while (e != last);
}

// ---- "Slow and good" ----

struct Cities {
    std::vector<City> c;
    std::int32_t count = 0;
};

inline BitPoint Point(const SegmentArray& s, std::int32_t reference)
{
    return reference > 0 ? s[reference].start : reference < 0 ? s[-reference].end : s[0].end;
}

inline float CityDistance(const SegmentArray& s, const Cities& t, std::int32_t a, std::int32_t b)
{
    return Distance(Point(s, t.c[a].segment), Point(s, t.c[b].segment));
}

inline Cities MakeCities(const SegmentArray& s)
{
    Cities t;
    t.c.push_back({0, 0, 0});
    const auto last = static_cast<std::int32_t>(s.size()) - 1;
    for (std::int32_t k = 1; k <= last; ++k) {
        if (Is(s[k], SegmentKind::Single)) {
            const auto c = static_cast<std::int32_t>(t.c.size());
            t.c.push_back({k, 0, c + 1});
            t.c.push_back({-k, c, 0});
        } else if (Is(s[k], SegmentKind::ChainFirst)) {
            const auto c = static_cast<std::int32_t>(t.c.size());
            t.c.push_back({k, 0, c + 1});
            while (!Is(s[k], SegmentKind::ChainLast))
                ++k;
            t.c.push_back({-k, c, 0});
        }
    }
    t.count = static_cast<std::int32_t>(t.c.size()) - 1;
    return t;
}

inline bool FreeEnd(const Cities& t, std::int32_t c)
{
    return t.c[c].prev == 0 || t.c[c].next == 0;
}

inline void FindBestSaving(const SegmentArray& s, const Cities& t, float& previousMaximum, std::int32_t& bi,
                           std::int32_t& bj)
{
    float best = 0;
    bi = -1;
    for (std::int32_t i = 1; i <= t.count - 1; ++i) {
        if (!FreeEnd(t, i))
            continue;
        const float d = CityDistance(s, t, 0, i);
        for (std::int32_t j = (i % 2 == 1) ? i + 2 : i + 1; j <= t.count; ++j) {
            if (!FreeEnd(t, j))
                continue;
            const auto saving =
                static_cast<float>((static_cast<long double>(CityDistance(s, t, 0, j)) + d) - CityDistance(s, t, i, j));
            if (saving > best && saving < previousMaximum) {
                best = saving;
                bi = i;
                bj = j;
            }
        }
    }
    previousMaximum = best;
}

inline bool SameFragment(const Cities& t, std::int32_t i, std::int32_t j)
{
    auto& c = t.c;
    if (c[i].prev == 0 && c[i].next != 0 && c[j].prev != 0 && c[j].next == 0) {
        for (std::int32_t k = c[c[i].next].next; k != 0; k = c[k].next)
            if (k == j)
                return true;
    } else if (c[i].next == 0 && c[i].prev != 0 && c[j].prev == 0 && c[j].next != 0) {
        for (std::int32_t k = c[c[j].next].next; k != 0; k = c[k].next)
            if (k == i)
                return true;
    }
    return false;
}

inline void Join(Cities& t, std::int32_t i, std::int32_t j)
{
    auto& c = t.c;
    if (c[i].prev == 0 && c[j].next == 0) {
        c[i].prev = j;
        c[j].next = i;
    } else if (c[i].next == 0 && c[j].prev == 0) {
        c[i].next = j;
        c[j].prev = i;
    } else if (c[i].prev == 0 && c[j].prev == 0) {
        const std::int32_t old = c[j].next;
        c[i].prev = j;
        c[j].prev = old;
        c[j].next = i;
        for (std::int32_t k = old; k != 0;) {
            std::swap(c[k].prev, c[k].next);
            k = c[k].prev;
        }
    } else if (c[i].next == 0 && c[j].next == 0) {
        const std::int32_t old = c[j].prev;
        c[i].next = j;
        c[j].next = old;
        c[j].prev = i;
        for (std::int32_t k = old; k != 0;) {
            std::swap(c[k].prev, c[k].next);
            k = c[k].next;
        }
    }
}

// Returns the number of joins.
inline std::int32_t SolveTour(const SegmentArray& s, Cities& t)
{
    float previousMaximum = 1e30f;
    std::int32_t merges = 0, i = -1, j = -1;
    FindBestSaving(s, t, previousMaximum, i, j);
    while (i != -1) {
        if (!SameFragment(t, i, j)) {
            Join(t, i, j);
            ++merges;
        }
        FindBestSaving(s, t, previousMaximum, i, j);
    }
    return merges;
}

inline std::int32_t FirstFree(const Cities& t)
{
    for (std::int32_t c = 1; c <= t.count; ++c)
        if (t.c[c].prev == 0)
            return c;
    return 0;
}

// Every fragment onto the path: the one at the lowest free start first, then at each step
// the nearest free end (lowest city on a tie), its fragment reversed when that is its end.
inline void JoinFragments(const SegmentArray& s, Cities& t)
{
    auto& c = t.c;
    const std::int32_t first = FirstFree(t);
    if (first == 0)
        return;
    auto lastOf = [&](std::int32_t k) {
        while (c[k].next != 0)
            k = c[k].next;
        return k;
    };
    std::int32_t tail = lastOf(first);
    for (;;) {
        std::int32_t best = 0;
        float bestDistance = 0;
        for (std::int32_t k = 1; k <= t.count; ++k) {
            const bool start = c[k].prev == 0 && k != first;
            const bool end = c[k].next == 0 && k != tail;
            if (!start && !end)
                continue;
            const float d = CityDistance(s, t, tail, k);
            if (best == 0 || d < bestDistance) {
                best = k;
                bestDistance = d;
            }
        }
        if (best == 0)
            return;
        if (c[best].next == 0) { // enter at its end: run the fragment backwards
            for (std::int32_t k = best; k != 0;) {
                std::swap(c[k].prev, c[k].next);
                k = c[k].next;
            }
        }
        c[tail].next = best;
        c[best].prev = tail;
        tail = lastOf(best);
    }
}

inline void AddLoops(const SegmentArray& s, Cities& t)
{
    auto& c = t.c;
    const auto last = static_cast<std::int32_t>(s.size()) - 1;
    std::int32_t bestEdge = 0, bestVertex = 1;
    std::int32_t first = t.count > 0 ? 1 : 0;
    for (std::int32_t k = 1; k <= last; ++k) {
        if (!Is(s[k], SegmentKind::LoopFirst))
            continue;
        if (c[first].prev != 0)
            first = FirstFree(t);
        float best = 2e35f;
        std::int32_t v = k;
        for (;; ++v) {
            const BitPoint vertex = s[v].start;
            std::int32_t e = first;
            for (std::int32_t n = 0; n < t.count / 2; ++n) {
                const BitPoint a = c[e].prev == 0 ? s[0].end : Point(s, c[c[e].prev].segment);
                const BitPoint b = Point(s, c[e].segment);
                const auto cost = static_cast<float>(
                    (static_cast<long double>(Distance(a, vertex)) + Distance(vertex, b)) - Distance(a, b));
                if (cost < best) {
                    best = cost;
                    bestEdge = e;
                    bestVertex = v;
                }
                e = c[c[e].next].next;
            }
            if (Is(s[v], SegmentKind::LoopLast))
                break;
        }
        const std::int32_t c1 = t.count + 1, c2 = t.count + 2;
        c.push_back({bestVertex, 0, 0});
        c.push_back({bestVertex, 0, 0});
        t.count += 2;
        const std::int32_t before = c[bestEdge].prev;
        c[c1].prev = before;
        c[before].next = c1;
        c[c1].next = c2;
        c[c2].prev = c1;
        c[c2].next = bestEdge;
        c[bestEdge].prev = c2;
        k = v;
    }
}

inline void Write(std::vector<VectorRecord>& out, std::uint8_t kind, BitPoint p)
{
    out.push_back({kind, static_cast<float>(p.x), static_cast<float>(p.y)});
}

inline std::vector<VectorRecord> SaveTour(const SegmentArray& s, const Cities& t)
{
    std::vector<VectorRecord> out;
    const auto& c = t.c;
    std::int32_t k = FirstFree(t);
    while (k != 0) {
        const std::int32_t a = c[k].segment;
        const std::int32_t x = c[k].next;
        const std::int32_t b = c[x].segment;
        k = c[x].next;
        const std::int32_t n = std::abs(a);
        switch (s[n].kind) {
        case SegmentKind::Single:
            Write(out, 0, a > 0 ? s[n].start : s[n].end);
            Write(out, 1, a > 0 ? s[n].end : s[n].start);
            break;
        case SegmentKind::ChainFirst:
            Write(out, 0, s[a].start);
            for (std::int32_t m = a;; ++m) {
                Write(out, m == a ? 2 : m == -b ? 4 : 3, s[m].end);
                if (Is(s[m], SegmentKind::ChainLast))
                    break;
            }
            break;
        case SegmentKind::ChainLast:
            Write(out, 0, s[n].end);
            for (std::int32_t m = n;; --m) {
                Write(out, m == n ? 2 : m == b ? 4 : 3, s[m].start);
                if (Is(s[m], SegmentKind::ChainFirst))
                    break;
            }
            break;
        default: {
            std::int32_t f = a, l = a;
            while (!Is(s[f], SegmentKind::LoopFirst))
                --f;
            while (!Is(s[l], SegmentKind::LoopLast))
                ++l;
            const std::int32_t count = l - f + 1;
            Write(out, 0, s[a].start);
            std::int32_t m = a;
            for (std::int32_t q = 1; q <= count; ++q) {
                Write(out, q == 1 ? 2 : q == count ? 4 : 3, s[m].end);
                m = m == l ? f : m + 1;
            }
            break;
        }
        }
    }
    return out;
}

// ---- "Quick and dirty" ----

inline void SortSegments(SegmentArray& s)
{
    const auto last = static_cast<std::int32_t>(s.size()) - 1;
    std::int32_t p = 0, best = 1;
    bool reversed = false;
    float dmin = 0;
    do {
        dmin = INFINITY;
        for (std::int32_t k = last; k >= p + 1; --k) {
            const SegmentKind kind = s[k].kind;
            if (kind == SegmentKind::Unsorted || kind == SegmentKind::ChainInner || kind == SegmentKind::Taken)
                continue;
            if (kind != SegmentKind::ChainLast) {
                const float d = Distance(s[p].end, s[k].start);
                if (d < dmin) {
                    dmin = d;
                    best = k;
                    reversed = false;
                }
            }
            if (kind == SegmentKind::Single || kind == SegmentKind::ChainLast) {
                const float d = Distance(s[p].end, s[k].end);
                if (d < dmin) {
                    dmin = d;
                    best = k;
                    reversed = true;
                }
            }
        }
        if (dmin < 1e100) {
            switch (s[best].kind) {
            case SegmentKind::Single:
                ++p;
                MoveSegment(s, p, best);
                if (reversed)
                    ReverseSegment(s[p]);
                break;
            case SegmentKind::ChainFirst:
                do {
                    ++p;
                    MoveSegment(s, p, best);
                    ++best;
                } while (!Is(s[p], SegmentKind::ChainLast));
                break;
            case SegmentKind::ChainLast:
                do {
                    ++p;
                    MoveSegment(s, p, best);
                    ReverseSegment(s[p]);
                } while (!Is(s[p], SegmentKind::ChainFirst));
                break;
            default: {
                const bool rotated = !Is(s[best], SegmentKind::LoopFirst);
                do {
                    ++p;
                    MoveSegment(s, p, best);
                    ++best;
                } while (!Is(s[p], SegmentKind::LoopLast));
                if (rotated) {
                    --best;
                    std::int32_t f = best;
                    while (!Is(s[f], SegmentKind::LoopFirst))
                        --f;
                    for (std::int32_t n = best - f + 1; n > 0; --n) {
                        ++p;
                        MoveSegment(s, p, f);
                        ++f;
                    }
                }
                break;
            }
            }
        }
    } while (!(dmin > 1e100 || p == last));
}

inline std::vector<VectorRecord> SaveSorted(const SegmentArray& s)
{
    std::vector<VectorRecord> out;
    const auto last = static_cast<std::int32_t>(s.size()) - 1;
    bool joinNext = false; // the stream always opens with a jump
    for (std::int32_t i = 1; i <= last; ++i) {
        const bool joined = joinNext;
        joinNext = i != last && s[i].end == s[i + 1].start;
        std::uint8_t kind;
        if (joined) {
            kind = joinNext ? 3 : 4;
        } else {
            Write(out, 0, s[i].start);
            kind = joinNext ? 2 : 1;
        }
        Write(out, kind, s[i].end);
    }
    return out;
}

// ---- whole runs, records only ----

inline std::vector<VectorRecord> OptimizeGood(const Drawing& drawing, const FieldTransform& field)
{
    SegmentArray s = reference::LoadSegments(drawing, field);
    reference::MakePolygons(s);
    Cities t = reference::MakeCities(s);
    reference::SolveTour(s, t);
    reference::JoinFragments(s, t);
    reference::AddLoops(s, t);
    return reference::SaveTour(s, t);
}

inline std::vector<VectorRecord> OptimizeFast(const Drawing& drawing, const FieldTransform& field)
{
    SegmentArray s = reference::LoadSegments(drawing, field);
    reference::MakePolygons(s);
    reference::SortSegments(s);
    return reference::SaveSorted(s);
}

} // namespace ondrel::reference
