// Whole files the converter reads and writes on its own by a name from its settings (the
// settings file, the correction file): only regular files count, and nothing ever waits on a
// FIFO or a device.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// The file's bytes; nothing when it is missing, unreadable or not a regular file.
std::optional<std::string> ReadRegularFile(const std::string& path);

// Replaces the file at path whole: the bytes go to a new file beside it, which takes the old
// one's place only once everything was written and flushed, so a full disk leaves the old
// file as it was. When the folder takes no new file, an existing file is written in place.
// A path that names anything but a regular file is refused. False, with the reason in
// `error`, when the file could not be written.
bool ReplaceRegularFile(const std::string& path, std::string_view bytes, std::string& error);

} // namespace ondrel
