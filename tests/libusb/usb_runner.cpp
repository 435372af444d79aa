// Runs a test program against emulated boards on an emulated USB bus:
//
//   quarnel4_usb_runner PROGRAM [ARGUMENTS...]
//
// The runner makes a umockdev testbed (empty at first), starts PROGRAM as its child under
// umockdev's preload library, so that libusb in the child sees the testbed's sysfs and device
// nodes, and answers the child's usbfs requests with simulated boards. The testbed and the
// request handler must live in another process than the library under test. The child
// drives the bus through the socket named by QUARNEL_USB_RUNNER_FD, one line a request and
// one line a reply ("ok [value]" or "error <what>"):
//
//   trace FILE             boards plugged from now on write the packet trace to FILE
//   plug PORT ENTRY        a board as ENTRY of QUARNEL_SIM describes it, on port PORT of bus 1;
//                          the reply's value is its place (1 for the first plugged board)
//   fault PLACE KIND       the board's next bulk transfer: timeout, stall, fail, unplug, or
//                          short:N (its next IN transfer moves at most N bytes)
//   unplug PLACE           the board leaves the bus
//   resets PLACE           the pipe resets the board has seen
//   clear                  every board leaves the bus; places count from 1 again
//
// The runner's exit status is the child's. With QUARNEL_USB_RUNNER_VERBOSE set it names the
// usbfs requests it does not serve.
#include "usbfs_board.h"

#include "sim/sim_config.h"

#include <glib-unix.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace quarnel::testing {
namespace {

class Runner {
public:
    explicit Runner(UMockdevTestbed* testbed) : testbed_(testbed) {}

    // Serves what has arrived on the control socket; false when the child closed it.
    bool serve(int fd) {
        char chunk[512];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        pending_.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string reply = answer(pending_.substr(0, end)) + "\n";
            pending_.erase(0, end + 1);
            if (::write(fd, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
                return false;
        }
        return true;
    }

private:
    std::string answer(const std::string& line) {
        std::istringstream words(line);
        std::string verb, first, second;
        words >> verb >> first >> second;
        if (verb == "trace") {
            trace_ = std::make_shared<sim::SimTrace>(first);
            return trace_->is_open() ? "ok" : "error cannot write " + first;
        }
        if (verb == "plug")
            return plug(first, second);
        if (verb == "clear") {
            boards_.clear();
            trace_.reset();
            next_address_ = kFirstAddress;
            return "ok";
        }
        UsbfsBoard* board = board_at(first);
        if (!board)
            return "error no board " + first;
        if (verb == "unplug") {
            board->unplug();
            return "ok";
        }
        if (verb == "resets")
            return "ok " + std::to_string(board->board().pipe_resets());
        if (verb == "fault")
            return fault(*board, second);
        return "error unknown request " + verb;
    }

    std::string plug(const std::string& port_text, const std::string& entry) {
        int port = 0;
        const auto [end, ec] =
            std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
        if (ec != std::errc() || end != port_text.data() + port_text.size() || port < 1 ||
            port > 126)
            return "error bad port " + port_text;
        for (const auto& board : boards_)
            if (board->port() == port && board->plugged())
                return "error port " + port_text + " is taken";
        std::string error;
        const auto config = sim::parse_sim_config(entry, error);
        if (!config || config->boards.size() != 1)
            return "error bad board " + entry + " " + error;
        const int place = static_cast<int>(boards_.size()) + 1;
        auto board = std::make_shared<sim::SimBoard>(place, config->boards.front());
        if (next_address_ > 127)
            return "error no device address left";
        boards_.push_back(
            std::make_unique<UsbfsBoard>(testbed_, port, next_address_++, board, trace_));
        return "ok " + std::to_string(place);
    }

    static std::string fault(UsbfsBoard& board, const std::string& kind) {
        if (kind == "timeout")
            board.arm(UsbFault::Timeout);
        else if (kind == "stall")
            board.arm(UsbFault::Stall);
        else if (kind == "fail")
            board.arm(UsbFault::Fail);
        else if (kind == "unplug")
            board.arm(UsbFault::Unplug);
        else if (kind.rfind("short:", 0) == 0)
            board.arm(UsbFault::Short, static_cast<std::uint32_t>(std::atoi(kind.c_str() + 6)));
        else
            return "error unknown fault " + kind;
        return "ok";
    }

    UsbfsBoard* board_at(const std::string& place_text) {
        const int place = std::atoi(place_text.c_str());
        if (place < 1 || place > static_cast<int>(boards_.size()))
            return nullptr;
        return boards_[static_cast<std::size_t>(place - 1)].get();
    }

    static constexpr int kFirstAddress = 2; // address 1 is the root hub's

    UMockdevTestbed* testbed_;
    int next_address_ = kFirstAddress;
    std::shared_ptr<sim::SimTrace> trace_;
    std::vector<std::unique_ptr<UsbfsBoard>> boards_;
    std::string pending_;
};

constexpr char kPreloaded[] = "QUARNEL_USB_RUNNER_PRELOADED";

// The testbed's own uevents go through libudev, so the runner runs under umockdev's preload
// library too: it starts itself again with the library (AddressSanitizer accepts it ahead of
// its own runtime only when told so). Returns only when that fails.
void restart_preloaded(char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    const std::string libraries = std::string("libumockdev-preload.so.0") +
                                  (preload && *preload ? std::string(":") + preload : std::string());
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asan_options =
        (asan && *asan ? std::string(asan) + ":" : std::string()) + "verify_asan_link_order=0";
    ::setenv("LD_PRELOAD", libraries.c_str(), 1);
    ::setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
    ::setenv(kPreloaded, "1", 1);
    ::execv("/proc/self/exe", argv);
    std::perror("/proc/self/exe");
}

// The child's environment: ours (with the preload library), without the simulated bus, with
// the control socket.
std::vector<std::string> child_environment(int control_fd) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("QUARNEL_SIM", 0) != 0 && entry.rfind(kPreloaded, 0) != 0)
            env.push_back(entry);
    }
    env.push_back("QUARNEL_USB_RUNNER_FD=" + std::to_string(control_fd));
    return env;
}

