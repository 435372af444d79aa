// Load and unload of the shared library: one context for the process.
#include "context.h"
#include "locale_number.h"
#include "startup.h"

#ifndef QUARNEL_CHECKED_BUILD
#error "QUARNEL_CHECKED_BUILD must be 0 or 1"
#endif

namespace {

quarnel::Context* g_library_context = nullptr;

__attribute__((constructor)) void library_attach() {
    // The decimal separator of the user's locale as it stands when the library is loaded.
    quarnel::decimal_separator();
    auto* ctx = new quarnel::Context;
    ctx->checked = QUARNEL_CHECKED_BUILD != 0;
    quarnel::attach(*ctx);
    g_library_context = ctx;
    quarnel::set_current_context(ctx);
}

__attribute__((destructor)) void library_detach() {
    quarnel::set_current_context(nullptr);
    delete g_library_context;
    g_library_context = nullptr;
}

} // namespace
