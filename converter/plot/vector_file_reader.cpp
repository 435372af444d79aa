#include "vector_file_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ondrel {

namespace {

constexpr std::size_t MaxNumberLength = 64;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int KindOfLetter(char c)
{
    switch (c | 0x20) {
    case 'j': return Jump;
    case 'm': return Single;
    case 'a': return ChainStart;
    case 'b': return ChainMiddle;
    case 'c': return ChainEnd;
    default: return -1;
    }
}

class VectorTextCursor {
public:
    explicit VectorTextCursor(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}

    bool AtEnd() const { return pos_ == end_; }
    std::int64_t Line() const { return line_; }

    // True when the rest of the line holds only blanks; the line is then passed.
    bool SkipBlankLine()
    {
        const char* p = pos_;
        while (p != end_ && *p != '\n' && IsBlank(*p)) ++p;
        if (p != end_ && *p != '\n') return false;
        pos_ = p;
        SkipRestOfLine();
        return true;
    }

    char ReadChar()
    {
        if (*pos_ == '\n') ++line_;
        return *pos_++;
    }

    // The next number: blanks and line ends before it are skipped; it runs up to the next
    // blank, at most 64 characters. Empty at the end of the text.
    std::string_view NextNumber()
    {
        while (pos_ != end_ && IsBlank(*pos_)) ReadChar();
        const char* start = pos_;
        while (pos_ != end_ && !IsBlank(*pos_) && static_cast<std::size_t>(pos_ - start) < MaxNumberLength) ++pos_;
        return {start, static_cast<std::size_t>(pos_ - start)};
    }

    void SkipRestOfLine()
    {
        while (pos_ != end_ && *pos_ != '\n') ++pos_;
        if (pos_ != end_) ReadChar();
    }

private:
    const char* pos_;
    const char* end_;
    std::int64_t line_ = 1;
};

// The power of ten of the first non-zero digit of a mantissa (digits with an optional
// point, integerDigits of them before it): 2 for 123.4, -3 for 0.0012; 0 when all are zero.
std::int64_t DecimalMagnitude(std::string_view mantissa, std::size_t integerDigits)
{
    std::int64_t place = static_cast<std::int64_t>(integerDigits) - 1;
    for (const char c : mantissa) {
        if (c == '.') continue;
        if (c != '0') return place;
        --place;
    }
    return 0;
}

} // namespace

bool ConvertVectorNumber(std::string_view text, float& value)
{
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t at) {
        std::size_t n = 0;
        while (at + n < text.size() && IsDigit(text[at + n])) ++n;
        return n;
    };
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    const std::size_t integerDigits = digitsFrom(i);
    std::size_t digits = integerDigits;
    i += digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = digitsFrom(i + 1);
        digits += fraction;
        i += 1 + fraction;
    }
    if (digits == 0) return false;
    const std::size_t mantissaEnd = i;
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponentDigits = digitsFrom(j);
        if (exponentDigits == 0) return false;
        // Beyond a million the exponent only decides between zero and too large.
        for (std::size_t k = j; k < j + exponentDigits; ++k)
            exponent = std::min<std::int64_t>(exponent * 10 + (text[k] - '0'), 1000000);
        if (negativeExponent) exponent = -exponent;
        i = j + exponentDigits;
    }
    if (i != text.size()) return false;

    double number = 0;
    const char* first = text.data() + mantissaStart;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), number);
    if (end != text.data() + text.size()) return false;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double is zero as a float; too large is refused.
        if (DecimalMagnitude(text.substr(mantissaStart, mantissaEnd - mantissaStart), integerDigits) + exponent >= 0)
            return false;
        number = 0;
    } else if (error != std::errc()) {
        return false;
    }
    if (negative) number = -number;
    const auto narrowed = static_cast<float>(number);
    if (!std::isfinite(narrowed)) return false;
    value = narrowed;
    return true;
}

bool ReadVectorText(std::string_view text, Drawing& drawing, const PlotLimits& limits, VectorFileError& error)
{
    drawing.VectorStream.clear();
    DrawingBounds& b = drawing.Bounds;
    VectorTextCursor cursor(text);
    int kind = Jump;
    while (!cursor.AtEnd()) {
        if (cursor.SkipBlankLine()) continue;
        const int letterKind = KindOfLetter(cursor.ReadChar());
        float xy[2] = {0, 0};
        for (float& v : xy) {
            const std::string_view number = cursor.NextNumber();
            // At the end of the text a missing number reads as 0.
            if (!number.empty() && !ConvertVectorNumber(number, v)) {
                error.Line = cursor.Line();
                return false;
            }
        }
        cursor.SkipRestOfLine();
        const float x = xy[0], y = xy[1];
        if (x < b.MinX) b.MinX = x;
        if (x > b.MaxX) b.MaxX = x;
        if (y < b.MinY) b.MinY = y;
        if (y > b.MaxY) b.MaxY = y;
        if (letterKind >= 0) kind = letterKind;
        if (drawing.VectorCount() >= limits.MaxRecords) {
            error.TooManyRecords = true;
            return false;
        }
        drawing.VectorStream.push_back({static_cast<std::uint8_t>(kind), x, y});
    }
    return true;
}

} // namespace ondrel
