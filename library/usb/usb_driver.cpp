#include "usb/usb_driver.h"

#include "sim/sim_driver.h"
#if QUARNEL_WITH_LIBUSB
#include "usb/libusb/libusb_driver.h"
#endif

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quarnel {
namespace {

// A bus without boards: the build has no libusb, or libusb cannot start.
class EmptyDriver : public UsbDriver {
public:
    std::vector<std::string> list_devices() override { return {}; }
    const char* kind() const override { return "none"; }

protected:
    std::unique_ptr<UsbDeviceHandle> open(const std::string&) override { return nullptr; }
};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// QUARNEL_SIM_SPEED: a plain decimal number 0 or above (0.5, 1, 10); unset means 0, as fast
// as the boards can.
double sim_speed(const std::string& text) {
    if (text.empty())
        return 0.0;
    double speed = -1.0;
    const bool plain = text.find_first_not_of("0123456789.") == std::string::npos;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), speed);
    if (!plain || ec != std::errc() || end != text.data() + text.size() || !(speed >= 0.0)) {
        std::fprintf(stderr, "QUARNEL_SIM_SPEED: \"%s\" is no speed; the boards run flat out\n",
                     text.c_str());
        return 0.0;
    }
    return speed;
}

} // namespace

std::unique_ptr<UsbDeviceHandle> UsbDriver::open_path(const std::string& path) {
    const std::size_t prefix = std::strlen(kLegacyDevicePathPrefix);
    if (path.compare(0, prefix, kLegacyDevicePathPrefix) != 0)
        return open(path);
    std::size_t number = 0;
    const auto [end, ec] = std::from_chars(path.data() + prefix, path.data() + path.size(), number);
    if (ec != std::errc() || end != path.data() + path.size())
        return nullptr;
    const std::vector<std::string> paths = list_devices();
    return number < paths.size() ? open(paths[number]) : nullptr;
}

std::shared_ptr<UsbDriver> driver_from_environment(std::shared_ptr<UsbDriver> current) {
    if (std::getenv("QUARNEL_SIM")) {
        const std::string source = environment("QUARNEL_SIM");
        const std::string trace = environment("QUARNEL_SIM_TRACE");
        const std::string motion = environment("QUARNEL_SIM_MOTION");
        const double speed = sim_speed(environment("QUARNEL_SIM_SPEED"));
        if (auto* sim = dynamic_cast<sim::SimDriver*>(current.get());
            sim && sim->source() == source && sim->trace_path() == trace &&
            sim->motion_path() == motion && sim->speed() == speed)
            return current;
        std::string error;
        auto config = sim::parse_sim_config(source, error);
        if (!config) {
            std::fprintf(stderr, "QUARNEL_SIM: %s; no simulated board is on the bus\n",
                         error.c_str());
            config.emplace();
        }
        return std::make_shared<sim::SimDriver>(*config, source, trace, motion, speed);
    }
    if (current && std::strcmp(current->kind(), "sim") != 0)
        return current;
#if QUARNEL_WITH_LIBUSB
    if (auto driver = make_libusb_driver())
        return driver;
#endif
    return std::make_shared<EmptyDriver>();
}

} // namespace quarnel
