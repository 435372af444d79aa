#include "correction_loader.h"

#include "loaders.h"
#include "read_only_file.h"
#include "word_packing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quarnel {
namespace {

// Accepted file sizes in words.
constexpr std::size_t kSmallest2dFile = 8450;
constexpr std::size_t kSmallest3dFile = 16973; // below it, from 8500 on: an old file
constexpr std::size_t kFirst3dSize = 8500;     // the variants part here
constexpr std::size_t kLargestFile = 19500;
constexpr std::size_t kLargestTable2File = 9750;
constexpr int kLastCell = kCorrectionGridSize - 2; // the cell of rows and columns 63 and 64

// The first count words of a file, little-endian; false when fewer could be read.
bool read_words(ReadOnlyFile& file, std::size_t count, std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> bytes(2 * count);
    if (!file.read_exactly(bytes.data(), bytes.size())) return false;
    words.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        words[i] = get_word(&bytes[2 * i]);
    }
    return true;
}

// The size tests of a file for the board's variant: 0 when it is accepted.
std::int16_t size_result(std::size_t words, bool board_3d) {
    if (words < kSmallest2dFile) return kLoadCannotOpen;
    if (words >= kFirst3dSize && !board_3d) return kLoadOtherVariantFile;
    if (words < kFirst3dSize && board_3d) return kLoadOtherVariantFile;
    if (words < kSmallest3dFile && board_3d) return kLoadOldCorrectionFile;
    if (words > kLargestFile) return kLoadCannotOpen;
    return kLoadDone;
}

} // namespace

bool correction_transform_valid(const CorrectionTransform& t) {
    for (double v : {t.xscale, t.yscale, t.angle, t.xoffset, t.yoffset}) {
        if (!std::isfinite(v)) return false;
    }
    if (std::fabs(std::fabs(t.xscale) - 1.0) > 0.21) return false;
    if (std::fabs(std::fabs(t.yscale) - 1.0) > 0.21) return false;
    if (std::fabs(t.xoffset) > 30001.0) return false;
    if (std::fabs(t.yoffset) > 30001.0) return false;
    const double quadrant = std::nearbyint(t.angle / 90.0);
    return std::fabs(t.angle - 90.0 * quadrant) <= 10.1;
}

void resample_correction_tables(const std::uint16_t* source, int table_count,
                                const CorrectionTransform& t, std::uint16_t* out) {
    const double radians = t.angle * std::numbers::pi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);

    // The edge cell's formula is extended outside the grid: the index is clamped, the
    // fraction is not.
    auto cell = [](double coordinate, int& index, double& fraction) {
        index = std::clamp(safe_trunc(coordinate), 0, kLastCell);
        fraction = coordinate - index;
    };

    for (int table = 0; table < table_count; ++table) {
        const std::uint16_t* T = source + table * kCorrectionTableWords;
        auto at = [T](int row, int column) -> double { return T[row * kCorrectionGridSize + column]; };
        for (int r = 0; r < kCorrectionGridSize; ++r) {
            for (int q = 0; q < kCorrectionGridSize; ++q) {
                const double x1 = (1024.0 * q - 32768.0) * t.xscale;
                const double y1 = (1024.0 * r - 32768.0) * t.yscale;
                const double xr = x1 * c - y1 * s;
                const double yr = x1 * s + y1 * c;
                int ix, iy;
                double fx, fy;
                cell((xr + t.xoffset + 32768.0) / 1024.0, ix, fx);
                cell((yr + t.yoffset + 32768.0) / 1024.0, iy, fy);
                const double t00 = at(iy, ix), t01 = at(iy, ix + 1);
                const double t10 = at(iy + 1, ix), t11 = at(iy + 1, ix + 1);
                const double v = t00 + (t01 - t00) * fx + (t10 - t00) * fy +
                                 (t00 - t01 - t10 + t11) * fx * fy;
                *out++ = static_cast<std::uint16_t>(std::nearbyint(std::clamp(v, 0.0, 65535.0)));
            }
        }
    }
}

std::int16_t load_correction_file(Context& ctx, std::uint32_t b, const char* name, int table,
                                  const CorrectionTransform& t) {
    if (ctx.owns_boards == 0) return kLoadTransferFailed;
    if (!valid_board(ctx, b)) return kLoadBadBoard;
    const std::uint16_t board = board_index(b);
    if (board == ctx.board_count && ctx.version_unstable) return kLoadVersionUnstable;
    if (board == ctx.board_count && ctx.firmware_mismatch) return kLoadFirmwareMismatch;
    if (!correction_transform_valid(t) || table < 1 || table > 2) return kLoadArgumentOutOfRange;
    if (file_name_part_empty(name)) return kLoadArgumentOutOfRange;

    ReadOnlyFile file(name);
    if (!file.is_open()) return kLoadCannotOpen;
    const std::size_t size = static_cast<std::size_t>(file.size() / 2);

    std::lock_guard<std::recursive_mutex> lock(ctx.board_lock[board]);
    if (const std::int16_t refused = size_result(size, ctx.slots[board].is_3d != 0)) return refused;
    if (table == 2 && size > kLargestTable2File) return kLoadArgumentOutOfRange;

    std::vector<std::uint16_t> words;
    if (!read_words(file, size, words)) return kLoadCannotOpen; // the file shrank or failed

    const bool three_d = size >= kFirst3dSize;
    const int table_count = three_d ? 4 : 2;
    std::vector<std::uint16_t> image(table_count * kCorrectionTableWords +
                                     (three_d ? kCorrectionTailWords : 0));
    resample_correction_tables(words.data(), table_count, t, image.data());
    if (three_d) {
        std::copy_n(words.begin() + 4 * kCorrectionTableWords, kCorrectionTailWords,
                    image.begin() + 4 * kCorrectionTableWords);
    }

    const std::uint32_t start = table == 1 ? kCorrectionTable1Address : kCorrectionTable2Address;
    if (!download_words(ctx, b, start, image.data(), image.size())) return kLoadTransferFailed;
    return kLoadDone;
}

} // namespace quarnel
