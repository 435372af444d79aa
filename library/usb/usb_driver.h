// The seam below the USB classes: one bus of boards, served either by libusb (real boards) or
// by the simulated boards. A driver lists the devices of the boards' interface class, opens
// one by its path, and an open device accepts the seven driver requests (by I/O control
// code, with the records of driver_records.h) and bulk transfers on the endpoint that its
// Bind request chose.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarnel {

// The devices present when the list was made, in bus order; a device's path opens it.
struct DeviceList {
    std::vector<std::string> paths;
};

// The device path used when no device list is given; the device number follows in decimal.
inline constexpr const char* kLegacyDevicePathPrefix = "\\\\.\\USBIO_Device";

class UsbDeviceHandle {
public:
    virtual ~UsbDeviceHandle() = default;

    // One driver request. `bytes_returned` receives the bytes written to `out`.
    virtual std::uint32_t request(std::uint32_t ioctl_code, const void* in, std::uint32_t in_size,
                                  void* out, std::uint32_t out_size,
                                  std::uint32_t& bytes_returned) = 0;

    // A bulk transfer on the bound endpoint: `count` in = bytes to move, out = bytes moved.
    // `in` tells the direction the caller expects. A transfer that does not end within
    // `timeout_ms` (kWaitForever: no limit) is cancelled: `timed_out` is set and the status
    // returned is the one with which the cancelled transfer ended.
    virtual std::uint32_t transfer(bool in, std::uint8_t* buffer, std::uint32_t& count,
                                   std::uint32_t timeout_ms, bool& timed_out) = 0;
};

class UsbDriver {
public:
    virtual ~UsbDriver() = default;

    // Paths of the present devices of the boards' class, in bus order.
    virtual std::vector<std::string> list_devices() = 0;

    // Opens a device; null when it cannot be opened. The legacy path form
    // kLegacyDevicePathPrefix + number names the device of that number in list_devices().
    std::unique_ptr<UsbDeviceHandle> open_path(const std::string& path);

    // "sim" or "libusb".
    virtual const char* kind() const = 0;

protected:
    virtual std::unique_ptr<UsbDeviceHandle> open(const std::string& path) = 0;
};

// The driver a library load or re-initialisation uses: the simulated boards when
// QUARNEL_SIM is set, otherwise libusb (or an empty bus when built without it).
// `current` is kept when it already serves what the environment asks for.
std::shared_ptr<UsbDriver> driver_from_environment(std::shared_ptr<UsbDriver> current);

} // namespace quarnel
