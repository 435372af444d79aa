#include "usb/libusb/libusb_driver.h"

#include "usb/driver_records.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace quarnel {
namespace {

// One opened device, shared by every handle opened on it (the enumerator and the two pipes),
// because only one handle may claim the interface.
struct OpenDevice {
    libusb_device_handle* handle = nullptr;
    libusb_device* device = nullptr;
    std::mutex mutex;
    bool claimed = false;

    ~OpenDevice() {
        if (claimed)
            libusb_release_interface(handle, 0);
        libusb_close(handle);
    }
};

std::uint32_t transfer_status(int result, bool& timed_out) {
    timed_out = result == LIBUSB_ERROR_TIMEOUT;
    switch (result) {
    case LIBUSB_SUCCESS:
        return kStatusSuccess;
    case LIBUSB_ERROR_TIMEOUT:
        return kStatusTransferCancelled;
    case LIBUSB_ERROR_PIPE:
        return kStatusEndpointStalled;
    case LIBUSB_ERROR_NO_DEVICE:
        return kStatusDeviceGone;
    default:
        return kStatusTransferError;
    }
}

class LibusbHandle : public UsbDeviceHandle {
public:
    explicit LibusbHandle(std::shared_ptr<OpenDevice> device) : device_(std::move(device)) {}

    std::uint32_t request(std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                          std::uint32_t out_size, std::uint32_t& bytes_returned) override;

    std::uint32_t transfer(bool in, std::uint8_t* buffer, std::uint32_t& count,
                           std::uint32_t timeout_ms, bool& timed_out) override {
        timed_out = false;
        if (!endpoint_ || in != ((endpoint_ & 0x80) != 0)) {
            count = 0;
            return endpoint_ ? kStatusInvalidParameter : kStatusNotBound;
        }
        int moved = 0;
        const int result = libusb_bulk_transfer(
            device_->handle, endpoint_, buffer, static_cast<int>(count), &moved,
            timeout_ms == kWaitForever ? 0 : timeout_ms);
        count = static_cast<std::uint32_t>(moved);
        return transfer_status(result, timed_out);
    }

private:
    std::uint32_t configure();
    std::uint32_t pipe_count(std::uint32_t& pipes);

    std::shared_ptr<OpenDevice> device_;
    std::uint8_t endpoint_ = 0;
};

std::uint32_t LibusbHandle::configure() {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device_->device, 0, &config) != LIBUSB_SUCCESS)
        return kStatusRequestFailed;
    const int wanted = config->bConfigurationValue;
    libusb_free_config_descriptor(config);

    std::lock_guard<std::mutex> hold(device_->mutex);
    libusb_set_auto_detach_kernel_driver(device_->handle, 1);
    int active = 0;
    if (libusb_get_configuration(device_->handle, &active) != LIBUSB_SUCCESS)
        return kStatusRequestFailed;
    if (active != wanted && libusb_set_configuration(device_->handle, wanted) != LIBUSB_SUCCESS)
        return kStatusRequestFailed;
    if (!device_->claimed) {
        if (libusb_claim_interface(device_->handle, 0) != LIBUSB_SUCCESS)
            return kStatusRequestFailed;
        device_->claimed = true;
    }
    return libusb_set_interface_alt_setting(device_->handle, 0, 0) == LIBUSB_SUCCESS
               ? kStatusSuccess
               : kStatusRequestFailed;
}

std::uint32_t LibusbHandle::pipe_count(std::uint32_t& pipes) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device_->device, &config) != LIBUSB_SUCCESS)
        return kStatusRequestFailed;
    pipes = 0;
    if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0)
        pipes = config->interface[0].altsetting[0].bNumEndpoints;
    libusb_free_config_descriptor(config);
    return kStatusSuccess;
}

