#include "sim/sim_driver.h"

#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "usb/driver_records.h"

#include <chrono>

#include <charconv>
#include <cstring>

namespace quarnel::sim {
namespace {

constexpr const char* kPathPrefix = "sim:";

class SimDeviceHandle : public UsbDeviceHandle {
public:
    SimDeviceHandle(std::shared_ptr<SimBoard> board, std::shared_ptr<SimTrace> trace)
        : board_(std::move(board)), trace_(std::move(trace)) {
        board_->handle_opened();
    }
    ~SimDeviceHandle() override { board_->handle_closed(); }

    std::uint32_t request(std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                          std::uint32_t out_size, std::uint32_t& bytes_returned) override;
    std::uint32_t transfer(bool in, std::uint8_t* buffer, std::uint32_t& count,
                           std::uint32_t timeout_ms, bool& timed_out) override;

private:
    std::uint32_t give(const void* data, std::uint32_t size, void* out, std::uint32_t out_size,
                       std::uint32_t& bytes_returned) {
        if (!out || out_size < size)
            return kStatusInvalidParameter;
        std::memcpy(out, data, size);
        bytes_returned = size;
        return kStatusSuccess;
    }

    std::shared_ptr<SimBoard> board_;
    std::shared_ptr<SimTrace> trace_;
    std::uint8_t endpoint_ = 0; // 0: not bound
};

std::uint32_t SimDeviceHandle::request(std::uint32_t code, const void* in, std::uint32_t in_size,
                                       void* out, std::uint32_t out_size,
                                       std::uint32_t& bytes_returned) {
    bytes_returned = 0;
    const SimBoardConfig& config = board_->config();
    switch (code) {
    case kIoctlGetDriverInfo: {
        if (board_->request_fails("driverinfo"))
            return kStatusRequestFailed;
        USBIO_DRIVER_INFO info{config.api_version, 0x0100, 1, 0};
        return give(&info, sizeof info, out, out_size, bytes_returned);
    }
    case kIoctlGetDescriptor: {
        if (board_->request_fails("descriptor"))
            return kStatusRequestFailed;
        USBIO_DESCRIPTOR_REQUEST request{};
        if (!in || in_size != sizeof request)
            return kStatusInvalidParameter;
        std::memcpy(&request, in, sizeof request);
        if (request.DescriptorType != kDescriptorTypeDevice || request.DescriptorIndex != 0)
            return kStatusRequestFailed;
        USB_DEVICE_DESCRIPTOR desc{18, 1, 0x0110, 0xFF, 0, 0, 64, kBoardVendor, kBoardProduct,
                                   config.release, 0, 0, 0, 1};
        const std::uint32_t n = std::min<std::uint32_t>(out_size, sizeof desc);
        return give(&desc, n, out, out_size, bytes_returned);
    }
    case kIoctlSetConfiguration: {
        if (!in || in_size != sizeof(USBIO_SET_CONFIGURATION))
            return kStatusInvalidParameter;
        if (board_->request_fails("setconfig"))
            return kStatusRequestFailed;
        USBIO_SET_CONFIGURATION conf;
        std::memcpy(&conf, in, sizeof conf);
        if (conf.ConfigurationIndex != 0 || conf.NbOfInterfaces != 1 ||
            conf.InterfaceList[0].InterfaceIndex != 0 ||
            conf.InterfaceList[0].AlternateSettingIndex != 0)
            return kStatusRequestFailed;
        board_->set_configured(true);
        return kStatusSuccess;
    }
    case kIoctlUnconfigureDevice:
        board_->set_configured(false);
        return kStatusSuccess;
    case kIoctlGetConfigurationInfo: {
        if (board_->request_fails("configinfo"))
            return kStatusRequestFailed;
        USBIO_CONFIGURATION_INFO info{};
        if (board_->configured()) {
            info.NbOfInterfaces = 1;
            info.NbOfPipes = config.pipes;
        }
        return give(&info, sizeof info, out, out_size, bytes_returned);
    }
    case kIoctlBind: {
        if (!in || in_size != 1)
            return kStatusInvalidParameter;
        const std::uint8_t endpoint = *static_cast<const std::uint8_t*>(in);
        if (endpoint != kOutEndpoint && endpoint != kInEndpoint)
            return kStatusInvalidParameter;
        if (board_->request_fails(endpoint == kInEndpoint ? "bindin" : "bind"))
            return kStatusRequestFailed;
        endpoint_ = endpoint;
        return kStatusSuccess;
    }
    case kIoctlResetPipe:
        if (!endpoint_)
            return kStatusNotBound;
        board_->reset_pipe(endpoint_ & 0x80);
        return kStatusSuccess;
    default:
        return kStatusInvalidParameter;
    }
}

std::uint32_t SimDeviceHandle::transfer(bool in, std::uint8_t* buffer, std::uint32_t& count,
                                        std::uint32_t /*timeout_ms*/, bool& timed_out) {
    timed_out = false;
    if (!endpoint_ || in != ((endpoint_ & 0x80) != 0)) {
        count = 0;
        return endpoint_ ? kStatusInvalidParameter : kStatusNotBound;
    }
    // The board answers at once; a transfer it has nothing for ends as a time-out would.
    const TransferOutcome outcome =
        in ? board_->transfer_in(buffer, count) : board_->transfer_out(buffer, count);
    count = outcome.moved;
    timed_out = outcome.timed_out;
    if (outcome.status == kStatusSuccess && trace_)
        trace_->write(board_->place(), in, buffer, count);
    return outcome.status;
}

} // namespace

SimTrace::SimTrace(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {
    if (!file_)
        std::fprintf(stderr, "QUARNEL_SIM_TRACE: cannot write \"%s\"\n", path.c_str());
}

SimTrace::~SimTrace() {
    if (file_)
        std::fclose(file_);
}

void SimTrace::write(int place, bool in, const std::uint8_t* bytes, std::uint32_t count) {
    if (!file_)
        return;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line = std::to_string(place) + (in ? " IN " : " OUT ");
    for (std::uint32_t i = 0; i < count; ++i) {
        line.push_back(kDigits[bytes[i] >> 4]);
        line.push_back(kDigits[bytes[i] & 15]);
    }
    line.push_back('\n');
    std::lock_guard<std::mutex> hold(mutex_);
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

SimDriver::SimDriver(const SimConfig& config, std::string source, const std::string& trace_path,
                     const std::string& motion_path, double speed)
    : source_(std::move(source)), trace_path_(trace_path), motion_path_(motion_path),
      speed_(speed) {
    int place = 0;
    for (const SimBoardConfig& board : config.boards)
        boards_.push_back(std::make_shared<SimBoard>(++place, board));
    if (!trace_path.empty())
        trace_ = std::make_shared<SimTrace>(trace_path);
    std::shared_ptr<MotionFile> motion;
    if (!motion_path.empty()) {
        motion = std::make_shared<MotionFile>();
        if (!motion->open(motion_path))
            std::fprintf(stderr, "QUARNEL_SIM_MOTION: cannot write \"%s\"\n", motion_path.c_str());
    }
    const auto start = std::chrono::steady_clock::now();
    for (const auto& board : boards_) {
        auto* firmware = dynamic_cast<ListFirmware*>(&board->firmware());
        if (!firmware)
            continue;
        firmware->set_speed(speed);
        if (motion)
            firmware->set_motion_file(motion);
        if (speed > 0.0) {
            board->set_clock_source([start, speed] {
                const std::chrono::duration<double, std::micro> real =
                    std::chrono::steady_clock::now() - start;
                return static_cast<std::uint64_t>(real.count() * speed);
            });
        }
    }
}

std::vector<std::string> SimDriver::list_devices() {
    std::vector<std::string> paths;
    for (const auto& board : boards_)
        paths.push_back(kPathPrefix + std::to_string(board->place()));
    return paths;
}

std::unique_ptr<UsbDeviceHandle> SimDriver::open(const std::string& path) {
    if (path.rfind(kPathPrefix, 0) != 0)
        return nullptr;
    int place = 0;
    const char* first = path.data() + std::strlen(kPathPrefix);
    const char* last = path.data() + path.size();
    const auto [end, ec] = std::from_chars(first, last, place);
    if (ec != std::errc() || end != last || place < 1 || place > board_count())
        return nullptr;
    auto board = boards_[static_cast<std::size_t>(place - 1)];
    if (board->request_fails("open"))
        return nullptr;
    return std::make_unique<SimDeviceHandle>(std::move(board), trace_);
}

} // namespace quarnel::sim
