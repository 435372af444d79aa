// An INI settings file held in memory: read whole, changed key by key, written back whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondrel {

// Empty lines, comment lines (";") and lines before the first section are dropped on reading;
// lines are not trimmed, so "Key = 1" is not found as "Key". Section and key names compare
// without case. Written back per section: its section line, its key lines, one empty line,
// each line ending in CR LF; sections the program does not know survive unchanged.
class IniStore {
public:
    // Parses the text of a settings file (lines end in LF or CR LF).
    static IniStore FromText(std::string_view text);
    // Reads the file at path; an absent or unreadable file, or anything but a regular file,
    // gives an empty store.
    static IniStore FromFile(const std::string& path);

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // Replaces the value of an existing key in place, or appends the key at the end of its
    // section, or a new section at the end.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    std::string ToText() const;
    // Replaces the file whole (ReplaceRegularFile); false (with the system's reason in
    // `error`) when it cannot, the old file then left as it was.
    bool WriteFile(const std::string& path, std::string& error) const;

private:
    struct Line {
        std::string key;   // text before the first "="; the whole line when it has none
        std::string value; // text after the first "="
        bool has_value;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> sections_;
};

} // namespace ondrel
