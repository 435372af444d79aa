#include "system_status.h"

#include "number_text.h"

namespace ondrel {

namespace {

constexpr std::size_t kShortNameLength = 30;

bool BoardReady(QuarnelLibrary& library) { return library.load_program_file("") == 0; }

// A version number counted in hundredths or thousandths, written with that many decimals.
std::string Fixed(std::uint16_t count, int decimals) { return FormatFixed(DecimalOfCount(count, -decimals), 15, decimals); }

std::string HeadText(std::uint16_t word, std::uint16_t bit) { return (word & bit) != 0 ? "OK" : "NOK"; }

} // namespace

void FillStatusLabels(StatusLabels& labels, const ConverterState& state, QuarnelLibrary& library) {
    labels.L1 = FormatFixed(kConverterVersion, 15, 2);
    labels.L2 = Fixed(library.get_dll_version(), 2);
    if (!BoardReady(library)) return;
    const std::uint16_t version = library.get_oru_version();
    const std::uint16_t firmware = library.get_hex_version();
    labels.L3 = Fixed(firmware, 3);
    labels.L4 = std::to_string(version & 0xFF);
    labels.L5 = std::to_string(library.get_serial_number());
    labels.L10 = OptionsText(version);
    labels.L11 = CorrectionFileText(state.parameters.FileName);
}

void RefreshHeadStatus(StatusLabels& labels, QuarnelLibrary& library) {
    if (!BoardReady(library)) return;
    const std::uint16_t head = library.get_head_status(1);
    labels.L6 = HeadText(head, kHeadTemperature);
    labels.L7 = HeadText(head, kHeadPower);
    labels.L8 = HeadText(head, kHeadXPosition);
    labels.L9 = HeadText(head, kHeadYPosition);
}

std::string OptionsText(std::uint16_t boardVersionWord) {
    std::string text = (boardVersionWord & 0x0F00) == 0 ? "no Options" : "";
    if (boardVersionWord & 0x0100) text += "Fly, ";
    if (boardVersionWord & 0x0200) text += "2.Head, ";
    if (boardVersionWord & 0x0400) text += "3D, ";
    if (boardVersionWord & 0x0800) text += "IO-Card";
    return text;
}

std::string CorrectionFileText(const std::string& fileName) {
    if (fileName.size() < kShortNameLength) return fileName;
    const std::size_t separator = fileName.find_last_of("\\:/");
    return separator == std::string::npos ? fileName : fileName.substr(separator + 1);
}

} // namespace ondrel
