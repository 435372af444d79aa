#include "sim/sim_motion.h"

namespace quarnel::sim {

bool MotionFile::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    file_.reset(std::fopen(path.c_str(), "w"));
    return file_ != nullptr;
}

void MotionFile::vector(VectorKind kind, const HeadPosition& end) {
    std::lock_guard lock(mutex_);
    if (!file_) return;
    std::fprintf(file_.get(), "%s %d %d %d\n", kind == VectorKind::Jump ? "JUMP" : "MARK",
                 static_cast<int>(end.x), static_cast<int>(end.y), static_cast<int>(end.z));
    std::fflush(file_.get());
}

void MotionFile::error(const std::string& message) {
    std::lock_guard lock(mutex_);
    if (!file_) return;
    std::fprintf(file_.get(), "ERROR %s\n", message.c_str());
    std::fflush(file_.get());
}

void MotionSink::error(const std::string& message) {
    std::fprintf(stderr, "simulated board %d: %s\n", place_, message.c_str());
    if (file_) file_->error(message);
}

} // namespace quarnel::sim