struct ChildState {
    GMainLoop* loop = nullptr;
    int status = 0;
};

} // namespace
} // namespace quarnel::testing

int main(int argc, char** argv) {
    using namespace quarnel::testing;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    if (!std::getenv(kPreloaded)) {
        restart_preloaded(argv);
        return 2;
    }
    UMockdevTestbed* testbed = umockdev_testbed_new();
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        std::perror("socketpair");
        return 2;
    }
    // The child's end survives exec; nothing else of ours does.
    const int child_fd = ::dup(sockets[1]);
    ::close(sockets[1]);
    const std::vector<std::string> env = child_environment(child_fd);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        ::execvpe(argv[1], argv + 1, envp.data());
        std::perror(argv[1]);
        ::_exit(127);
    }
    ::close(child_fd);

    auto runner = std::make_unique<Runner>(testbed);
    ChildState child;
    child.loop = g_main_loop_new(nullptr, FALSE);
    g_unix_fd_add(
        sockets[0], G_IO_IN,
        [](gint fd, GIOCondition, gpointer self) -> gboolean {
            return static_cast<Runner*>(self)->serve(fd) ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
        },
        runner.get());
    g_child_watch_add(
        pid,
        [](GPid, gint status, gpointer state) {
            auto* c = static_cast<ChildState*>(state);
            c->status = status;
            g_main_loop_quit(c->loop);
        },
        &child);
    g_main_loop_run(child.loop);
    g_main_loop_unref(child.loop);
    ::close(sockets[0]);
    runner.reset();
    g_object_unref(testbed);
    if (WIFSIGNALED(child.status)) {
        std::fprintf(stderr, "%s ended by signal %d\n", argv[1], WTERMSIG(child.status));
        return 128 + WTERMSIG(child.status);
    }
    return WEXITSTATUS(child.status);
}
