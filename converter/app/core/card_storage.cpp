#include "card_storage.h"

namespace ondrel {

namespace {

constexpr std::uint16_t kCardControlMode = 9;

// Gives the main window its input back however the store ends.
class DisabledMainWindow {
public:
    explicit DisabledMainWindow(CardStorageWindow& window) : window_(window) { window_.DisableMainWindow(); }
    ~DisabledMainWindow() { window_.EnableMainWindow(); }
    DisabledMainWindow(const DisabledMainWindow&) = delete;
    DisabledMainWindow& operator=(const DisabledMainWindow&) = delete;

private:
    CardStorageWindow& window_;
};

} // namespace

CardStoreEnd SaveOnCard(ConverterState& state, QuarnelLibrary& library, Notifier& notifier,
                        CardStorageWindow& window) {
    if (state.RunInProgress) return CardStoreEnd::Refused;
    // The frame runs only with a correction file loaded; the stop below ends it.
    if (state.view.ShowLimits && state.CorrectionLoaded != 0) {
        state.view.ShowLimits = false;
        window.UncheckShowLimits();
    }
    library.stop_execution();
    library.set_max_counts(0);
    library.set_control_mode(kCardControlMode);
    CardStoreEnd end = CardStoreEnd::Failed;
    {
        DisabledMainWindow disabled(window);
        const std::uint16_t result = library.store_on_mmc();
        const bool transferred = library.usb_status() == 0;
        end = result == 0 && transferred ? CardStoreEnd::Stored : CardStoreEnd::Failed;
        if (end == CardStoreEnd::Stored)
            notifier.Show(MessageKind::Information, "MultiMediaCard is ready!");
        else
            notifier.Show(MessageKind::Error, "MultiMediaCard Error!");
    }
    notifier.Beep();
    return end;
}

} // namespace ondrel
