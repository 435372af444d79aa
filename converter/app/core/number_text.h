// Numbers as the converter's windows and its settings file read and write them: "." as the
// decimal separator whatever the user's locale, and a strict syntax with nothing around it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// Optional leading blanks, an optional sign, digits with an optional "." and fraction, an
// optional exponent; nothing may follow, not even a blank. No "inf", "nan" or hexadecimal.
// A magnitude beyond the range of a double is not a number.
std::optional<double> ParseNumber(std::string_view text);

// An integer in decimal or, after "0x", in hexadecimal (optional leading blanks and sign),
// within the signed 32-bit range.
std::optional<long> ParseInteger(std::string_view text);

// A quantity as people read it: its decimal digits times a power of ten.
struct DecimalNumber {
    bool negative = false;
    std::string digits; // decimal digits, the first one not 0 unless the number is 0
    int exponent = 0;   // the value is digits x 10^exponent
};

// The 15-significant-digit decimal form of value, times 10^powerOfTen exactly.
DecimalNumber DecimalOf(double value, int powerOfTen = 0);
// Exactly count x 10^powerOfTen: a whole count scaled to its unit (microseconds x 10^-6 for
// seconds).
DecimalNumber DecimalOfCount(std::int64_t count, int powerOfTen);

// The number rounded once, halves away from zero, at the coarser of two places: `precision`
// significant digits or `decimals` decimals; written with `decimals` decimals, padded with
// zeros. A number with more integer digits than `precision` is written in scientific
// notation with `precision` significant digits.
std::string FormatFixed(const DecimalNumber& number, int precision, int decimals);
// The same for a real, taken at its 15-significant-digit decimal form.
std::string FormatFixed(double value, int precision, int decimals);

// The shortest general form with up to 15 significant digits (100, 2.5, 0.125); a value
// that needs more digits to read back unchanged gets them (at most 17).
std::string FormatGeneral(double value);

} // namespace ondrel
