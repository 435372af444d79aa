// Which firmware a new simulated board runs: the one that executes its lists.
#include "sim/list_firmware.h"

namespace quarnel::sim {

std::unique_ptr<SimFirmware> make_sim_firmware(const SimBoardConfig& config) {
    ListFirmwareOptions options;
    options.external_start_on_enable = config.external_start_on_enable;
    options.inputs = config.input_lines;
    options.card_result = config.card_result;
    if (config.stop_input_ms != kNever)
        options.stop_input_at_us = 1000.0 * config.stop_input_ms;
    return std::make_unique<ListFirmware>(options);
}

} // namespace quarnel::sim
