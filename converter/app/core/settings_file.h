// Reading and writing the settings file's four sections Correction, Laser, Marking and Fly.
#pragma once

#include <string>

#include "parameters.h"

namespace ondrel {

// Reads every stored key; an absent file, a missing key or a malformed value gives the key's
// default, a value outside the key's accepted range its fallback. Never fails. The fields
// that are not stored are left alone.
void LoadSettings(const std::string& path, Parameters& parameters);

// Writes the stored keys into the file at path, keeping every other section it holds.
// False, with a readable reason in `error`, when the file cannot be written.
bool SaveSettings(const std::string& path, const Parameters& parameters, std::string& error);

} // namespace ondrel
