#include "locale_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace quarnel {
namespace {

struct RealCase {
    const char* text;
    const char* separator;
    std::optional<double> value;
};

TEST(LocaleNumber, ConvertsOnlyTheAcceptedForm) {
    const RealCase cases[] = {
        {"45", ".", 45.0},
        {"45.5", ".", 45.5},
        {"45,5", ",", 45.5},
        {"45.5", ",", std::nullopt},   // the locale's separator only
        {"45,5", ".", std::nullopt},
        {"  -0.01  ", ".", -0.01},     // spaces around the number
        {"+1.5", ".", 1.5},
        {".5", ".", 0.5},
        {"5.", ".", 5.0},
        {"1.5E2", ".", 150.0},
        {"1.5e-1", ".", 0.15},
        {"2E+1", ".", 20.0},
        {"\t45", ".", std::nullopt},   // tabs are not blanks here
        {"45\t", ".", std::nullopt},
        {"", ".", std::nullopt},
        {" ", ".", std::nullopt},
        {".", ".", std::nullopt},
        {"-", ".", std::nullopt},
        {"1.2.3", ".", std::nullopt},
        {"1E", ".", std::nullopt},
        {"1e+", ".", std::nullopt},
        {"4 5", ".", std::nullopt},
        {"45x", ".", std::nullopt},
        {"0x10", ".", std::nullopt},
        {"inf", ".", std::nullopt},
        {"nan", ".", std::nullopt},
        {"1e999", ".", std::nullopt},  // beyond a double
        {"12\xd9\xab" "5", "\xd9\xab", 12.5}, // a separator of more than one byte
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse_locale_real(c.text, c.separator), c.value);
    }
}

TEST(LocaleNumber, SeparatorCanBeReplacedForTests) {
    const std::string original = decimal_separator();
    EXPECT_FALSE(original.empty());
    set_decimal_separator(",");
    EXPECT_EQ(decimal_separator(), ",");
    set_decimal_separator(original);
    EXPECT_EQ(decimal_separator(), original);
}

} // namespace
} // namespace quarnel
