// Stand-ins for the board library, the message boxes and the canvas, recording what the
// converter's logic asks of them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iomanip>
#include <sstream>
#include <type_traits>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "drawing_view.h"
#include "notifier.h"
#include "quarnel_library.h"

namespace ondrel::fakes {

class RecordingNotifier : public Notifier {
public:
    struct Box {
        MessageKind kind;
        std::string text;
    };
    void Show(MessageKind kind, const std::string& text) override {
        boxes.push_back({kind, text});
        if (whileShown) whileShown(); // the box's own event loop runs the timers
    }
    void Beep() override { ++beeps; }

    std::vector<Box> boxes;
    std::function<void()> whileShown;
    int beeps = 0;
};

// Forwards every call to a library: `before` hears of each one first, by name, and while
// `keep` is set the log keeps each as its name and a closure that makes it again.
class TappedLibrary : public QuarnelLibrary {
public:
    explicit TappedLibrary(QuarnelLibrary& board) : board_(board) {}

    std::function<void(std::string_view)> before;
    bool keep = false;
    std::vector<std::string_view> names;
    std::vector<std::function<void(QuarnelLibrary&)>> again;

#define ONDREL_TAP_IMPORT(kind, R, name, params, args)                 \
    R name params override {                                           \
        Tap(#name, [=](QuarnelLibrary& library) { library.name args; }); \
        return board_.name args;                                       \
    }
    ONDREL_QUARNEL_IMPORTS(ONDREL_TAP_IMPORT)
#undef ONDREL_TAP_IMPORT

private:
    template <typename Again>
    void Tap(std::string_view name, Again&& call) {
        if (before) before(name);
        if (!keep) return;
        names.push_back(name);
        again.emplace_back(std::forward<Again>(call));
    }
    QuarnelLibrary& board_;
};

// What the System Status and I/O windows ask of the board at a tick of their timers.
struct WindowPoll {
    const char* window;
    void (*poll)(QuarnelLibrary& board);
};
inline const WindowPoll kWindowPolls[] = {
    {"System Status", [](QuarnelLibrary& board) { board.get_head_status(1); }},
    {"I/O", [](QuarnelLibrary& board) { board.read_io_port(); }},
};

// A run's stop path on the board: the list stopped, the outputs off, the head parked.
inline const std::vector<std::string> kStopPath = {"stop_execution()", "write_da_1(0)", "write_8bit_port(0)",
                                                   "set_control_mode(0)", "goto_xyz(0,0,0)"};

// A board that answers what the test sets and records every call as "name(arg,arg)", in
// call order. Integers are written in decimal, reals in their shortest form.
class FakeLibrary : public QuarnelLibrary {
public:
    std::int16_t program_result = 0;   // load_program_file
    std::int16_t pro_result = 0;       // load_pro
    std::uint16_t hex_version = 2500;  // get_hex_version
    std::int16_t cor_result = 0;       // load_cor
    std::int16_t polydelay_result = 13; // load_varpolydelay
    std::uint32_t transport_status = 0; // usb_status
    std::uint32_t input_pointer = 0;    // get_input_pointer
    double timer = 0;                   // get_time
    std::uint16_t io_port = 0;          // read_io_port
    std::uint16_t head_status = 0;      // get_head_status
    std::uint16_t oru_version = 0;      // get_oru_version
    std::uint16_t serial_number = 0;    // get_serial_number
    std::uint16_t mmc_result = 0;       // store_on_mmc
    // read_status and get_startstop_info answer from their queue, then the default.
    std::deque<std::uint16_t> status_replies;
    std::uint16_t status_default = 0;
    std::deque<std::uint16_t> startstop_replies;
    std::uint16_t startstop_default = 0;
    std::vector<std::string> calls;
    // What a SharedBoard made of its own through CheckPort(): the writes of waiting entries and
    // the status reads around its exchanges while a run is on.
    std::vector<std::string> checks;

    // The same board, for a SharedBoard's checks: SharedBoard{library, library.CheckPort()}.
    QuarnelLibrary& CheckPort() { return check_port_; }

