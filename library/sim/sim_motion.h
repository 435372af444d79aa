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

// What one board's executor reports: vectors and errors into the motion file the boards
// share (when there is one), and errors on stderr as well, so a list that fails shows without
// the file.
class MotionSink : public ExecutionSink {
public:
    void set_file(std::shared_ptr<MotionFile> file) { file_ = std::move(file); }
    void set_place(int place) { place_ = place; }
    void vector(VectorKind kind, const HeadPosition& end) override {
        if (file_) file_->vector(kind, end);
    }
    void error(const std::string& message) override;

private:
    std::shared_ptr<MotionFile> file_;
    int place_ = 0;
};

} // namespace quarnel::sim
