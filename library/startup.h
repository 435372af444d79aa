// Library start-up, board enumeration and shut-down.
#pragma once

#include "context.h"

#include <string>

namespace quarnel {

constexpr const char* kInstanceName = "QuarnelDLL";

// The load sequence: the bus from the environment, ownership, and (for the owner) the boards.
void attach(Context& ctx);
// Releases the device list, every slot's pipes, the enumerator and the instance locks.
void detach(Context& ctx);

void claim_instance(Context& ctx, const std::string& name);
std::uint32_t enumerate_boards(Context& ctx);
// usb_reinitialize: the bus from the environment again, then a new enumeration.
std::uint32_t reinitialize(Context& ctx, std::uint32_t* count);

} // namespace quarnel
