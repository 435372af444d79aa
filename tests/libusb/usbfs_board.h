// One simulated board behind an emulated USB device: the sysfs records a real board shows and
// the usbfs requests libusb sends on its /dev/bus/usb node. Bulk OUT data goes into the
// simulated board, bulk IN data comes from it, so the board behind the device is the one the
// simulated driver talks to. Faults for the board's next bulk transfer can be armed.
#pragma once

#include "sim/sim_board.h"
#include "sim/sim_driver.h"

#include <umockdev.h>

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace quarnel::testing {

enum class UsbFault {
    None,
    Timeout, // the transfer never completes; libusb cancels it at its time-out
    Stall,   // the endpoint halts until the host clears it
    Fail,    // the transfer ends with a protocol error
    Short,   // the IN transfer moves fewer bytes than the board's reply holds
    Unplug,  // the board is pulled out while the transfer is in flight
};

class UsbfsBoard {
public:
    // `port` is the board's port on bus 1 (its sysfs name is "1-<port>"), `address` its
    // device address (a board plugged again gets a new one, as from the kernel).
    UsbfsBoard(UMockdevTestbed* testbed, int port, int address,
               std::shared_ptr<sim::SimBoard> board, std::shared_ptr<sim::SimTrace> trace);
    ~UsbfsBoard();
    UsbfsBoard(const UsbfsBoard&) = delete;
    UsbfsBoard& operator=(const UsbfsBoard&) = delete;

    // Arms a fault for the board's next bulk transfer (for Short: the next IN transfer moves
    // at most `bytes`).
    void arm(UsbFault fault, std::uint32_t bytes = 0);
    // Takes the device off the bus: its records go and a remove event is sent. (Destroying
    // the object does the same and also closes its node.)
    void unplug();
    bool plugged() const;
    sim::SimBoard& board() { return *board_; }
    int port() const { return port_; }

private:
    struct Urb {
        UMockdevIoctlData* data = nullptr;   // the client's struct usbdevfs_urb
        UMockdevIoctlData* buffer = nullptr; // its buffer
        bool done = false;
    };

    static gboolean on_ioctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client,
                             gpointer self);
    void handle(UMockdevIoctlClient* client);
    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(UMockdevIoctlClient* client, unsigned long address);
    void remove_records();
    void run_control(Urb& urb);
    void run_bulk(Urb& urb);
    std::vector<std::uint8_t> descriptor(std::uint8_t type, std::uint8_t index) const;
    std::vector<std::uint8_t> all_descriptors() const;
    unsigned serial_number() const; // what the board reports, also its USB serial string

    UMockdevTestbed* testbed_;
    const int port_;
    std::shared_ptr<sim::SimBoard> board_;
    std::shared_ptr<sim::SimTrace> trace_;
    std::string syspath_;
    std::string devnode_;   // /dev/bus/usb/001/<address>
    std::string node_file_; // the node in the testbed
    UMockdevIoctlBase* handler_ = nullptr;

    mutable std::mutex mutex_;
    std::deque<Urb> urbs_; // in submission order
    std::set<unsigned> halted_;
    UsbFault fault_ = UsbFault::None;
    std::uint32_t short_bytes_ = 0;
    bool plugged_ = true;
};

} // namespace quarnel::testing