    // The calls recorded whose name is `name`.
    std::vector<std::string> CallsNamed(const std::string& name) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.compare(0, name.size() + 1, name + "(") == 0) found.push_back(call);
        return found;
    }

#define ONDREL_FAKE_IMPORT(kind, R, name, params, args)     \
    R name params override {                                \
        Record(#name, std::forward_as_tuple args);          \
        return static_cast<R>(Answer(#name));               \
    }
    ONDREL_QUARNEL_IMPORTS(ONDREL_FAKE_IMPORT)
#undef ONDREL_FAKE_IMPORT

private:
    class Port final : public QuarnelLibrary {
    public:
        explicit Port(FakeLibrary& board) : board_(board) {}
#define ONDREL_FAKE_CHECK_IMPORT(kind, R, name, params, args) \
    R name params override {                                  \
        board_.checking_ = true;                              \
        const Done done{board_.checking_};                    \
        return board_.name args;                              \
    }
        ONDREL_QUARNEL_IMPORTS(ONDREL_FAKE_CHECK_IMPORT)
#undef ONDREL_FAKE_CHECK_IMPORT
    private:
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        };
        FakeLibrary& board_;
    };

    double Answer(std::string_view name) {
        if (name == "load_cor") return cor_result;
        if (name == "load_pro") return pro_result;
        if (name == "load_program_file") return program_result;
        if (name == "load_varpolydelay") return polydelay_result;
        if (name == "get_dll_version") return 550;
        if (name == "get_head_status") return head_status;
        if (name == "get_hex_version") return hex_version;
        if (name == "get_input_pointer") return input_pointer;
        if (name == "get_oru_version") return oru_version;
        if (name == "get_serial_number") return serial_number;
        if (name == "get_startstop_info") return Next(startstop_replies, startstop_default);
        if (name == "get_time") return timer;
        if (name == "read_io_port") return io_port;
        if (name == "read_status") return Next(status_replies, status_default);
        if (name == "usb_status") return transport_status;
        if (name == "store_on_mmc") return mmc_result;
        return 0;
    }
    static std::string Text(const char* text) { return text; }
    static std::string Text(double value) {
        std::ostringstream out;
        out << std::setprecision(15) << value;
        return out.str();
    }
    template <typename T>
    static std::string Text(T value) requires std::is_integral_v<T> {
        return std::to_string(value);
    }
    template <typename... Args>
    void Record(const char* name, const std::tuple<Args...>& args) {
        std::string call = std::string(name) + "(";
        std::apply([&](const auto&... arg) {
            bool first = true;
            ((call += (first ? "" : ",") + Text(arg), first = false), ...);
        }, args);
        (checking_ ? checks : calls).push_back(call + ")");
    }
    static std::uint16_t Next(std::deque<std::uint16_t>& replies, std::uint16_t fallback) {
        if (replies.empty()) return fallback;
        const std::uint16_t reply = replies.front();
        replies.pop_front();
        return reply;
    }

    bool checking_ = false;
    Port check_port_{*this};
};

// Records every drawing operation as a line of text.
class RecordingCanvas : public Canvas {
public:
    void Clear() override { ops.push_back("clear"); }
    void SetPen(Rgb c, PenStyle s) override {
        pen = c;
        style = s;
    }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        ops.push_back("rect " + Style() + " " + Point(x1, y1) + " " + Point(x2, y2));
    }
    void MoveTo(int x, int y) override { ops.push_back("move " + Point(x, y)); }
    void LineTo(int x, int y) override { ops.push_back("line " + Style() + " " + Colour(pen) + " " + Point(x, y)); }
    void SetPixel(int x, int y, Rgb c) override { ops.push_back("pixel " + Colour(c) + " " + Point(x, y)); }

    std::vector<std::string> ops;

private:
    static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    static std::string Colour(Rgb c) {
        return std::to_string(c.r) + "/" + std::to_string(c.g) + "/" + std::to_string(c.b);
    }
    std::string Style() const {
        return style == PenStyle::Solid ? "solid" : style == PenStyle::Dot ? "dot" : "dashdot";
    }
    Rgb pen{0, 0, 0};
    PenStyle style = PenStyle::Solid;
};

} // namespace ondrel::fakes
