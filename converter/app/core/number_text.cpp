#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace ondrel {
namespace {

// Significant digits of a real's decimal form.
constexpr int kRealDigits = 15;

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

// "129" + 1 = "130", "99" + 1 = "100", "" + 1 = "1".
std::string IncrementDigits(std::string digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return "1" + digits;
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

DecimalNumber DecimalOf(double value, int powerOfTen) {
    DecimalNumber number;
    number.digits = "0";
    if (!std::isfinite(value) || value == 0) return number;
    // d.dddddddddddddde+x: 15 significant digits.
    const std::string text = ToChars(value, std::chars_format::scientific, kRealDigits - 1);
    const std::size_t e = text.find('e');
    number.negative = text.front() == '-';
    number.digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (IsDigit(text[i])) number.digits += text[i];
    number.exponent = std::atoi(text.c_str() + e + 1) - (kRealDigits - 1) + powerOfTen;
    return number;
}

DecimalNumber DecimalOfCount(std::int64_t count, int powerOfTen) {
    DecimalNumber number;
    number.negative = count < 0;
    const std::uint64_t magnitude = count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    number.digits = std::to_string(magnitude);
    number.exponent = powerOfTen;
    return number;
}

std::string FormatFixed(const DecimalNumber& number, int precision, int decimals) {
    std::string digits = number.digits;
    int exponent = number.exponent; // of the last digit
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (!digits.empty()) {
        // Round once, at the coarser of the two places.
        const int top = exponent + static_cast<int>(digits.size()) - 1;
        const int place = std::max(top - precision + 1, -decimals);
        const int keep = top - place + 1;
        if (keep < static_cast<int>(digits.size())) {
            const bool up = keep >= 0 && digits[static_cast<std::size_t>(keep)] >= '5';
            digits.resize(static_cast<std::size_t>(std::max(keep, 0)));
            exponent = place;
            if (up) digits = IncrementDigits(digits);
            digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
        }
    }
    if (digits.empty()) return decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";

    const int top = exponent + static_cast<int>(digits.size()) - 1;
    const std::string sign = number.negative ? "-" : "";
    if (top + 1 > precision) {
        while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
        std::string mantissa = digits.substr(0, 1);
        if (digits.size() > 1) mantissa += "." + digits.substr(1);
        return sign + mantissa + "E+" + (top < 10 ? "0" : "") + std::to_string(top);
    }
    // The digit standing at a power of ten, 0 outside the digits.
    auto digitAt = [&](int power) {
        const int index = static_cast<int>(digits.size()) - 1 - (power - exponent);
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(index)] : '0';
    };
    std::string text = sign;
    for (int power = std::max(top, 0); power >= 0; --power) text += digitAt(power);
    if (decimals > 0) text += '.';
    for (int power = -1; power >= -decimals; --power) text += digitAt(power);
    return text;
}

std::string FormatFixed(double value, int precision, int decimals) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, precision);
    return FormatFixed(DecimalOf(value), precision, decimals);
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
