// The motion file of the simulated boards (QUARNEL_SIM_MOTION): one line per executed vector,
// "JUMP x y z" or "MARK x y z" with the end point in bits, and "ERROR ..." for a list the
// board could not execute. Every line is flushed as it is written.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "sim/list_executor.h"

namespace quarnel::sim {

class MotionFile {
public:
    // Opens (truncates) `path`; false when it cannot be opened.
    bool open(const std::string& path);
    bool is_open() const { return file_ != nullptr; }
    void vector(VectorKind kind, const HeadPosition& end);
    void error(const std::string& message);

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::mutex mutex_; // the boards of one bus share the file
    std::unique_ptr<std::FILE, Closer> file_;
};

// An executor's sink that writes into a shared motion file.
class MotionSink : public ExecutionSink {
public:
    explicit MotionSink(std::shared_ptr<MotionFile> file) : file_(std::move(file)) {}
    void vector(VectorKind kind, const HeadPosition& end) override { file_->vector(kind, end); }
    void error(const std::string& message) override { file_->error(message); }

private:
    std::shared_ptr<MotionFile> file_;
};

} // namespace quarnel::sim
