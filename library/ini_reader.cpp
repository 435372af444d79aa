#include "ini_reader.h"

#include "locale_number.h"

#include "read_only_file.h"

#include <algorithm>

namespace quarnel {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Splits at LF, CR and CR LF.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string read_whole_file(const char* path) {
    ReadOnlyFile file(path);
    std::string text;
    char chunk[8192];
    for (;;) {
        const std::ptrdiff_t got = file.read(chunk, sizeof chunk);
        if (got < 0) return {}; // unreadable: the file reads as empty
        if (got == 0) return text;
        text.append(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace

IniReader::IniReader(std::string_view text, bool trim_blanks) : trim_blanks_(trim_blanks) {
    for (std::string_view line : split_lines(text)) {
        if (trim_blanks_) line = trim(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back({std::string(line.substr(1, line.size() - 2)), {}});
        } else if (!sections_.empty()) {
            sections_.back().lines.emplace_back(line);
        }
    }
}

IniReader IniReader::from_file(const char* path, bool trim_blanks) {
    return IniReader(read_whole_file(path), trim_blanks);
}

std::optional<std::string> IniReader::value(std::string_view section, std::string_view key) const {
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
        return equal_ignoring_case(s.name, section);
    });
    if (found == sections_.end()) return std::nullopt;
    if (trim_blanks_) key = trim(key);
    for (std::string_view line : found->lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view name = line.substr(0, equals);
        std::string_view rest = line.substr(equals + 1);
        if (trim_blanks_) {
            name = trim(name);
            rest = trim(rest);
        }
        if (equal_ignoring_case(name, key)) return std::string(rest);
    }
    return std::nullopt;
}

double IniReader::real(std::string_view section, std::string_view key, double fallback) const {
    const std::optional<std::string> text = value(section, key);
    if (!text) return fallback;
    return parse_locale_real(*text, decimal_separator()).value_or(fallback);
}

} // namespace quarnel
