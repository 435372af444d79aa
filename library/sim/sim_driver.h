// The driver seam over simulated boards: every board of a QUARNEL_SIM configuration is on
// the bus, in order; its device path is "sim:<place>". With a trace file, every transfer
// that completes writes one line "<place> OUT <hex>" or "<place> IN <hex>" (the bytes that
// moved, lowercase hex pairs), flushed as it is written.
#pragma once

#include "sim/sim_board.h"
#include "usb/usb_driver.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quarnel::sim {

class SimTrace {
public:
    explicit SimTrace(const std::string& path);
    ~SimTrace();
    SimTrace(const SimTrace&) = delete;
    SimTrace& operator=(const SimTrace&) = delete;
    bool is_open() const { return file_ != nullptr; }
    void write(int place, bool in, const std::uint8_t* bytes, std::uint32_t count);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

class SimDriver : public UsbDriver {
public:
    // `source` is the QUARNEL_SIM text the configuration came from (kept to tell whether a
    // re-initialisation asks for the same boards); `trace_path` empty: no trace;
    // `motion_path` empty: no motion file (QUARNEL_SIM_MOTION); `speed` scales the boards'
    // clocks to real time, 0 runs their lists as fast as they can (QUARNEL_SIM_SPEED).
    explicit SimDriver(const SimConfig& config, std::string source = {},
                       const std::string& trace_path = {}, const std::string& motion_path = {},
                       double speed = 0.0);

    std::vector<std::string> list_devices() override;
    const char* kind() const override { return "sim"; }

    int board_count() const { return static_cast<int>(boards_.size()); }
    SimBoard& board(int place) { return *boards_.at(static_cast<std::size_t>(place - 1)); }
    const std::string& source() const { return source_; }
    const std::string& trace_path() const { return trace_path_; }
    const std::string& motion_path() const { return motion_path_; }
    double speed() const { return speed_; }

protected:
    std::unique_ptr<UsbDeviceHandle> open(const std::string& path) override;

private:
    std::vector<std::shared_ptr<SimBoard>> boards_;
    std::shared_ptr<SimTrace> trace_;
    std::string source_;
    std::string trace_path_;
    std::string motion_path_;
    double speed_ = 0.0;
};

} // namespace quarnel::sim
