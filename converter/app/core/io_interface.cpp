#include "io_interface.h"

namespace ondrel {

bool IoInterfaceMayOpen(const ConverterState& state, QuarnelLibrary& library) {
    return state.CorrectionLoaded != 0 && library.load_pro("") == 0;
}

std::uint16_t OutputWord(const IoLines& outputs) {
    std::uint16_t word = 0;
    for (int i = 0; i < kIoLines; ++i)
        if (outputs[static_cast<std::size_t>(i)]) word = static_cast<std::uint16_t>(word | (1u << i));
    return word;
}

bool WriteOutputs(const IoLines& outputs, QuarnelLibrary& library) {
    library.write_io_port(OutputWord(outputs));
    return library.usb_status() == 0; // of the write: nothing comes between
}

IoLines ReadInputs(QuarnelLibrary& library) {
    const std::uint16_t word = library.read_io_port();
    IoLines inputs{};
    for (int i = 0; i < kIoLines; ++i) inputs[static_cast<std::size_t>(i)] = (word >> i & 1u) != 0;
    return inputs;
}

} // namespace ondrel
