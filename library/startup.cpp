// Start-up, enumeration of the boards on the bus, and shut-down.
#include "startup.h"

#include "board_queries.h"
#include "instance_mutex.h"
#include "usb/driver_records.h"
#include "usb/usb_io_pipe.h"

namespace quarnel {
namespace {

constexpr std::uint16_t kOption3d = 0x400;
constexpr unsigned kSettleWaitMs = 25;
constexpr int kSettleRereads = 6;     // re-reads made at most
constexpr int kSettleCountedRereads = 5; // a match counts only within these

bool firmware_fits(std::uint16_t firmware, bool is_3d) {
    return is_3d ? firmware >= 3000 && firmware <= 3599 : firmware >= 2500 && firmware <= 2999;
}

// Reads the board version until two reads in a row agree and are not 0.
bool settle_version(Context& ctx, std::uint32_t b, std::uint16_t& version) {
    std::uint16_t previous = board_version(ctx, b);
    bool settled = false;
    for (int reread = 1; reread <= kSettleRereads && !settled; ++reread) {
        ctx.platform.sleep_ms(kSettleWaitMs);
        const std::uint16_t current = board_version(ctx, b);
        settled = reread <= kSettleCountedRereads && current == previous && current != 0;
        previous = current;
    }
    version = previous;
    return settled;
}

USBIO_SET_CONFIGURATION board_configuration() {
    USBIO_SET_CONFIGURATION conf{};
    conf.ConfigurationIndex = 0;
    conf.NbOfInterfaces = 1;
    conf.InterfaceList[0] = {0, 0, 64};
    return conf;
}

// Configures device `index` as board `b` and checks its version and firmware. False ends
// the enumeration (the board stays counted, its failure in last_status).
bool take_board(Context& ctx, int index, std::uint16_t b) {
    BoardSlot& slot = ctx.slots[b];
    TUsbIo& device = *ctx.device_enumerator;
    device.UnconfigureDevice();
    slot.last_status = device.SetConfiguration(board_configuration());
    if (slot.last_status != 0)
        return false;
    USBIO_CONFIGURATION_INFO info;
    slot.last_status = device.GetConfigurationInfo(info);
    if (slot.last_status != 0 || info.NbOfPipes != 2)
        return false;

    // Both old pipes go before the new ones are bound, so no device stays claimed.
    slot.out_pipe.reset();
    slot.in_pipe.reset();
    slot.out_pipe = std::make_unique<TUsbIoPipe>(ctx.driver);
    slot.last_status =
        slot.out_pipe->Bind(index, kOutEndpoint, ctx.device_list.get(), &kBoardInterfaceClass);
    if (slot.last_status != 0)
        return false;
    slot.in_pipe = std::make_unique<TUsbIoPipe>(ctx.driver);
    slot.last_status =
        slot.in_pipe->Bind(index, kInEndpoint, ctx.device_list.get(), &kBoardInterfaceClass);
    if (slot.last_status != 0)
        return false;

    std::uint16_t version = 0;
    if (!settle_version(ctx, b, version)) {
        ctx.version_unstable = 1;
        return false;
    }
    if (version & kOption3d)
        slot.is_3d = 1;
    if (!firmware_fits(firmware_version(ctx, b), slot.is_3d)) {
        ctx.firmware_mismatch = 1;
        return false;
    }
    return true;
}

} // namespace

void claim_instance(Context& ctx, const std::string& name) {
    ctx.instance_mutex.reset();
    ctx.instance_mutex =
        std::make_unique<TInstanceMutex>(name, instance_lock_directory(ctx.platform.lock_dir));
    ctx.owns_boards = ctx.instance_mutex->hasMutex() ? 1 : 0;
}

std::uint32_t enumerate_boards(Context& ctx) {
    for (int b = 1; b <= kMaxBoards; ++b) {
        BoardSlot& slot = ctx.slots[b];
        slot.input_pointer = kListMemoryAddress;
        slot.is_3d = 0;
        slot.list_status_word = 0xFF00;
        slot.batch_count = 0;
        slot.softstart_mode = 0;
        slot.control_shadow_word = 0x3F9;
    }
    ctx.firmware_mismatch = 0;
    ctx.version_unstable = 0;
    ctx.selected_board = 1;
    ctx.owns_boards = 1;

    ctx.device_enumerator = std::make_unique<TUsbIo>(ctx.driver);
    TUsbIo::DestroyDeviceList(ctx.device_list);
    ctx.device_list = ctx.device_enumerator->CreateDeviceList(&kBoardInterfaceClass);

    for (int b = 1; b <= kMaxBoards; ++b)
        ctx.slots[b].last_status = kStatusNoBoard;
    ctx.board_count = 0;

    for (int index = 0;; ++index) {
        TUsbIo& device = *ctx.device_enumerator;
        if (device.Open(index, ctx.device_list.get(), &kBoardInterfaceClass) != 0)
            break;
        USB_DEVICE_DESCRIPTOR desc{};
        if (device.GetDeviceDescriptor(desc) != 0)
            break;
        if (desc.idVendor != kBoardVendor || desc.idProduct != kBoardProduct ||
            desc.bcdDevice != kBoardRelease) {
            device.Close();
            continue;
        }
        const auto b = static_cast<std::uint16_t>(++ctx.board_count);
        if (!take_board(ctx, index, b) || ctx.board_count == kMaxBoards)
            break;
        device.Close();
    }

    // Slots without a board keep no pipes from an earlier enumeration.
    for (int b = ctx.board_count + 1; b <= kMaxBoards; ++b) {
        ctx.slots[b].out_pipe.reset();
        ctx.slots[b].in_pipe.reset();
    }

    if (ctx.board_count == 0) {
        ctx.selected_board = 0;
        return kStatusNoBoard;
    }
    return ctx.slots[ctx.board_count].last_status;
}

std::uint32_t reinitialize(Context& ctx, std::uint32_t* count) {
    ctx.driver = driver_from_environment(ctx.driver);
    const std::uint32_t status = enumerate_boards(ctx);
    if (count)
        *count = ctx.board_count;
    return status & 0x0FFFFFFF;
}

void attach(Context& ctx) {
    ctx.driver = driver_from_environment(ctx.driver);
    claim_instance(ctx, kInstanceName);
    if (ctx.owns_boards)
        enumerate_boards(ctx);
}

void detach(Context& ctx) {
    TUsbIo::DestroyDeviceList(ctx.device_list);
    for (int b = kMaxBoards; b >= 1; --b) {
        ctx.slots[b].out_pipe.reset();
        ctx.slots[b].in_pipe.reset();
    }
    ctx.board_count = 0;
    ctx.device_enumerator.reset();
    ctx.instance_mutex.reset();
}

} // namespace quarnel
