#include "ini_store.h"

#include "whole_file.h"

namespace ondrel {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return true;
}

} // namespace

IniStore IniStore::FromText(std::string_view text) {
    IniStore store;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            store.sections_.push_back(Section{std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        if (store.sections_.empty()) continue;
        std::size_t equals = line.find('=');
        Line entry;
        entry.has_value = equals != std::string_view::npos;
        entry.key = std::string(line.substr(0, equals));
        if (entry.has_value) entry.value = std::string(line.substr(equals + 1));
        store.sections_.back().lines.push_back(std::move(entry));
    }
    return store;
}

IniStore IniStore::FromFile(const std::string& path) {
    const std::optional<std::string> text = ReadRegularFile(path);
    return text ? FromText(*text) : IniStore{};
}

IniStore::Section* IniStore::FindSection(std::string_view name) {
    for (Section& section : sections_)
        if (EqualNoCase(section.name, name)) return &section;
    return nullptr;
}

const IniStore::Section* IniStore::FindSection(std::string_view name) const {
    return const_cast<IniStore*>(this)->FindSection(name);
}

std::optional<std::string> IniStore::Read(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (!found) return std::nullopt;
    for (const Line& line : found->lines)
        if (line.has_value && EqualNoCase(line.key, key)) return line.value;
    return std::nullopt;
}

void IniStore::Write(std::string_view section, std::string_view key, std::string_view value) {
    Section* found = FindSection(section);
    if (!found) {
        sections_.push_back(Section{std::string(section), {}});
        found = &sections_.back();
    }
    for (Line& line : found->lines) {
        if (line.has_value && EqualNoCase(line.key, key)) {
            line.value = std::string(value);
            return;
        }
    }
    found->lines.push_back(Line{std::string(key), std::string(value), true});
}

std::string IniStore::ToText() const {
    std::string text;
    for (const Section& section : sections_) {
        text += "[" + section.name + "]\r\n";
        for (const Line& line : section.lines) {
            text += line.key;
            if (line.has_value) text += "=" + line.value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

bool IniStore::WriteFile(const std::string& path, std::string& error) const {
    return ReplaceRegularFile(path, ToText(), error);
}

} // namespace ondrel
