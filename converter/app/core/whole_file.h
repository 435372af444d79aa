// Whole files the converter reads and writes on its own by a name from its settings (the
// settings file, the correction file): only regular files count, and nothing ever waits on a
// FIFO or a device.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// The file's bytes; nothing when it is missing, unreadable or not a regular file (which is
// not opened at all).
std::optional<std::string> ReadRegularFile(const std::string& path);

// Replaces the file at path whole, or fails and leaves it as it was. A new file of the
// process's own takes the old one's place only once everything was written and flushed, so a
// full disk leaves the old file as it was. A file that must stay the same file (more than one
// name, another owner or group than a new file would get, extended attributes such as access
// lists, or none where a new file would get some), and a file in a folder that takes no new
// file, is rewritten in place: the new text is written and flushed first, then the file is cut
// to its length, and a failure puts the whole old text back. A symbolic link is followed and
// stays. A file the process may not write is not written, and a path that names anything but a
// regular file is refused without being opened. False, with the reason naming the path in
// `error`, when the file could not be written; the reason says the file may be damaged when
// even putting the old text back failed.
bool ReplaceRegularFile(const std::string& path, std::string_view bytes, std::string& error);

} // namespace ondrel
