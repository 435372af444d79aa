#include "usbfs_board.h"

#include "usb/driver_records.h"

#include <endian.h>
#include <linux/usb/ch9.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quarnel::testing {
namespace {

constexpr std::uint8_t kSerialStringIndex = 3;
constexpr std::uint16_t kEnglish = 0x0409;
// What the host may rely on; no continuation, so libusb sends each small transfer as one URB.
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
// libusb reaps without delay in a loop; a short wait when nothing is done keeps it from
// spinning a core.
constexpr gulong kIdleReapMicroseconds = 500;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::string three_digits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// Keys and values in turn, each value followed by `end`.
std::vector<std::string> key_values(
    std::initializer_list<std::pair<std::string, std::string>> pairs, const char* end) {
    std::vector<std::string> list;
    for (const auto& [key, value] : pairs) {
        list.push_back(key);
        list.push_back(value + end);
    }
    return list;
}

// A null-terminated array over the strings, as GLib takes string lists.
std::vector<gchar*> string_list(std::vector<std::string>& strings) {
    std::vector<gchar*> list;
    for (std::string& s : strings)
        list.push_back(s.data());
    list.push_back(nullptr);
    return list;
}

bool verbose() { return std::getenv("QUARNEL_USB_RUNNER_VERBOSE") != nullptr; }

} // namespace

UsbfsBoard::UsbfsBoard(UMockdevTestbed* testbed, int port, int address,
                       std::shared_ptr<sim::SimBoard> board, std::shared_ptr<sim::SimTrace> trace)
    : testbed_(testbed), port_(port), board_(std::move(board)), trace_(std::move(trace)) {
    const std::string name = "1-" + std::to_string(port_);
    devnode_ = "/dev/bus/usb/001/" + three_digits(address);
    const sim::SimBoardConfig& config = board_->config();
    char release[8];
    std::snprintf(release, sizeof release, "%04x", config.release);
    const std::string serial = std::to_string(serial_number());
    // sysfs attribute files end in a line end, as the kernel writes them; "dev" (a character
    // device of usbfs's major number) makes the testbed create the node.
    std::vector<std::string> attributes = key_values(
        {{"idVendor", "0451"}, {"idProduct", "9001"}, {"bcdDevice", release}, {"serial", serial},
         {"busnum", "1"}, {"devnum", std::to_string(address)}, {"speed", "12"},
         {"bConfigurationValue", "1"}, {"bNumInterfaces", " 1"}, {"bNumConfigurations", "1"}},
        "\n");
    attributes.insert(attributes.end(), {"dev", "189:" + std::to_string(address - 1)});
    std::vector<std::string> properties = key_values(
        {{"DEVNAME", devnode_}, {"DEVTYPE", "usb_device"}, {"BUSNUM", "001"},
         {"DEVNUM", three_digits(address)}, {"PRODUCT", std::string("451/9001/") + release},
         {"ID_SERIAL_SHORT", serial}},
        "");
    gchar* path = umockdev_testbed_add_devicev(testbed_, "usb", name.c_str(), nullptr,
                                               string_list(attributes).data(),
                                               string_list(properties).data());
    syspath_ = path ? path : "";
    g_free(path);
    // The node itself: a plain file, as the testbed makes for USB devices it reads from text;
    // opening it connects to the request handler below.
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    node_file_ = std::string(root) + devnode_;
    g_free(root);
    const std::string folder = node_file_.substr(0, node_file_.rfind('/'));
    g_mkdir_with_parents(folder.c_str(), 0755);
    g_file_set_contents(node_file_.c_str(), "", 0, nullptr);
    const std::vector<std::uint8_t> all = all_descriptors();
    umockdev_testbed_set_attribute_binary(testbed_, syspath_.c_str(), "descriptors",
                                          const_cast<std::uint8_t*>(all.data()),
                                          static_cast<gint>(all.size()));
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&UsbfsBoard::on_ioctl), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, devnode_.c_str(), handler_, &error)) {
        std::fprintf(stderr, "usb runner: cannot attach %s: %s\n", devnode_.c_str(),
                     error ? error->message : "?");
        g_clear_error(&error);
    }
    umockdev_testbed_uevent(testbed_, syspath_.c_str(), "add");
}

UsbfsBoard::~UsbfsBoard() {
    remove_records();
    umockdev_testbed_detach_ioctl(testbed_, devnode_.c_str(), nullptr);
    {
        std::lock_guard<std::mutex> hold(mutex_);
        for (Urb& urb : urbs_) {
            umockdev_ioctl_data_unref(urb.buffer);
            umockdev_ioctl_data_unref(urb.data);
        }
        urbs_.clear();
    }
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
}

void UsbfsBoard::arm(UsbFault fault, std::uint32_t bytes) {
    std::lock_guard<std::mutex> hold(mutex_);
    fault_ = fault;
    short_bytes_ = bytes;
}

bool UsbfsBoard::plugged() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return plugged_;
}

void UsbfsBoard::unplug() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        plugged_ = false;
    }
    remove_records();
}

