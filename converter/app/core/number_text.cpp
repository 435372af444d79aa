#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace ondrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `pos`; returns how many.
std::size_t SkipDigits(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return pos - start;
}

// Leading blanks and an optional sign; true for "-".
bool SkipBlanksAndSign(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) return text[pos++] == '-';
    return false;
}

// For a syntactically valid unsigned number: the power of ten of its first significant
// digit plus one (positive for values of 1 and above).
long DecimalMagnitude(std::string_view number) {
    long position = 0; // digits before the point, after leading zeros
    long leadingFractionZeros = 0;
    bool significant = false, fraction = false;
    std::size_t pos = 0;
    for (; pos < number.size() && number[pos] != 'e' && number[pos] != 'E'; ++pos) {
        const char c = number[pos];
        if (c == '.') {
            fraction = true;
        } else if (!significant && c == '0') {
            if (fraction) ++leadingFractionZeros;
        } else {
            if (!significant && fraction) position = -leadingFractionZeros;
            significant = true;
            if (!fraction) ++position;
        }
    }
    long exponent = 0;
    if (pos < number.size()) {
        ++pos;
        bool negative = number[pos] == '-';
        if (number[pos] == '+' || number[pos] == '-') ++pos;
        for (; pos < number.size() && exponent < 100000000; ++pos) exponent = exponent * 10 + (number[pos] - '0');
        if (negative) exponent = -exponent;
    }
    return position + exponent;
}

std::string ToChars(double value, std::chars_format format, int precision) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

// "1.5e+07" as the windows show it: "1.5E+07".
std::string UpperExponent(std::string text) {
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

bool AllZeroDigits(const std::string& text) {
    for (char c : text)
        if (IsDigit(c) && c != '0') return false;
    return true;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = SkipBlanksAndSign(text, pos);
    std::size_t mantissa = pos;
    std::size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    if (digits == 0) return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (SkipDigits(text, pos) == 0) return std::nullopt;
    }
    if (pos != text.size()) return std::nullopt;

    // The syntax is checked; from_chars reads the unsigned mantissa and exponent.
    double value = 0.0;
    auto result = std::from_chars(text.data() + mantissa, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range && result.ptr == text.data() + text.size()) {
        // Too small to represent reads as zero; too large is no number.
        if (DecimalMagnitude(text.substr(mantissa)) > 0) return std::nullopt;
        value = 0.0;
    } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<long> ParseInteger(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = SkipBlanksAndSign(text, pos);
    int base = 10;
    if (text.size() - pos > 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size()) return std::nullopt;
    long long value = 0;
    auto result = std::from_chars(text.data() + pos, text.data() + text.size(), value, base);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<long>(value);
}

std::string FormatFixed(double value, int precision, int decimals) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, precision);
    // Round to the significant digits first; the exponent tells the integer digits.
    std::string scientific = ToChars(value, std::chars_format::scientific, precision - 1);
    std::size_t e = scientific.find('e');
    int exponent = std::atoi(scientific.c_str() + e + 1);
    if (exponent + 1 > precision) {
        std::string mantissa = scientific.substr(0, e);
        if (mantissa.find('.') != std::string::npos) {
            while (mantissa.back() == '0') mantissa.pop_back();
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        char sign = exponent < 0 ? '-' : '+';
        int magnitude = std::abs(exponent);
        return mantissa + "E" + sign + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    }
    double rounded = 0.0;
    std::from_chars(scientific.data(), scientific.data() + scientific.size(), rounded);
    std::string fixed = ToChars(rounded, std::chars_format::fixed, decimals);
    if (fixed.front() == '-' && AllZeroDigits(fixed)) fixed.erase(0, 1);
    return fixed;
}

std::string FormatGeneral(double value) {
    for (int precision = 15; precision <= 17; ++precision) {
        std::string text = ToChars(value, std::chars_format::general, precision);
        double back = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == value || precision == 17) return UpperExponent(text);
    }
    return {};
}

} // namespace ondrel