std::uint32_t LibusbHandle::request(std::uint32_t code, const void* in, std::uint32_t in_size,
                                    void* out, std::uint32_t out_size,
                                    std::uint32_t& bytes_returned) {
    bytes_returned = 0;
    switch (code) {
    case kIoctlGetDriverInfo: {
        USBIO_DRIVER_INFO info{kMinimumDriverApiVersion, 0, 0, 0};
        if (!out || out_size < sizeof info)
            return kStatusInvalidParameter;
        std::memcpy(out, &info, sizeof info);
        bytes_returned = sizeof info;
        return kStatusSuccess;
    }
    case kIoctlGetDescriptor: {
        USBIO_DESCRIPTOR_REQUEST request{};
        if (!in || in_size != sizeof request || !out)
            return kStatusInvalidParameter;
        std::memcpy(&request, in, sizeof request);
        const int n = libusb_get_descriptor(device_->handle, request.DescriptorType,
                                            request.DescriptorIndex,
                                            static_cast<unsigned char*>(out),
                                            static_cast<int>(out_size));
        if (n < 0)
            return kStatusRequestFailed;
        bytes_returned = static_cast<std::uint32_t>(n);
        return kStatusSuccess;
    }
    case kIoctlSetConfiguration:
        if (!in || in_size != sizeof(USBIO_SET_CONFIGURATION))
            return kStatusInvalidParameter;
        return configure();
    case kIoctlUnconfigureDevice: {
        std::lock_guard<std::mutex> hold(device_->mutex);
        if (device_->claimed)
            libusb_release_interface(device_->handle, 0);
        device_->claimed = false;
        return kStatusSuccess;
    }
    case kIoctlGetConfigurationInfo: {
        USBIO_CONFIGURATION_INFO info{};
        if (!out || out_size < sizeof info)
            return kStatusInvalidParameter;
        if (const std::uint32_t status = pipe_count(info.NbOfPipes); status != kStatusSuccess)
            return status;
        info.NbOfInterfaces = 1;
        std::memcpy(out, &info, sizeof info);
        bytes_returned = sizeof info;
        return kStatusSuccess;
    }
    case kIoctlBind:
        if (!in || in_size != 1)
            return kStatusInvalidParameter;
        endpoint_ = *static_cast<const std::uint8_t*>(in);
        return kStatusSuccess;
    case kIoctlResetPipe: {
        if (!endpoint_)
            return kStatusNotBound;
        bool timed_out = false;
        return transfer_status(libusb_clear_halt(device_->handle, endpoint_), timed_out);
    }
    default:
        return kStatusInvalidParameter;
    }
}

struct FoundDevice {
    std::vector<std::uint8_t> bus_path; // bus number, then the port numbers
    std::string path;
};

class LibusbDriver : public UsbDriver {
public:
    explicit LibusbDriver(libusb_context* context) : context_(context) {}
    ~LibusbDriver() override {
        open_.clear();
        libusb_exit(context_);
    }

    std::vector<std::string> list_devices() override {
        std::vector<FoundDevice> found;
        libusb_device** list = nullptr;
        const ssize_t n = libusb_get_device_list(context_, &list);
        for (ssize_t i = 0; i < n; ++i) {
            libusb_device_descriptor desc{};
            if (libusb_get_device_descriptor(list[i], &desc) != LIBUSB_SUCCESS ||
                desc.idVendor != kBoardVendor || desc.idProduct != kBoardProduct)
                continue;
            found.push_back({bus_path(list[i]), path_of(list[i])});
        }
        if (list)
            libusb_free_device_list(list, 1);
        std::sort(found.begin(), found.end(),
                  [](const FoundDevice& a, const FoundDevice& b) { return a.bus_path < b.bus_path; });
        std::vector<std::string> paths;
        for (const FoundDevice& device : found)
            paths.push_back(device.path);
        return paths;
    }

    const char* kind() const override { return "libusb"; }

protected:
    std::unique_ptr<UsbDeviceHandle> open(const std::string& path) override {
        std::lock_guard<std::mutex> hold(mutex_);
        libusb_device** list = nullptr;
        const ssize_t n = libusb_get_device_list(context_, &list);
        std::shared_ptr<OpenDevice> opened;
        for (ssize_t i = 0; i < n && !opened; ++i) {
            if (path_of(list[i]) != path)
                continue;
            // The device already open in this port is shared, unless another device has been
            // plugged into the port since.
            if (auto device = open_[path].lock(); device && device->device == list[i]) {
                opened = std::move(device);
                continue;
            }
            libusb_device_handle* handle = nullptr;
            if (libusb_open(list[i], &handle) == LIBUSB_SUCCESS) {
                opened = std::make_shared<OpenDevice>();
                opened->handle = handle;
                opened->device = libusb_get_device(handle);
                open_[path] = opened;
            }
        }
        if (list)
            libusb_free_device_list(list, 1);
        if (!opened)
            return nullptr;
        return std::make_unique<LibusbHandle>(std::move(opened));
    }

private:
    static std::vector<std::uint8_t> bus_path(libusb_device* device) {
        std::uint8_t ports[8];
        const int n = libusb_get_port_numbers(device, ports, sizeof ports);
        std::vector<std::uint8_t> path;
        path.push_back(libusb_get_bus_number(device));
        for (int i = 0; i < n; ++i)
            path.push_back(ports[i]);
        return path;
    }

    static std::string path_of(libusb_device* device) {
        const std::vector<std::uint8_t> parts = bus_path(device);
        std::string path = "usb:" + std::to_string(parts[0]);
        for (std::size_t i = 1; i < parts.size(); ++i)
            path += (i == 1 ? "-" : ".") + std::to_string(parts[i]);
        return path;
    }

    libusb_context* context_;
    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<OpenDevice>> open_;
};

} // namespace

std::shared_ptr<UsbDriver> make_libusb_driver() {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return nullptr;
    return std::make_shared<LibusbDriver>(context);
}

} // namespace quarnel
