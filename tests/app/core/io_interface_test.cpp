// The I/O interface window's logic over the fake board.
#include <gtest/gtest.h>

#include "fakes.h"
#include "io_interface.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;

IoLines Checked(std::initializer_list<int> bits) {
    IoLines lines{};
    for (int bit : bits) lines[static_cast<std::size_t>(bit)] = true;
    return lines;
}

// The whole word is written and its transfer tested right after it: a word the board did not
// take must not stay shown as written.
TEST(IoInterface, EachOutputBoxIsItsBitOfTheWholeWord) {
    for (int bit = 0; bit < kIoLines; ++bit) {
        FakeLibrary library;
        EXPECT_TRUE(WriteOutputs(Checked({bit}), library));
        ASSERT_EQ(library.calls,
                  (std::vector<std::string>{"write_io_port(" + std::to_string(1 << bit) + ")", "usb_status()"}))
            << "Bit " << bit;
    }
    FakeLibrary library;
    WriteOutputs(Checked({0, 15}), library);
    WriteOutputs(Checked({15}), library);
    library.transport_status = 0xE000100A;
    EXPECT_FALSE(WriteOutputs(Checked({}), library));
    EXPECT_EQ(library.calls, (std::vector<std::string>{"write_io_port(32769)", "usb_status()", "write_io_port(32768)",
                                                       "usb_status()", "write_io_port(0)", "usb_status()"}));
}

TEST(IoInterface, InputBoxesShowTheBitsOfOnePoll) {
    const struct {
        std::uint16_t word;
        IoLines shown;
    } cases[] = {
        {0x0005, Checked({0, 2})},
        {0x0000, Checked({})},
        {0x8000, Checked({15})},
        {0xFFFF, Checked({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})},
    };
    for (const auto& c : cases) {
        FakeLibrary library;
        library.io_port = c.word;
        EXPECT_EQ(ReadInputs(library), c.shown) << c.word;
        EXPECT_EQ(library.calls, std::vector<std::string>{"read_io_port()"});
    }
}

TEST(IoInterface, OpensOnlyWithACorrectionFileAndAReadyBoard) {
    const struct {
        std::uint8_t correction;
        std::int16_t ready;
        bool opens;
        std::vector<std::string> calls;
    } cases[] = {
        {1, 0, true, {"load_pro()"}},
        {1, 11, false, {"load_pro()"}}, // the boards belong to another process
        {0, 0, false, {}},
    };
    for (const auto& c : cases) {
        FakeLibrary library;
        library.pro_result = c.ready;
        ConverterState state;
        state.CorrectionLoaded = c.correction;
        EXPECT_EQ(IoInterfaceMayOpen(state, library), c.opens);
        EXPECT_EQ(library.calls, c.calls);
    }
}

} // namespace
} // namespace ondrel
