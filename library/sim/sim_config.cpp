#include "sim/sim_config.h"

#include <charconv>
#include <limits>
#include <utility>

namespace quarnel::sim {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos
                                                                    : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Decimal or 0x-prefixed hexadecimal, nothing else, within `max`.
std::optional<std::uint64_t> parse_number(const std::string& text, std::uint64_t max) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (ec != std::errc() || end != last || value > max)
        return std::nullopt;
    return value;
}

bool parse_count_or_never(const std::string& text, int& out) {
    if (text == "never") {
        out = kNever;
        return true;
    }
    const auto n = parse_number(text, 1000000);
    if (!n)
        return false;
    out = static_cast<int>(*n);
    return true;
}

bool parse_transfer_numbers(const std::string& text, std::set<std::uint64_t>& out) {
    for (const std::string& item : split(text, '+')) {
        const auto n = parse_number(item, std::numeric_limits<std::uint64_t>::max());
        if (!n || *n == 0)
            return false;
        out.insert(*n);
    }
    return true;
}

bool apply_key(SimBoardConfig& board, const std::string& key, const std::string& value,
               bool& version_given, bool& firmware_given) {
    if (key == "fw") {
        const auto n = parse_number(value, 0xFFFF);
        firmware_given = n.has_value();
        if (n)
            board.firmware_version = static_cast<std::uint16_t>(*n);
        return n.has_value();
    }
    if (key == "version") {
        const auto n = parse_number(value, 0xFFFF);
        version_given = n.has_value();
        if (n)
            board.board_version_word = static_cast<std::uint16_t>(*n);
        return n.has_value();
    }
    const std::pair<const char*, std::uint16_t*> words[] = {
        {"release", &board.release},         {"api", &board.api_version},
        {"serial", &board.serial_number},    {"inputs", &board.input_lines},
        {"head", &board.head_status[0]},     {"head2", &board.head_status[1]},
        {"mmc", &board.card_result},
    };
    for (const auto& [name, field] : words) {
        if (key != name)
            continue;
        const auto n = parse_number(value, 0xFFFF);
        if (n)
            *field = static_cast<std::uint16_t>(*n);
        return n.has_value();
    }
    if (key == "pipes") {
        const auto n = parse_number(value, 32);
        if (n)
            board.pipes = static_cast<std::uint32_t>(*n);
        return n.has_value();
    }
    if (key == "settle")
        return parse_count_or_never(value, board.settle_reads);
    if (key == "extstart") {
        const auto n = parse_number(value, 1);
        if (n)
            board.external_start_on_enable = *n == 1;
        return n.has_value();
    }
    if (key == "stopinput")
        return parse_count_or_never(value, board.stop_input_ms);
    if (key == "busy_polls")
        return parse_count_or_never(value, board.busy_polls);
    if (key == "fail_transfer")
        return parse_transfer_numbers(value, board.failing_transfers);
    if (key == "timeout_transfer")
        return parse_transfer_numbers(value, board.timed_out_transfers);
    if (key == "fail") {
        static const std::set<std::string> steps = {"open",       "driverinfo", "descriptor",
                                                    "setconfig",  "configinfo", "bind",
                                                    "bindin"};
        for (const std::string& step : split(value, '+')) {
            if (!steps.count(step))
                return false;
            board.failing_requests.insert(step);
        }
        return true;
    }
    return false;
}

} // namespace

std::optional<SimConfig> parse_sim_config(const std::string& text, std::string& error) {
    SimConfig config;
    if (text.empty())
        return config;
    for (const std::string& entry : split(text, ',')) {
        const std::vector<std::string> fields = split(entry, ':');
        SimBoardConfig board;
        if (fields[0] == "3d") {
            board.is_3d = true;
        } else if (fields[0] != "2d") {
            error = "board entry \"" + entry + "\" must begin with 2d or 3d";
            return std::nullopt;
        }
        bool version_given = false, firmware_given = false;
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const std::size_t eq = fields[i].find('=');
            const std::string key = fields[i].substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : fields[i].substr(eq + 1);
            if (eq == std::string::npos ||
                !apply_key(board, key, value, version_given, firmware_given)) {
                error = "bad setting \"" + fields[i] + "\" in board entry \"" + entry + "\"";
                return std::nullopt;
            }
        }
        if (board.is_3d && !version_given)
            board.board_version_word = 0x0401;
        if (board.is_3d && !firmware_given)
            board.firmware_version = 3100;
        config.boards.push_back(board);
    }
    return config;
}

} // namespace quarnel::sim
