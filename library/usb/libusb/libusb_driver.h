// The driver seam over libusb-1.0: real boards (vendor 0x0451, product 0x9001) in the order
// of their bus paths, interface 0 claimed when the board is configured, bulk transfers on
// the bound endpoint, a pipe reset clears the endpoint's halt.
#pragma once

#include "usb/usb_driver.h"

#include <memory>

namespace quarnel {

// Null when libusb cannot start.
std::shared_ptr<UsbDriver> make_libusb_driver();

} // namespace quarnel
