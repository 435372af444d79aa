#include "library_binding.h"

#include "quarnel4.h"

namespace ondrel {
namespace {

// Each member forwards to the export of the same name.
class Quarnel4Library final : public QuarnelLibrary {
public:
#define ONDREL_BIND_IMPORT(kind, R, name, params, args) \
    R name params override { return static_cast<R>(::name args); }
    ONDREL_QUARNEL_IMPORTS(ONDREL_BIND_IMPORT)
#undef ONDREL_BIND_IMPORT
};

} // namespace

QuarnelLibrary& BoundLibrary() {
    static Quarnel4Library library;
    return library;
}

} // namespace ondrel
