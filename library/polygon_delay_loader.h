// The board's polygon-delay table, built from up to 50 (angle, scale) points of a settings
// file's "VarPolyTable" section, and its z-table of three coefficients.
#pragma once

#include "context.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quarnel {

class IniReader;

constexpr std::uint32_t kVarPolyTableAddress = 0x2000;
constexpr int kVarPolyTableWords = 1025;
constexpr int kVarPolyMaxPoints = 50;
constexpr std::uint32_t kZTableAddress = 0x7249;

struct VarPolyPoint {
    float angle; // corner angle, degrees
    float scale; // delay factor
};

// The corner angle of table word i (0..1024) in degrees: arccos(1 - i / 512).
float varpoly_angle(int i);

// The accepted points of section "VarPolyTable" + number, in the order of their index:
// both values present and numbers, -0.01 < angle < 180.01 and |scale| <= 2.
std::vector<VarPolyPoint> read_varpoly_points(const IniReader& ini, std::uint16_t number);

// The table for at least one accepted point: the scale interpolated linearly between the
// points (with (-0.1, 0) below them and the last angle's scale at 180.1), x 16384, at most
// 0x7FFF, for the angle of each word.
std::array<std::uint16_t, kVarPolyTableWords> build_varpoly_table(std::vector<VarPolyPoint> points);

// The four z-table words of the coefficients A, B, C (which the caller has range-checked).
std::array<std::uint16_t, 4> z_table_words(double a, double b, double c);

// The board forms: load_results (minus the accepted points when the table was written).
std::int16_t load_varpolydelay(Context& ctx, std::uint32_t b, const char* name, std::uint16_t number);
std::int16_t load_z_table(Context& ctx, std::uint32_t b, double a, double bcoef, double c);

} // namespace quarnel
