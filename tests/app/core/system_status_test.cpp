// The system status window's labels over the fake board.
#include <gtest/gtest.h>

#include "fakes.h"
#include "system_status.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;

TEST(SystemStatus, VersionAndInfoLabels) {
    FakeLibrary library;
    library.oru_version = 0x0C05;
    library.hex_version = 3012;
    library.serial_number = 65535;
    ConverterState state;
    state.parameters.FileName = "/usr/share/ondrel/cor.ctb";
    StatusLabels labels;
    FillStatusLabels(labels, state, library);
    EXPECT_EQ(labels.L1, "5.07");
    EXPECT_EQ(labels.L2, "5.50");
    EXPECT_EQ(labels.L3, "3.012");
    EXPECT_EQ(labels.L4, "5");
    EXPECT_EQ(labels.L5, "65535");
    EXPECT_EQ(labels.L10, "3D, IO-Card");
    EXPECT_EQ(labels.L11, "/usr/share/ondrel/cor.ctb");
    EXPECT_EQ(labels.L6, "?"); // the head labels wait for the first tick
    EXPECT_EQ(library.calls, (std::vector<std::string>{"get_dll_version()", "load_program_file()", "get_oru_version()",
                                                       "get_hex_version()", "get_serial_number()"}));

    library.hex_version = 2650;
    FillStatusLabels(labels, state, library);
    EXPECT_EQ(labels.L3, "2.650");
}

TEST(SystemStatus, WithoutAReadyBoardTheBoardLabelsKeepWhatTheyShowed) {
    FakeLibrary library;
    library.program_result = 11;
    ConverterState state;
    StatusLabels labels;
    FillStatusLabels(labels, state, library);
    EXPECT_EQ(labels.L1, "5.07");
    EXPECT_EQ(labels.L2, "5.50");
    for (const std::string* label : {&labels.L3, &labels.L4, &labels.L5, &labels.L10, &labels.L11})
        EXPECT_EQ(*label, "?");

    library.program_result = 0;
    library.oru_version = 0x0003;
    FillStatusLabels(labels, state, library);
    EXPECT_EQ(labels.L10, "no Options");
    library.program_result = 11;
    library.oru_version = 0x0F07;
    FillStatusLabels(labels, state, library);
    EXPECT_EQ(labels.L4, "3");
    EXPECT_EQ(labels.L10, "no Options");

    library.calls.clear();
    labels.L6 = "OK";
    RefreshHeadStatus(labels, library);
    EXPECT_EQ(labels.L6, "OK");
    EXPECT_EQ(library.calls, std::vector<std::string>{"load_program_file()"});
}

TEST(SystemStatus, EachOptionBitInItsPlace) {
    const struct {
        std::uint16_t word;
        const char* text;
    } cases[] = {
        {0x0003, "no Options"},  {0x00FF, "no Options"}, {0x0100, "Fly, "},
        {0x0200, "2.Head, "},    {0x0400, "3D, "},       {0x0800, "IO-Card"},
        {0x0500, "Fly, 3D, "},   {0x0C05, "3D, IO-Card"}, {0xFFFF, "Fly, 2.Head, 3D, IO-Card"},
    };
    for (const auto& c : cases) EXPECT_EQ(OptionsText(c.word), c.text) << c.word;
}

TEST(SystemStatus, HeadStatusBitsOfHeadOne) {
    const struct {
        std::uint16_t word;
        const char *temperature, *power, *x, *y;
    } cases[] = {
        {0xC800, "OK", "OK", "OK", "NOK"},   {0x0000, "NOK", "NOK", "NOK", "NOK"},
        {0xD800, "OK", "OK", "OK", "OK"},    {0x4000, "OK", "NOK", "NOK", "NOK"},
        {0x8000, "NOK", "OK", "NOK", "NOK"}, {0x0800, "NOK", "NOK", "OK", "NOK"},
        {0x1000, "NOK", "NOK", "NOK", "OK"}, {0x27FF, "NOK", "NOK", "NOK", "NOK"},
    };
    for (const auto& c : cases) {
        FakeLibrary library;
        library.head_status = c.word;
        StatusLabels labels;
        RefreshHeadStatus(labels, library);
        EXPECT_EQ(labels.L6, c.temperature) << c.word;
        EXPECT_EQ(labels.L7, c.power) << c.word;
        EXPECT_EQ(labels.L8, c.x) << c.word;
        EXPECT_EQ(labels.L9, c.y) << c.word;
        EXPECT_EQ(library.calls, (std::vector<std::string>{"load_program_file()", "get_head_status(1)"}));
    }
}

TEST(SystemStatus, LongCorrectionFileNamesLoseTheirDirectory) {
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {
        {"C:\\Quarnel\\tables\\cor_2d1.ctb", "C:\\Quarnel\\tables\\cor_2d1.ctb"}, // 29 characters
        {"C:\\Quarnel\\tables\\cor_2d01.ctb", "cor_2d01.ctb"},                      // 30
        {"D:cor_tables_of_the_workshop_ab.ctb", "cor_tables_of_the_workshop_ab.ctb"},
        {"/home/operator/tables/cor_2d.ctb", "cor_2d.ctb"},
        {"/opt/ondrel\\odd/tables:x/cor.ctb", "cor.ctb"},
        {"a_correction_file_name_of_40_letters.ctb", "a_correction_file_name_of_40_letters.ctb"},
        {" ", " "},
    };
    for (const auto& c : cases) EXPECT_EQ(CorrectionFileText(c.name), c.shown) << c.name;
}

} // namespace
} // namespace ondrel
