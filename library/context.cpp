// The context's life: made empty, released in the order of a library unload.
#include "context.h"

#include "instance_mutex.h"
#include "startup.h"
#include "usb/usb_driver.h"
#include "usb/usb_io_pipe.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace quarnel {
namespace {

std::atomic<Context*> g_current{nullptr};

} // namespace

Context::Context() {
    platform.sleep_ms = [](unsigned ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    platform.local_time = [](struct tm& out) {
        const std::time_t now = std::time(nullptr);
        return now != static_cast<std::time_t>(-1) && localtime_r(&now, &out) != nullptr;
    };
}

Context::~Context() { detach(*this); }

Context* current_context() { return g_current.load(std::memory_order_acquire); }

void set_current_context(Context* ctx) { g_current.store(ctx, std::memory_order_release); }

} // namespace quarnel
