#include "plot_reader.h"

#include <charconv>
#include <cstring>

namespace ondrel {

namespace {

constexpr std::size_t MaxNumberLength = 31;
constexpr unsigned char Escape = 0x1B;
constexpr char EndOfFileMark = 0x1A;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return ((c | 0x20) >= 'a') && ((c | 0x20) <= 'z'); }

} // namespace

PlotReader::PlotReader(std::string_view text) : pos_(text.data()), end_(text.data() + text.size())
{
    if (text.empty()) return;
    if (const void* mark = std::memchr(pos_, EndOfFileMark, text.size())) end_ = static_cast<const char*>(mark);
}

int PlotReader::ReadParameter(float& value)
{
    for (;;) {
        if (pos_ == end_) return EndOfText;
        const auto c = static_cast<unsigned char>(*pos_++);
        if (IsDigit(c) || c == '-' || c == '.' || c == '+') break;
        if (c == ';') return EndOfParameters;
        if (IsLetter(c) || c == Escape) {
            --pos_;
            return EndOfParameters;
        }
    }
    const char* start = pos_ - 1;
    while (pos_ != end_ && (IsDigit(static_cast<unsigned char>(*pos_)) || *pos_ == '.')) ++pos_;
    const std::size_t length = static_cast<std::size_t>(pos_ - start);
    const std::string_view text(start, length < MaxNumberLength ? length : MaxNumberLength);
    return ConvertPlotNumber(text, value) ? NumberRead : MalformedNumber;
}

bool ConvertPlotNumber(std::string_view text, float& value)
{
    // Only a leading sign, digits and at most one point can reach here; from_chars takes no
    // '+', so it is dropped first.
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::size_t digits = 0, points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsDigit(c))
            ++digits;
        else if (c == '.')
            ++points;
        else if (!(c == '-' && i == 0))
            return false;
    }
    if (digits == 0 || points > 1) return false;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace ondrel
