// The test program's side of quarnel4_usb_runner: plugs emulated boards into the bus, arms
// their faults and takes them out again, over the socket the runner hands down.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace quarnel::testing {

class RunnerLink {
public:
    RunnerLink() {
        const char* fd = std::getenv("QUARNEL_USB_RUNNER_FD");
        fd_ = fd ? std::atoi(fd) : -1;
    }

    bool connected() const { return fd_ >= 0; }

    // Sends one request; the value after "ok" (empty when there is none). A refused request
    // fails the test.
    std::string ask(const std::string& request) {
        const std::string line = request + "\n";
        std::string reply;
        if (fd_ < 0 || ::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            ADD_FAILURE() << "the runner is not there for \"" << request << "\"";
            return {};
        }
        for (char c; ::read(fd_, &c, 1) == 1 && c != '\n';)
            reply.push_back(c);
        if (reply.rfind("ok", 0) != 0) {
            ADD_FAILURE() << "\"" << request << "\": " << reply;
            return {};
        }
        return reply.size() > 3 ? reply.substr(3) : std::string();
    }

    // The board's place (1 for the first board plugged).
    int plug(int port, const std::string& entry) {
        return std::atoi(ask("plug " + std::to_string(port) + " " + entry).c_str());
    }
    void fault(int place, const std::string& kind) {
        ask("fault " + std::to_string(place) + " " + kind);
    }
    void unplug(int place) { ask("unplug " + std::to_string(place)); }
    void trace(const std::string& file) { ask("trace " + file); }
    void clear() { ask("clear"); }
    unsigned long resets(int place) {
        return std::strtoul(ask("resets " + std::to_string(place)).c_str(), nullptr, 10);
    }

private:
    int fd_ = -1;
};

} // namespace quarnel::testing
