// The USB object layer over the simulated bus: opening, driver requests and transfers.
#include "sim_bus.h"

#include "usb/driver_records.h"
#include "usb/usb_io_pipe.h"

namespace quarnel::testing {
namespace {

struct Bus {
    explicit Bus(const std::string& text) {
        std::string error;
        driver = std::make_shared<sim::SimDriver>(*sim::parse_sim_config(text, error));
    }
    std::shared_ptr<sim::SimDriver> driver;
};

TEST(UsbIo, OpenTwiceKeepsTheFirstDevice) {
    Bus bus("2d,2d");
    TUsbIo io(bus.driver);
    auto list = io.CreateDeviceList(&kBoardInterfaceClass);
    ASSERT_EQ(list->paths.size(), 2u);
    ASSERT_EQ(io.Open(0, list.get(), &kBoardInterfaceClass), 0u);
    EXPECT_EQ(io.Open(1, list.get(), &kBoardInterfaceClass), 0u);
    EXPECT_EQ(*io.DevicePath(), "sim:1");
    EXPECT_EQ(bus.driver->board(2).open_handles(), 0);
}

struct OpenFailureCase {
    const char* name;
    const char* config;
    int device;
    bool with_list;
    bool with_class;
    std::uint32_t expected;
};

TEST(UsbIo, OpenFailuresReportTheirStatusAndLeaveTheObjectClosed) {
    const OpenFailureCase cases[] = {
        {"past the last device", "2d", 1, true, true, kStatusNoSuchDeviceInterface},
        {"list without a class", "2d", 0, true, false, kStatusNoInterfaceClass},
        {"device refuses to open", "2d:fail=open", 0, true, true, kStatusDeviceOpenFailed},
        {"driver too old", "2d:api=0x1ff", 0, true, true, kStatusDriverTooOld},
        {"driver information fails", "2d:fail=driverinfo", 0, true, true, kStatusRequestFailed},
        {"numbered path past the last", "2d", 3, false, false, kStatusDeviceOpenFailed},
    };
    for (const auto& c : cases) {
        Bus bus(c.config);
        TUsbIo io(bus.driver);
        auto list = io.CreateDeviceList(&kBoardInterfaceClass);
        EXPECT_EQ(io.Open(c.device, c.with_list ? list.get() : nullptr,
                          c.with_class ? &kBoardInterfaceClass : nullptr),
                  c.expected)
            << c.name;
        EXPECT_FALSE(io.IsOpen()) << c.name;
        EXPECT_EQ(bus.driver->board(1).open_handles(), 0) << c.name;
    }
}

TEST(UsbIo, NumberedPathOpensWithoutAList) {
    Bus bus("2d,3d");
    TUsbIo io(bus.driver);
    ASSERT_EQ(io.Open(1, nullptr, nullptr), 0u);
    EXPECT_EQ(bus.driver->board(2).open_handles(), 1);
}

TEST(UsbIo, RequestsOnAClosedObjectNeverReachTheDriver) {
    Bus bus("2d");
    TUsbIoPipe pipe(bus.driver);
    USB_DEVICE_DESCRIPTOR desc{};
    USBIO_CONFIGURATION_INFO info{};
    EXPECT_EQ(pipe.GetDeviceDescriptor(desc), kStatusDeviceNotOpen);
    EXPECT_EQ(pipe.UnconfigureDevice(), kStatusDeviceNotOpen);
    EXPECT_EQ(pipe.GetConfigurationInfo(info), kStatusDeviceNotOpen);
    EXPECT_EQ(pipe.ResetPipe(), kStatusDeviceNotOpen);
    std::uint8_t byte = 0;
    std::uint32_t count = 1;
    EXPECT_EQ(pipe.WriteSync(&byte, count, 1000), kStatusDeviceNotOpen);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(bus.driver->board(1).pipe_resets(), 0u);
}

TEST(UsbIo, DeviceDescriptorNamesTheBoard) {
    Bus bus("2d:release=0x0601");
    TUsbIo io(bus.driver);
    auto list = io.CreateDeviceList(&kBoardInterfaceClass);
    ASSERT_EQ(io.Open(0, list.get(), &kBoardInterfaceClass), 0u);
    USB_DEVICE_DESCRIPTOR desc{};
    ASSERT_EQ(io.GetDeviceDescriptor(desc), 0u);
    EXPECT_EQ(desc.idVendor, 0x0451);
    EXPECT_EQ(desc.idProduct, 0x9001);
    EXPECT_EQ(desc.bcdDevice, 0x0601);
}

TEST(UsbIoPipe, TimedOutReadIsCancelledAndReportsHowItEnded) {
    Bus bus("2d");
    TUsbIoPipe in(bus.driver);
    auto list = in.CreateDeviceList(&kBoardInterfaceClass);
    ASSERT_EQ(in.Bind(0, kInEndpoint, list.get(), &kBoardInterfaceClass), 0u);
    std::uint8_t buffer[64];
    std::uint32_t count = sizeof buffer;
    // Nothing was asked for, so nothing arrives.
    EXPECT_EQ(in.ReadSync(buffer, count, 1000), kStatusTransferCancelled);
    EXPECT_EQ(count, 0u);
}

TEST(UsbIoPipe, WaitForCompletionReportsTheTimeoutThenTheCompletion) {
    Bus bus("2d");
    TUsbIoPipe in(bus.driver);
    auto list = in.CreateDeviceList(&kBoardInterfaceClass);
    ASSERT_EQ(in.Bind(0, kInEndpoint, list.get(), &kBoardInterfaceClass), 0u);
    std::uint8_t buffer[8];
    TUsbIoBuf buf(buffer, sizeof buffer);
    buf.NumberOfBytesToTransfer = sizeof buffer;
    ASSERT_TRUE(in.Read(buf));
    EXPECT_EQ(buf.Status, kStatusPending);
    EXPECT_EQ(in.WaitForCompletion(buf, 5), kStatusTimeout);
    EXPECT_EQ(buf.Status, kStatusPending);
    EXPECT_EQ(in.WaitForCompletion(buf, kWaitForever), kStatusTransferCancelled);
    EXPECT_EQ(buf.Status, kStatusTransferCancelled);
}

TEST(UsbIoPipe, TransferOnTheWrongDirectionIsRefused) {
    Bus bus("2d");
    TUsbIoPipe out(bus.driver);
    auto list = out.CreateDeviceList(&kBoardInterfaceClass);
    ASSERT_EQ(out.Bind(0, kOutEndpoint, list.get(), &kBoardInterfaceClass), 0u);
    std::uint8_t buffer[8];
    std::uint32_t count = sizeof buffer;
    EXPECT_NE(out.ReadSync(buffer, count, 1000), 0u);
    EXPECT_EQ(bus.driver->board(1).transfers(), 0u);
}

struct ConfigCase {
    const char* text;
    bool valid;
};

TEST(SimConfig, AcceptsTheDocumentedKeysAndRejectsAnythingElse) {
    const ConfigCase cases[] = {
        {"2d,3d", true},
        {"3d:fw=3100:version=0x0c01:settle=3:release=0x0505", true},
        {"2d:settle=never:busy_polls=never:pipes=1:api=0x100:serial=77", true},
        {"2d:fail=setconfig+bindin:fail_transfer=3+9:timeout_transfer=4", true},
        {"2d:extstart=1:stopinput=250,2d:extstart=0:stopinput=never", true},
        {"2d:extstart=2", false},
        {"2d:stopinput=-1", false},
        {"", true},
        {"4d", false},
        {"2d,", false},
        {"2d:fw", false},
        {"2d:fw=", false},
        {"2d:fw=65536", false},
        {"2d:fw=12a", false},
        {"2d:fw= 12", false},
        {"2d:colour=red", false},
        {"2d:fail=everything", false},
        {"2d:fail_transfer=0", false},
        {"2D", false},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto config = sim::parse_sim_config(c.text, error);
        EXPECT_EQ(config.has_value(), c.valid) << c.text;
        EXPECT_EQ(error.empty(), c.valid) << c.text;
    }
}

TEST(SimConfig, VariantDefaultsAndOverrides) {
    std::string error;
    const auto config = sim::parse_sim_config("2d,3d,3d:version=0x0001:fw=2600", error);
    ASSERT_TRUE(config);
    ASSERT_EQ(config->boards.size(), 3u);
    EXPECT_FALSE(config->boards[0].board_version_word & 0x400);
    EXPECT_TRUE(config->boards[1].board_version_word & 0x400);
    EXPECT_GE(config->boards[1].firmware_version, 3000);
    EXPECT_EQ(config->boards[2].board_version_word, 0x0001);
    EXPECT_EQ(config->boards[2].firmware_version, 2600);
}

} // namespace
} // namespace quarnel::testing