void UsbfsBoard::remove_records() {
    if (syspath_.empty())
        return;
    umockdev_testbed_uevent(testbed_, syspath_.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, syspath_.c_str());
    g_unlink(node_file_.c_str());
    syspath_.clear();
}

unsigned UsbfsBoard::serial_number() const {
    const sim::SimBoardConfig& config = board_->config();
    return config.serial_number ? config.serial_number : 1000u + static_cast<unsigned>(board_->place());
}

std::vector<std::uint8_t> UsbfsBoard::descriptor(std::uint8_t type, std::uint8_t index) const {
    std::vector<std::uint8_t> d;
    const sim::SimBoardConfig& config = board_->config();
    if (type == USB_DT_DEVICE && index == 0) {
        d = {18, USB_DT_DEVICE, 0x10, 0x01, 0xFF, 0, 0, 64};
        put16(d, kBoardVendor);
        put16(d, kBoardProduct);
        put16(d, config.release);
        d.insert(d.end(), {0, 0, kSerialStringIndex, 1});
    } else if (type == USB_DT_CONFIG && index == 0) {
        // Configuration 1: interface 0 with the two bulk pipes of 64 bytes.
        d = {9, USB_DT_CONFIG, 32, 0, 1, 1, 0, 0x80, 50,
             9, USB_DT_INTERFACE, 0, 0, 2, 0xFF, 0, 0, 0};
        for (std::uint8_t endpoint : {kOutEndpoint, kInEndpoint}) {
            d.insert(d.end(), {7, USB_DT_ENDPOINT, endpoint, USB_ENDPOINT_XFER_BULK});
            put16(d, 64);
            d.push_back(0);
        }
    } else if (type == USB_DT_STRING && index == 0) {
        d = {4, USB_DT_STRING};
        put16(d, kEnglish);
    } else if (type == USB_DT_STRING && index == kSerialStringIndex) {
        const std::string text = std::to_string(serial_number());
        d = {static_cast<std::uint8_t>(2 + 2 * text.size()), USB_DT_STRING};
        for (char c : text)
            put16(d, static_cast<std::uint8_t>(c));
    }
    return d;
}

std::vector<std::uint8_t> UsbfsBoard::all_descriptors() const {
    std::vector<std::uint8_t> all = descriptor(USB_DT_DEVICE, 0);
    const std::vector<std::uint8_t> config = descriptor(USB_DT_CONFIG, 0);
    all.insert(all.end(), config.begin(), config.end());
    return all;
}

gboolean UsbfsBoard::on_ioctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    static_cast<UsbfsBoard*>(self)->handle(client);
    return TRUE;
}

void UsbfsBoard::handle(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (request == USBDEVFS_DISCARDURB) {
        unsigned long address = 0;
        std::memcpy(&address, arg->data, std::min<std::size_t>(sizeof address, arg->data_len));
        discard(client, address);
        return;
    }
    const std::size_t size = _IOC_SIZE(request);
    GError* error = nullptr;
    UMockdevIoctlData* data = size ? umockdev_ioctl_data_resolve(arg, 0, size, &error) : nullptr;
    if (size && !data) {
        std::fprintf(stderr, "usb runner: cannot read request 0x%lx: %s\n", request,
                     error ? error->message : "?");
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        reap(client, data);
    } else if (!plugged()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
    } else if (request == USBDEVFS_SUBMITURB) {
        submit(client, data);
    } else if (request == USBDEVFS_GET_CAPABILITIES) {
        std::memcpy(data->data, &kCapabilities, sizeof kCapabilities);
        umockdev_ioctl_client_complete(client, 0, 0);
    } else if (request == USBDEVFS_CLEAR_HALT) {
        unsigned endpoint = 0;
        std::memcpy(&endpoint, data->data, sizeof endpoint);
        {
            std::lock_guard<std::mutex> hold(mutex_);
            halted_.erase(endpoint);
        }
        board_->reset_pipe((endpoint & 0x80) != 0);
        umockdev_ioctl_client_complete(client, 0, 0);
    } else if (request == USBDEVFS_CLAIMINTERFACE || request == USBDEVFS_DISCONNECT_CLAIM ||
               request == USBDEVFS_RELEASEINTERFACE ||
               request == USBDEVFS_SETINTERFACE || request == USBDEVFS_SETCONFIGURATION ||
               request == USBDEVFS_RESET) {
        umockdev_ioctl_client_complete(client, 0, 0);
    } else if (request == USBDEVFS_IOCTL) {
        umockdev_ioctl_client_complete(client, 0, 0); // no kernel driver to attach or detach
    } else if (request == USBDEVFS_GETDRIVER) {
        umockdev_ioctl_client_complete(client, -1, ENODATA); // no kernel driver bound
    } else {
        if (verbose())
            std::fprintf(stderr, "usb runner: request 0x%lx not served\n", request);
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
    }
    if (data)
        umockdev_ioctl_data_unref(data);
}

