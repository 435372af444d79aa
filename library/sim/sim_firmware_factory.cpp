// Which firmware a new simulated board runs.
#include "sim/default_firmware.h"

namespace quarnel::sim {

std::unique_ptr<SimFirmware> make_sim_firmware(const SimBoardConfig& config) {
    (void)config;
    return std::make_unique<DefaultFirmware>();
}

} // namespace quarnel::sim
