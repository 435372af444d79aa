#include "locale_number.h"

#include <charconv>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <system_error>

namespace quarnel {
namespace {

std::mutex separator_mutex;
std::optional<std::string> separator_value; // guarded by separator_mutex

std::string separator_from_environment() {
    // newlocale with "" follows LC_ALL, LC_NUMERIC and LANG, as setlocale would, but leaves
    // the process's global locale alone.
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (numeric == static_cast<locale_t>(0)) return ".";
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    std::string separator = (radix != nullptr && radix[0] != '\0') ? radix : ".";
    freelocale(numeric);
    return separator;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string decimal_separator() {
    std::lock_guard<std::mutex> guard(separator_mutex);
    if (!separator_value) separator_value = separator_from_environment();
    return *separator_value;
}

void set_decimal_separator(std::string separator) {
    std::lock_guard<std::mutex> guard(separator_mutex);
    separator_value = std::move(separator);
}

std::optional<double> parse_locale_real(std::string_view text, std::string_view separator) {
    std::size_t i = 0;
    const std::size_t end = text.size();
    while (i < end && text[i] == ' ') ++i;

    // Rebuild the number in the form from_chars reads: '.' as separator, no '+'.
    std::string number;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    bool mantissa_digits = false;
    bool separator_seen = false;
    while (i < end) {
        if (is_digit(text[i])) {
            number += text[i++];
            mantissa_digits = true;
        } else if (!separator_seen && !separator.empty() &&
                   text.substr(i, separator.size()) == separator) {
            number += '.';
            i += separator.size();
            separator_seen = true;
        } else {
            break;
        }
    }
    if (!mantissa_digits) return std::nullopt;

    if (i < end && (text[i] == 'E' || text[i] == 'e')) {
        number += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) number += text[i++];
        bool exponent_digits = false;
        while (i < end && is_digit(text[i])) {
            number += text[i++];
            exponent_digits = true;
        }
        if (!exponent_digits) return std::nullopt;
    }
    while (i < end && text[i] == ' ') ++i;
    if (i != end) return std::nullopt;

    double value = 0.0;
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || stop != number.data() + number.size()) return std::nullopt;
    return value;
}

} // namespace quarnel
