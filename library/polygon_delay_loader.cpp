#include "polygon_delay_loader.h"

#include "ini_reader.h"
#include "loaders.h"
#include "word_packing.h"

#include <cfloat>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>

namespace quarnel {
namespace {

constexpr double kMissingValue = -10.0; // rejects the point

// A value of the section rounded to a float; the default when it is missing, not a number,
// or beyond the range of a float.
float point_value(const IniReader& ini, const std::string& section, const std::string& key) {
    const double value = ini.real(section, key, kMissingValue);
    return static_cast<float>(std::fabs(value) <= FLT_MAX ? value : kMissingValue);
}

bool point_accepted(const VarPolyPoint& p) {
    // The floats compared with the decimal bounds: the written values -0.01 and 180.01 pass.
    return -0.01 < p.angle && p.angle < 180.01 && std::fabs(p.scale) <= 2.0f;
}

// The scale of the point with the largest angle; of equal largest angles the first counts.
float end_scale(const std::vector<VarPolyPoint>& points) {
    float largest = -1.0f;
    float scale = 0.0f;
    for (const VarPolyPoint& p : points) {
        if (p.angle > largest) {
            largest = p.angle;
            scale = p.scale;
        }
    }
    return scale;
}

// Ascending by angle, by exchange: each place takes the smallest angle of the rest, so the
// order of equal angles is the one this exchange leaves, which the segment walk relies on.
void sort_by_angle(std::vector<VarPolyPoint>& points) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            if (points[i].angle > points[j].angle) std::swap(points[i], points[j]);
        }
    }
}

} // namespace

float varpoly_angle(int i) {
    if (i == 512) return 90.0f;
    const float c = 1.0f - static_cast<float>(i) / 512.0f;
    const float t = static_cast<float>(std::sqrt(1.0 - double(c) * c) / c);
    float degrees = static_cast<float>(std::atan(double(t)) * 180.0 / std::numbers::pi);
    if (i > 512) degrees = degrees + 180.0f;
    return degrees;
}

std::vector<VarPolyPoint> read_varpoly_points(const IniReader& ini, std::uint16_t number) {
    const std::string section = "VarPolyTable" + std::to_string(number);
    std::vector<VarPolyPoint> points;
    for (int k = 1; k <= kVarPolyMaxPoints; ++k) {
        const VarPolyPoint p{point_value(ini, section, "Angle" + std::to_string(k)),
                             point_value(ini, section, "Scale" + std::to_string(k))};
        if (point_accepted(p)) points.push_back(p);
    }
    return points;
}

std::array<std::uint16_t, kVarPolyTableWords> build_varpoly_table(std::vector<VarPolyPoint> points) {
    const float last_scale = end_scale(points);
    points.push_back({-0.1f, 0.0f});
    points.push_back({180.1f, last_scale});
    sort_by_angle(points);

    std::array<std::uint16_t, kVarPolyTableWords> table{};
    std::size_t j = 0; // segment points[j]..points[j + 1]; only moves forward
    for (int i = 0; i < kVarPolyTableWords; ++i) {
        const float a = varpoly_angle(i);
        // The points span -0.1 .. 180.1 and every angle lies within, so the walk stops at a
        // segment that contains a, before the last point; of two points with the same angle
        // the first ends the segment below it, so no segment walked to has zero width.
        while (!(points[j].angle <= a && a <= points[j + 1].angle) && j + 2 < points.size()) ++j;
        const VarPolyPoint& p0 = points[j];
        const VarPolyPoint& p1 = points[j + 1];
        const float s = static_cast<float>(double(p0.scale) + (double(p1.scale) - p0.scale) /
                                                                  (double(p1.angle) - p0.angle) *
                                                                  (double(a) - p0.angle));
        const float w = std::nearbyint(std::fabs(s) * 16384.0f);
        table[i] = w > 32767.0f ? std::uint16_t{0x7FFF} : static_cast<std::uint16_t>(w);
    }
    return table;
}

std::array<std::uint16_t, 4> z_table_words(double a, double b, double c) {
    const std::int64_t cw = round_half_even(c * 2147483648.0);
    return {low_word(round_half_even(a)), low_word(round_half_even(1024.0 * b)), high_word(cw),
            low_word(cw)};
}

std::int16_t load_varpolydelay(Context& ctx, std::uint32_t b, const char* name, std::uint16_t number) {
    if (ctx.owns_boards == 0) return kLoadTransferFailed;
    if (!valid_board(ctx, b)) return kLoadBadBoard;
    if (file_name_part_empty(name)) return kLoadArgumentOutOfRange;

    const std::vector<VarPolyPoint> points =
        read_varpoly_points(IniReader::from_file(name, ctx.checked), number);
    if (points.empty()) return kLoadNoTableEntry;
    const auto table = build_varpoly_table(points);

    const std::uint16_t board = board_index(b);
    std::lock_guard<std::recursive_mutex> lock(ctx.board_lock[board]);
    if (!download_words(ctx, board, kVarPolyTableAddress, table.data(), table.size())) {
        return kLoadTransferFailed;
    }
    return static_cast<std::int16_t>(-static_cast<int>(points.size()));
}

std::int16_t load_z_table(Context& ctx, std::uint32_t b, double a, double bcoef, double c) {
    if (!valid_board(ctx, b)) return kLoadBadBoard;
    if (ctx.owns_boards == 0) return kLoadTransferFailed;
    // The bound of C is 0.9 in extended precision, so the double nearest 0.9 (just above
    // it) fails; a value that is not a finite number fails too.
    if (!std::isfinite(a) || !std::isfinite(bcoef) || !std::isfinite(c) || std::fabs(a) > 32766.0 ||
        std::fabs(bcoef) > 31.0 || !(static_cast<long double>(std::fabs(c)) <= 0.9L)) {
        return kLoadArgumentOutOfRange;
    }
    const std::uint16_t board = board_index(b);
    if (ctx.slots[board].is_3d == 0) return kLoadNeeds3d;

    const auto words = z_table_words(a, bcoef, c);
    std::lock_guard<std::recursive_mutex> lock(ctx.board_lock[board]);
    writemem(ctx, board, kZTableAddress, 4, words.data());
    return ctx.slots[board].last_status != 0 ? kLoadTransferFailed : kLoadDone;
}

} // namespace quarnel
