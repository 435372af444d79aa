// The driver's request records, I/O control codes and status codes, and the standard USB
// device descriptor. Records are packed little-endian byte images of the sizes the driver
// exchanges, so that both drivers below the seam read and write the same bytes.
#pragma once

#include <cstdint>

namespace quarnel {

// Status codes the USB layer itself produces.
constexpr std::uint32_t kStatusSuccess = 0;
constexpr std::uint32_t kStatusPending = 997;                // transfer still in progress
constexpr std::uint32_t kStatusNoMoreItems = 259;            // the platform's "no more items"
constexpr std::uint32_t kStatusDeviceOpenFailed = 0xE0001100;
constexpr std::uint32_t kStatusDeviceNotOpen = 0xE0001102;
constexpr std::uint32_t kStatusNoSuchDeviceInterface = 0xE0001104;
constexpr std::uint32_t kStatusNoInterfaceClass = 0xE0001105;
constexpr std::uint32_t kStatusDriverTooOld = 0xE000101C;
constexpr std::uint32_t kStatusNoMemory = 0xE0000100;
constexpr std::uint32_t kStatusTimeout = 0xE000100C;
constexpr std::uint32_t kStatusSlotEmpty = 0xE000100A;       // a board slot without a board

// Statuses of the drivers below the seam (their own codes; the layer passes them on).
constexpr std::uint32_t kStatusTransferCancelled = 0xE0002001; // a transfer ended by a cancel
constexpr std::uint32_t kStatusEndpointStalled = 0xE0002002;
constexpr std::uint32_t kStatusTransferError = 0xE0002003;
constexpr std::uint32_t kStatusDeviceGone = 0xE0002004;
constexpr std::uint32_t kStatusRequestFailed = 0xE0002005;     // a driver request was refused
constexpr std::uint32_t kStatusNotBound = 0xE0002006;          // a transfer on an unbound handle
constexpr std::uint32_t kStatusInvalidParameter = 0xE0002007;

constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// Driver I/O control codes.
constexpr std::uint32_t kIoctlGetDescriptor = 0x80942006;
constexpr std::uint32_t kIoctlSetConfiguration = 0x80942024;
constexpr std::uint32_t kIoctlUnconfigureDevice = 0x80942028;
constexpr std::uint32_t kIoctlGetConfigurationInfo = 0x80942050;
constexpr std::uint32_t kIoctlGetDriverInfo = 0x8094206C;
constexpr std::uint32_t kIoctlBind = 0x80942078;
constexpr std::uint32_t kIoctlResetPipe = 0x80942080;

constexpr std::uint16_t kMinimumDriverApiVersion = 0x200;

#pragma pack(push, 1)

struct USBIO_DESCRIPTOR_REQUEST {
    std::uint32_t Recipient; // 0 = device
    std::uint8_t DescriptorType;
    std::uint8_t DescriptorIndex;
    std::uint16_t LanguageId;
};
static_assert(sizeof(USBIO_DESCRIPTOR_REQUEST) == 8);

struct USBIO_INTERFACE_SETTING {
    std::uint16_t InterfaceIndex;
    std::uint16_t AlternateSettingIndex;
    std::uint32_t MaximumTransferSize;
};

constexpr int kMaxInterfaces = 32;

struct USBIO_SET_CONFIGURATION {
    std::uint16_t ConfigurationIndex;
    std::uint16_t NbOfInterfaces;
    USBIO_INTERFACE_SETTING InterfaceList[kMaxInterfaces];
};
static_assert(sizeof(USBIO_SET_CONFIGURATION) == 260);

struct USBIO_CONFIGURATION_INFO {
    std::uint32_t NbOfInterfaces;
    std::uint32_t NbOfPipes;
    std::uint8_t InterfaceAndPipeInfo[768];
};
static_assert(sizeof(USBIO_CONFIGURATION_INFO) == 776);

struct USBIO_DRIVER_INFO {
    std::uint16_t APIVersion;
    std::uint16_t DriverVersion;
    std::uint32_t DriverBuildNumber;
    std::uint32_t Flags;
};
static_assert(sizeof(USBIO_DRIVER_INFO) == 12);

struct USBIO_BIND_PIPE {
    std::uint8_t EndpointAddress;
};
static_assert(sizeof(USBIO_BIND_PIPE) == 1);

struct USB_DEVICE_DESCRIPTOR {
    std::uint8_t bLength;
    std::uint8_t bDescriptorType;
    std::uint16_t bcdUSB;
    std::uint8_t bDeviceClass;
    std::uint8_t bDeviceSubClass;
    std::uint8_t bDeviceProtocol;
    std::uint8_t bMaxPacketSize0;
    std::uint16_t idVendor;  // byte offset 8
    std::uint16_t idProduct; // byte offset 10
    std::uint16_t bcdDevice; // byte offset 12
    std::uint8_t iManufacturer;
    std::uint8_t iProduct;
    std::uint8_t iSerialNumber;
    std::uint8_t bNumConfigurations;
};
static_assert(sizeof(USB_DEVICE_DESCRIPTOR) == 18);

#pragma pack(pop)

constexpr std::uint8_t kDescriptorTypeDevice = 1;

// The device interface class of the boards' driver.
struct InterfaceGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

constexpr InterfaceGuid kBoardInterfaceClass = {
    0xA0DA6B84, 0xF505, 0x4B82, {0xA3, 0x70, 0xF2, 0x91, 0x5B, 0x07, 0x6E, 0xC7}};

// The boards' identity on the bus.
constexpr std::uint16_t kBoardVendor = 0x0451;
constexpr std::uint16_t kBoardProduct = 0x9001;
constexpr std::uint16_t kBoardRelease = 0x0505;
constexpr std::uint8_t kOutEndpoint = 0x01;
constexpr std::uint8_t kInEndpoint = 0x81;

} // namespace quarnel
