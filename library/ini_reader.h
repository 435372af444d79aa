// The library's own reader of INI text, used for the polygon-delay sections of settings
// files. The whole file is read at once and never written back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

class IniReader {
public:
    // trim_blanks: the checked build removes leading and trailing blanks from lines, keys
    // and values; the plain build takes lines as they stand.
    IniReader(std::string_view text, bool trim_blanks);

    // A file that cannot be read (missing, a directory) reads as empty.
    static IniReader from_file(const char* path, bool trim_blanks);

    // The first section of that name (letter case ignored), within it the first line whose
    // text before its first "=" equals key (letter case ignored): the rest of that line.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // value() converted with the locale's decimal separator; fallback when the key is
    // missing or its value is not a number.
    double real(std::string_view section, std::string_view key, double fallback) const;

private:
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };
    std::vector<Section> sections_;
    bool trim_blanks_;
};

} // namespace quarnel
