// A context over simulated boards for tests: the boards are reached in-process, the packet
// trace goes to a private file, waits are recorded instead of slept, and the instance locks
// live in a private directory.
#pragma once

#include "context.h"
#include "sim/sim_driver.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarnel::testing {

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quarnel4-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Sets an environment variable (or unsets it, for a null value) for the life of the object,
// then puts the old state back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class SimBus {
public:
    // `config` as in QUARNEL_SIM; the boards are enumerated unless `enumerate` is false, and
    // their transfers traced unless `trace` is false (wire() is then empty).
    explicit SimBus(const std::string& config, bool enumerate = true, bool trace = true) {
        std::string error;
        auto parsed = sim::parse_sim_config(config, error);
        EXPECT_TRUE(parsed) << error;
        trace_path_ = dir_.path() + "/trace.txt";
        driver = std::make_shared<sim::SimDriver>(parsed ? *parsed : sim::SimConfig{}, config,
                                                  trace ? trace_path_ : std::string());
        for (int place = 1; place <= driver->board_count(); ++place)
            driver->board(place).keep_mailbox_log();
        ctx.driver = driver;
        ctx.platform.lock_dir = dir_.path();
        ctx.platform.sleep_ms = [this](unsigned ms) { sleeps.push_back(ms); };
        if (enumerate)
            status = enumerate_boards(ctx);
    }

    sim::SimBoard& board(int place) { return driver->board(place); }
    BoardSlot& slot(int b) { return ctx.slots[static_cast<std::size_t>(b)]; }

    // Trace lines written since the last call of mark().
    std::vector<std::string> wire() {
        std::vector<std::string> lines;
        std::ifstream in(trace_path_);
        std::string line;
        for (std::size_t i = 0; std::getline(in, line); ++i)
            if (i >= marked_)
                lines.push_back(line);
        return lines;
    }
    void mark() { marked_ += wire().size(); }

    const std::string& directory() const { return dir_.path(); }

private:
    TempDir dir_;
    std::string trace_path_;
    std::size_t marked_ = 0;

public:
    std::shared_ptr<sim::SimDriver> driver;
    Context ctx;
    std::vector<unsigned> sleeps;
    std::uint32_t status = 0;
};

// Makes a context the one the exports use for the life of the object, then puts the previous
// one back.
class CurrentContext {
public:
    explicit CurrentContext(Context& ctx) : saved_(current_context()) { set_current_context(&ctx); }
    ~CurrentContext() { set_current_context(saved_); }
    CurrentContext(const CurrentContext&) = delete;
    CurrentContext& operator=(const CurrentContext&) = delete;

private:
    Context* saved_;
};

// A bus whose context the exports use for the life of the object.
class CurrentBus : public SimBus {
public:
    explicit CurrentBus(const std::string& config, bool trace = true) : SimBus(config, true, trace), current_(ctx) {}

private:
    CurrentContext current_;
};

} // namespace quarnel::testing
