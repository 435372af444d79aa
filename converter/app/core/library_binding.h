// The controller library bound at load time: the converter's view of its 54 functions.
#pragma once

#include "quarnel_library.h"

namespace ondrel {

QuarnelLibrary& BoundLibrary();

} // namespace ondrel
