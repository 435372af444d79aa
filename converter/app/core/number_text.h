// Numbers as the converter's windows and its settings file read and write them: "." as the
// decimal separator whatever the user's locale, and a strict syntax with nothing around it.
#pragma once

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

// value rounded to `precision` significant digits and written with `decimals` decimals,
// padded with zeros; a value with more integer digits than `precision` is written in
// scientific notation.
std::string FormatFixed(double value, int precision, int decimals);

// The shortest general form with up to 15 significant digits (100, 2.5, 0.125); a value
// that needs more digits to read back unchanged gets them (at most 17).
std::string FormatGeneral(double value);

} // namespace ondrel
