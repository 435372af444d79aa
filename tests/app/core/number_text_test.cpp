#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>

namespace ondrel {
namespace {

TEST(ParseNumber, AcceptsTheDialogSyntax) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0", 0},       {"12", 12},          {"-12.5", -12.5}, {"+3", 3},     {"   7.25", 7.25},
        {".5", 0.5},    {"5.", 5},           {"1e3", 1000},    {"1E-2", 0.01}, {"-2.5e+1", -25},
        {"1e-400", 0},  {"0012", 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto value = ParseNumber(c.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_DOUBLE_EQ(*value, c.value);
    }
}

TEST(ParseNumber, RejectsEverythingElse) {
    for (const char* text : {"", " ", "12 ", "1,5", "12,5", "abc", "inf", "nan", "-inf", "0x10", "1e",
                             "1e+", "+", "-", ".", "--1", "1.2.3", "1e400", "-1e400", "\t1", "1 2",
                             "e5", "12a"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseNumber(text).has_value());
    }
}

TEST(ParseInteger, DecimalAndHexadecimal) {
    EXPECT_EQ(ParseInteger("0x1"), 1);
    EXPECT_EQ(ParseInteger("0X1f"), 31);
    EXPECT_EQ(ParseInteger("-12"), -12);
    EXPECT_EQ(ParseInteger(" 5"), 5);
    for (const char* text : {"yes", "", "1.0", "0x", "1 ", "4294967296", "0xFFFFFFFFF"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseInteger(text).has_value());
    }
}

TEST(FormatFixed, RoundsToSignificantDigitsThenPadsDecimals) {
    const struct {
        double value;
        int precision, decimals;
        const char* text;
    } cases[] = {
        {50, 7, 3, "50.000"},
        {12.3456789, 7, 3, "12.346"},
        {-50, 7, 3, "-50.000"},
        {1234.56789, 7, 3, "1234.568"},
        {0.0004, 7, 3, "0.000"},
        {-0.0004, 7, 3, "0.000"},
        {0, 8, 2, "0.00"},
        {320, 8, 2, "320.00"},
        {12345678, 7, 3, "1.234568E+07"},
        {1e8, 7, 3, "1E+08"},
        // Halves away from zero on the decimal value, once, at the coarser place.
        {0.125, 7, 2, "0.13"},
        {-0.125, 7, 2, "-0.13"},
        {2.675, 7, 2, "2.68"}, // 2.67499999999999982236431605997495353221893310546875 in binary
        {12345.6789, 7, 3, "12345.680"},
        {1234.5678, 5, 3, "1234.600"},
        {12.34567, 5, 3, "12.346"},
        {99999.5, 5, 3, "1E+05"},
        {0.0005, 7, 3, "0.001"},
        {9.9995, 7, 3, "10.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.decimals), c.text);
    }
}

TEST(FormatFixed, CountsScaledToTheirUnitAreExact) {
    const struct {
        DecimalNumber number;
        int precision, decimals;
        const char* text;
    } cases[] = {
        {DecimalOfCount(500, -6), 7, 3, "0.001"},      // 500 µs
        {DecimalOfCount(2500, -6), 7, 3, "0.003"},     // 2,500 µs
        {DecimalOfCount(1500, -6), 7, 3, "0.002"},
        {DecimalOfCount(-2500, -6), 7, 3, "-0.003"},
        {DecimalOfCount(0, -6), 7, 3, "0.000"},
        {DecimalOfCount(12345678900, -6), 7, 3, "12345.680"},
        {DecimalOfCount(550, -2), 15, 2, "5.50"},
        {DecimalOfCount(3012, -3), 15, 3, "3.012"},
        {DecimalOf(1500, -3), 9, 0, "2"},              // 1.5 kBit
        {DecimalOf(2500, -3), 9, 0, "3"},              // 2.5 kBit
        {DecimalOf(1234567890123.0, -3), 9, 0, "1.23456789E+09"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatFixed(c.number, c.precision, c.decimals), c.text);
    }
}

TEST(FormatGeneral, ShortestFormThatReadsBack) {
    EXPECT_EQ(FormatGeneral(100), "100");
    EXPECT_EQ(FormatGeneral(2.5), "2.5");
    EXPECT_EQ(FormatGeneral(0.125), "0.125");
    EXPECT_EQ(FormatGeneral(-1000.5), "-1000.5");
    EXPECT_EQ(FormatGeneral(33.4), "33.4");
    for (double value : {0.1, 1.0 / 3.0, 123456.789, -987.654321012345678, 1e-7, 6.02e23}) {
        SCOPED_TRACE(value);
        auto back = ParseNumber(FormatGeneral(value));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, value);
    }
}

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberText, PointWhateverTheLocale) {
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    EXPECT_EQ(FormatFixed(12.5, 7, 3), "12.500");
    EXPECT_EQ(FormatGeneral(0.25), "0.25");
    EXPECT_EQ(ParseNumber("12.5"), 12.5);
    EXPECT_FALSE(ParseNumber("12,5").has_value());
    std::locale::global(previous);
}

} // namespace
} // namespace ondrel
