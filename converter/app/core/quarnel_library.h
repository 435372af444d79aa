// The controller library as the converter sees it: the 54 selected-board functions it
// imports (quarnel_imports.h). The program binds them to the shared library
// (library_binding.cpp); tests put a recording fake in their place.
#pragma once

#include "quarnel_imports.h"

namespace ondrel {

class QuarnelLibrary {
public:
    virtual ~QuarnelLibrary() = default;

#define ONDREL_DECLARE_IMPORT(kind, R, name, params, args) virtual R name params = 0;
    ONDREL_QUARNEL_IMPORTS(ONDREL_DECLARE_IMPORT)
#undef ONDREL_DECLARE_IMPORT
};

} // namespace ondrel
