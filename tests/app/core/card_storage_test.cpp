// File > "Save on MMC" over the fake board.
#include <gtest/gtest.h>

#include "card_storage.h"
#include "fakes.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::RecordingNotifier;

// Records the main window's part in the order the library and the boxes see it.
class RecordingWindow : public CardStorageWindow {
public:
    explicit RecordingWindow(FakeLibrary& library) : library_(library) {}
    void DisableMainWindow() override { library_.calls.push_back("[disable]"); }
    void EnableMainWindow() override { library_.calls.push_back("[enable]"); }
    void UncheckShowLimits() override { library_.calls.push_back("[uncheck limits]"); }

private:
    FakeLibrary& library_;
};

struct Store {
    FakeLibrary library;
    RecordingNotifier notifier;
    ConverterState state;
    CardStoreEnd Run() {
        RecordingWindow window(library);
        return SaveOnCard(state, library, notifier, window);
    }
};

const std::vector<std::string> kSequence{"stop_execution()", "set_max_counts(0)", "set_control_mode(9)",
                                         "[disable]", "store_on_mmc()", "usb_status()", "[enable]"};

TEST(CardStorage, StoreSequenceAndItsMessage) {
    const struct {
        const char* name;
        std::uint16_t result;
        std::uint32_t transport;
        CardStoreEnd end;
        MessageKind kind;
        const char* text;
    } cases[] = {
        {"stored", 0, 0, CardStoreEnd::Stored, MessageKind::Information, "MultiMediaCard is ready!"},
        {"card refused", 3, 0, CardStoreEnd::Failed, MessageKind::Error, "MultiMediaCard Error!"},
        // No board: the commands do nothing, the store answers 0, the status is out of range.
        {"no board", 0, 4106, CardStoreEnd::Failed, MessageKind::Error, "MultiMediaCard Error!"},
        // A failed poll leaves the stale word of the last good exchange, here 0.
        {"failed poll", 0, 0x0000100C, CardStoreEnd::Failed, MessageKind::Error, "MultiMediaCard Error!"},
    };
    for (const auto& c : cases) {
        Store store;
        store.library.mmc_result = c.result;
        store.library.transport_status = c.transport;
        EXPECT_EQ(store.Run(), c.end) << c.name;
        EXPECT_EQ(store.library.calls, kSequence) << c.name;
        ASSERT_EQ(store.notifier.boxes.size(), 1u) << c.name;
        EXPECT_EQ(store.notifier.boxes[0].kind, c.kind) << c.name;
        EXPECT_EQ(store.notifier.boxes[0].text, c.text) << c.name;
        EXPECT_EQ(store.notifier.beeps, 1) << c.name;
    }
}

TEST(CardStorage, ARunningLimitsFrameEndsUnchecked) {
    Store store;
    store.state.CorrectionLoaded = 1;
    store.state.view.ShowLimits = true;
    store.Run();
    EXPECT_FALSE(store.state.view.ShowLimits);
    ASSERT_FALSE(store.library.calls.empty());
    EXPECT_EQ(store.library.calls.front(), "[uncheck limits]");

    // Without a correction file no frame runs: the check mark stays.
    Store idle;
    idle.state.view.ShowLimits = true;
    idle.Run();
    EXPECT_TRUE(idle.state.view.ShowLimits);
    EXPECT_EQ(idle.library.calls, kSequence);
}

TEST(CardStorage, NothingWhileARunIsInProgress) {
    Store store;
    store.state.RunInProgress = true;
    store.state.view.ShowLimits = true;
    store.state.CorrectionLoaded = 1;
    EXPECT_EQ(store.Run(), CardStoreEnd::Refused);
    EXPECT_TRUE(store.library.calls.empty());
    EXPECT_TRUE(store.notifier.boxes.empty());
    EXPECT_EQ(store.notifier.beeps, 0);
    EXPECT_TRUE(store.state.view.ShowLimits);
}

} // namespace
} // namespace ondrel
