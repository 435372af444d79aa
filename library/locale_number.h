// Reals written with the decimal separator of the user's locale, as the polygon-delay
// sections of settings files hold them. The separator is taken once from the environment
// (LC_ALL, LC_NUMERIC, LANG) without touching the process's locale, which belongs to the host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// The separator of the environment's numeric locale ("." in the C locale, "," under a
// German one). Read on first use; later changes of the environment are not seen.
std::string decimal_separator();

// Test interface: replaces the separator for the rest of the process.
void set_decimal_separator(std::string separator);

// Converts optional spaces, an optional sign, digits with at most one separator, an optional
// exponent (E or e, an optional sign, digits) and optional spaces; anything else, tabs
// included, gives nothing. So does a value too large for a double.
std::optional<double> parse_locale_real(std::string_view text, std::string_view separator);

} // namespace quarnel
