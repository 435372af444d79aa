// Scanning the parameters of plot commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot_reader.h"

namespace ondrel {
namespace {

// Reads parameters until the first that is not a number; returns the numbers, the final
// result and the character left at the read position.
struct Scan {
    std::vector<float> numbers;
    int end;
    int next;
};

Scan ScanParameters(std::string_view text)
{
    PlotReader reader(text);
    Scan scan{};
    float value = 0;
    while ((scan.end = reader.ReadParameter(value)) == PlotReader::NumberRead) scan.numbers.push_back(value);
    scan.next = reader.ReadPlotChar();
    return scan;
}

TEST(PlotReader, ParameterScanning)
{
    constexpr int End = PlotReader::EndOfInput;
    struct Case {
        const char* text;
        std::vector<float> numbers;
        int end;
        int next;
    } cases[] = {
        {"10,20;PA", {10, 20}, PlotReader::EndOfParameters, 'P'},  // ';' is consumed
        {"10 20 PD", {10, 20}, PlotReader::EndOfParameters, 'P'},  // a letter stays unread
        {"10-20", {10, -20}, PlotReader::EndOfText, End},          // a sign starts a number
        {"+5,-.5,5.,.25", {5, -0.5f, 5, 0.25f}, PlotReader::EndOfText, End},
        {"1E3", {1}, PlotReader::EndOfParameters, 'E'},            // no exponent
        {"1\x1b.", {1}, PlotReader::EndOfParameters, 0x1b},
        {"\r\n\t 7 ! # 8", {7, 8}, PlotReader::EndOfText, End},   // any other character separates
        {"-;", {}, PlotReader::MalformedNumber, ';'},              // a lone sign
        {"1.2.3,4", {}, PlotReader::MalformedNumber, ','},         // two points
        {"..", {}, PlotReader::MalformedNumber, End},
        {"3\x1a" "4", {3}, PlotReader::EndOfText, End},            // 0x1A ends the input
        {"", {}, PlotReader::EndOfText, End},
        {"0.1", {0.1f}, PlotReader::EndOfText, End},
        {"\xc3\xa9" "12", {12}, PlotReader::EndOfText, End},       // bytes above 0x7F are skipped
    };
    for (const Case& c : cases) {
        const Scan scan = ScanParameters(c.text);
        EXPECT_EQ(scan.numbers, c.numbers) << c.text;
        EXPECT_EQ(scan.end, c.end) << c.text;
        EXPECT_EQ(scan.next, c.next) << c.text;
    }
}

TEST(PlotReader, OnlyTheFirst31CharactersOfANumberCount)
{
    const std::string digits31(31, '1');
    const Scan scan = ScanParameters(digits31 + "2345,6");
    ASSERT_EQ(scan.numbers.size(), 2u);
    EXPECT_FLOAT_EQ(scan.numbers[0], std::stof(digits31));
    EXPECT_EQ(scan.numbers[1], 6);

    // A point beyond the 31st character is dropped with the rest.
    const Scan fraction = ScanParameters(std::string(31, '2') + ".5");
    EXPECT_FLOAT_EQ(fraction.numbers.at(0), std::stof(std::string(31, '2')));
}

TEST(PlotReader, NumberConversionIsExact)
{
    struct Case {
        const char* text;
        bool ok;
        float value;
    } cases[] = {
        {"12345678", true, 12345678.0f}, {"0.1", true, 0.1f}, {"-3.4028234e38", false, 0},
        {"-", false, 0},                 {"+", false, 0},     {"16777217", true, 16777216.0f},
        {"-0", true, -0.0f},
    };
    for (const Case& c : cases) {
        float value = 0;
        EXPECT_EQ(ConvertPlotNumber(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

} // namespace
} // namespace ondrel
