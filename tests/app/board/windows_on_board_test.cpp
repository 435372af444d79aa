// The I/O interface, card storage and system status logic through the bound library, on
// simulated boards that answer what each test sets.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../core/fakes.h"
#include "card_storage.h"
#include "io_interface.h"
#include "library_binding.h"
#include "quarnel4.h"
#include "system_status.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;

void PlugBoards(const char* boards) {
    setenv("QUARNEL_SIM", boards, 1);
    std::uint32_t count = 0;
    usb_reinitialize(&count);
}

class NoWindow : public CardStorageWindow {
public:
    void DisableMainWindow() override { ++disabled; }
    void EnableMainWindow() override { ++enabled; }
    void UncheckShowLimits() override {}
    int disabled = 0, enabled = 0;
};

TEST(WindowsOnBoard, OutputsAndInputsOfTheIoInterface) {
    PlugBoards("2d:inputs=0x0005");
    ConverterState state;
    state.CorrectionLoaded = 1;
    EXPECT_TRUE(IoInterfaceMayOpen(state, BoundLibrary()));
    IoLines outputs{};
    outputs[0] = outputs[15] = true;
    WriteOutputs(outputs, BoundLibrary());
    EXPECT_EQ(get_io_status(), 0x8001); // the board drives what the boxes show
    IoLines expected{};
    expected[0] = expected[2] = true;
    EXPECT_EQ(ReadInputs(BoundLibrary()), expected);

    PlugBoards("");
    EXPECT_FALSE(IoInterfaceMayOpen(state, BoundLibrary()));
}

TEST(WindowsOnBoard, CardStoreReportsWhatTheBoardDid) {
    const struct {
        const char* boards;
        CardStoreEnd end;
        const char* text;
    } cases[] = {
        {"2d", CardStoreEnd::Stored, "MultiMediaCard is ready!"},
        {"2d:mmc=3", CardStoreEnd::Failed, "MultiMediaCard Error!"},
        {"", CardStoreEnd::Failed, "MultiMediaCard Error!"}, // no board: the store answers 0
    };
    for (const auto& c : cases) {
        PlugBoards(c.boards);
        ConverterState state;
        RecordingNotifier notifier;
        NoWindow window;
        EXPECT_EQ(SaveOnCard(state, BoundLibrary(), notifier, window), c.end) << c.boards;
        ASSERT_EQ(notifier.boxes.size(), 1u) << c.boards;
        EXPECT_EQ(notifier.boxes[0].text, c.text) << c.boards;
        EXPECT_EQ(window.enabled, 1) << c.boards;
    }
}

TEST(WindowsOnBoard, StatusLabelsOfABoard) {
    PlugBoards("3d:version=0x0C05:fw=3012:serial=4711:head=0xC800");
    ConverterState state;
    state.parameters.FileName = "/home/operator/tables/cor_3d.ctb";
    StatusLabels labels;
    FillStatusLabels(labels, state, BoundLibrary());
    RefreshHeadStatus(labels, BoundLibrary());
    EXPECT_EQ(labels.L1, "5.07");
    EXPECT_EQ(labels.L2, "5.50");
    EXPECT_EQ(labels.L3, "3.012");
    EXPECT_EQ(labels.L4, "5");
    EXPECT_EQ(labels.L5, "4711");
    EXPECT_EQ(labels.L10, "3D, IO-Card");
    EXPECT_EQ(labels.L11, "cor_3d.ctb");
    EXPECT_EQ(labels.L6 + labels.L7 + labels.L8 + labels.L9, "OKOKOKNOK");

    // Without a board the board's labels stay as they were.
    PlugBoards("");
    FillStatusLabels(labels, state, BoundLibrary());
    RefreshHeadStatus(labels, BoundLibrary());
    EXPECT_EQ(labels.L3, "3.012");
    EXPECT_EQ(labels.L9, "NOK");
}

} // namespace
} // namespace ondrel