void UsbfsBoard::submit(UMockdevIoctlClient* client, UMockdevIoctlData* data) {
    auto* request = reinterpret_cast<usbdevfs_urb*>(data->data);
    GError* error = nullptr;
    Urb urb;
    urb.buffer = umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                             static_cast<gsize>(request->buffer_length), &error);
    if (!urb.buffer) {
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    if (request->type != USBDEVFS_URB_TYPE_CONTROL && request->type != USBDEVFS_URB_TYPE_BULK) {
        umockdev_ioctl_data_unref(urb.buffer);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    urb.data = umockdev_ioctl_data_ref(data);
    request->status = 0;
    request->actual_length = 0;
    bool pulled_out = false;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (request->type == USBDEVFS_URB_TYPE_CONTROL)
            run_control(urb);
        else
            run_bulk(urb);
        urbs_.push_back(urb);
        pulled_out = !plugged_;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    if (pulled_out)
        remove_records(); // before the host can see the transfer end
}

void UsbfsBoard::run_control(Urb& urb) {
    auto* request = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    urb.done = true;
    if (urb.buffer->data_len < 8) {
        request->status = -EPIPE;
        return;
    }
    usb_ctrlrequest setup;
    std::memcpy(&setup, urb.buffer->data, sizeof setup);
    const std::uint16_t value = le16toh(setup.wValue);
    const std::uint16_t length = le16toh(setup.wLength);
    if (setup.bRequestType == USB_DIR_IN && setup.bRequest == USB_REQ_GET_DESCRIPTOR) {
        const std::vector<std::uint8_t> d =
            descriptor(static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value));
        if (d.empty()) {
            request->status = -EPIPE;
            return;
        }
        const std::size_t room = static_cast<std::size_t>(urb.buffer->data_len) - 8;
        const std::size_t n = std::min({d.size(), room, static_cast<std::size_t>(length)});
        std::memcpy(urb.buffer->data + 8, d.data(), n);
        request->actual_length = static_cast<int>(n);
    } else if ((setup.bRequestType & USB_DIR_IN) == 0) {
        request->actual_length = 0; // SET_CONFIGURATION, SET_INTERFACE, CLEAR_FEATURE: accepted
    } else {
        request->status = -EPIPE;
    }
}

void UsbfsBoard::run_bulk(Urb& urb) {
    auto* request = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    const unsigned endpoint = request->endpoint;
    const bool in = (endpoint & USB_DIR_IN) != 0;
    const UsbFault fault = fault_;
    if (fault != UsbFault::Short || in)
        fault_ = UsbFault::None;
    urb.done = true;
    if (halted_.count(endpoint) || fault == UsbFault::Stall) {
        halted_.insert(endpoint);
        request->status = -EPIPE;
        return;
    }
    if (fault == UsbFault::Unplug) {
        // The board goes while the transfer is in flight: it ends as the kernel ends it.
        plugged_ = false;
        request->status = -ESHUTDOWN;
        return;
    }
    const std::uint64_t next = board_->transfers() + 1;
    if (fault == UsbFault::Timeout || fault == UsbFault::Fail)
        board_->fail_transfer(next, fault == UsbFault::Timeout);
    if (fault == UsbFault::Short)
        board_->shorten_reply(next, short_bytes_);
    auto* bytes = urb.buffer->data;
    const auto count = static_cast<std::uint32_t>(urb.buffer->data_len);
    const sim::TransferOutcome outcome =
        in ? board_->transfer_in(bytes, count) : board_->transfer_out(bytes, count);
    if (outcome.timed_out) {
        urb.done = false; // stays in flight until the host discards it
        return;
    }
    request->actual_length = static_cast<int>(outcome.moved);
    if (outcome.status != kStatusSuccess) {
        request->status = -EPROTO;
        return;
    }
    if (trace_)
        trace_->write(board_->place(), in, bytes, outcome.moved);
}

void UsbfsBoard::discard(UMockdevIoctlClient* client, unsigned long address) {
    std::lock_guard<std::mutex> hold(mutex_);
    for (Urb& urb : urbs_) {
        if (urb.data->client_addr != address || urb.done)
            continue;
        urb.done = true;
        reinterpret_cast<usbdevfs_urb*>(urb.data->data)->status = -ENOENT;
        umockdev_ioctl_client_complete(client, 0, 0);
        return;
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

void UsbfsBoard::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    std::unique_lock<std::mutex> hold(mutex_);
    const auto done = std::find_if(urbs_.begin(), urbs_.end(), [](const Urb& u) { return u.done; });
    if (done == urbs_.end()) {
        const bool gone = !plugged_;
        hold.unlock();
        if (!gone)
            g_usleep(kIdleReapMicroseconds);
        umockdev_ioctl_client_complete(client, -1, gone ? ENODEV : EAGAIN);
        return;
    }
    const Urb urb = *done;
    urbs_.erase(done);
    hold.unlock();
    umockdev_ioctl_data_set_ptr(arg, 0, urb.data);
    umockdev_ioctl_client_complete(client, 0, 0);
    umockdev_ioctl_data_unref(urb.buffer);
    umockdev_ioctl_data_unref(urb.data);
}

} // namespace quarnel::testing
