// Stand-ins for the board library, the message boxes and the canvas, recording what the
// converter's logic asks of them.
#pragma once

#include <cstdint>
#include <deque>
#include <iomanip>
#include <sstream>
#include <type_traits>
#include <string>
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
    void Show(MessageKind kind, const std::string& text) override { boxes.push_back({kind, text}); }
    void Beep() override { ++beeps; }

    std::vector<Box> boxes;
    int beeps = 0;
};

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

    // The calls recorded without the reads of the transport status, which a run makes after
    // each of the others.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& call : calls)
            if (call != "usb_status()") commands.push_back(call);
        return commands;
    }

    // The calls recorded whose name is `name`.
    std::vector<std::string> CallsNamed(const std::string& name) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.compare(0, name.size() + 1, name + "(") == 0) found.push_back(call);
        return found;
    }

    std::int16_t load_cor(const char* name) override { return Record(cor_result, "load_cor", name); }
    std::int16_t load_pro(const char* name) override { return Record(pro_result, "load_pro", name); }
    std::int16_t load_program_file(const char* name) override {
        return Record(program_result, "load_program_file", name);
    }
    std::int16_t load_varpolydelay(const char* name, std::uint16_t number) override {
        return Record(polydelay_result, "load_varpolydelay", name, number);
    }
    std::uint16_t get_dll_version() override { return Record<std::uint16_t>(550, "get_dll_version"); }
    std::uint16_t get_head_status(std::uint16_t head) override {
        return Record(head_status, "get_head_status", head);
    }
    std::uint16_t get_hex_version() override { return Record(hex_version, "get_hex_version"); }
    std::uint32_t get_input_pointer() override { return Record(input_pointer, "get_input_pointer"); }
    std::uint16_t get_oru_version() override { return Record(oru_version, "get_oru_version"); }
    std::uint16_t get_serial_number() override { return Record(serial_number, "get_serial_number"); }
    std::uint16_t get_startstop_info() override {
        return Record(Next(startstop_replies, startstop_default), "get_startstop_info");
    }
    double get_time() override { return Record(timer, "get_time"); }
    std::uint16_t read_io_port() override { return Record(io_port, "read_io_port"); }
    std::uint16_t read_status() override { return Record(Next(status_replies, status_default), "read_status"); }
    std::uint32_t usb_status() override { return Record(transport_status, "usb_status"); }
    void auto_change() override { Record(0, "auto_change"); }
    void clear_list() override { Record(0, "clear_list"); }
    void execute_list_1() override { Record(0, "execute_list_1"); }
    void execute_list_2() override { Record(0, "execute_list_2"); }
    void goto_xyz(std::int16_t x, std::int16_t y, std::int16_t z) override { Record(0, "goto_xyz", x, y, z); }
    void set_control_mode(std::uint16_t mode) override { Record(0, "set_control_mode", mode); }
    void set_max_counts(std::uint32_t counts) override { Record(0, "set_max_counts", counts); }
    void simulate_encoder(std::uint16_t channel) override { Record(0, "simulate_encoder", channel); }
    void stop_execution() override { Record(0, "stop_execution"); }
    std::uint16_t store_on_mmc() override { return Record(mmc_result, "store_on_mmc"); }
    void write_8bit_port(std::uint16_t value) override { Record(0, "write_8bit_port", value); }
    void write_da_1(std::uint16_t value) override { Record(0, "write_da_1", value); }
    void write_io_port(std::uint16_t value) override { Record(0, "write_io_port", value); }
    void set_delay_mode(std::uint16_t varpoly, std::uint16_t directmove3d, std::uint16_t edgelevel,
                        std::uint16_t minjumpdelay, std::uint16_t jumplengthlimit) override {
        Record(0, "set_delay_mode", varpoly, directmove3d, edgelevel, minjumpdelay, jumplengthlimit);
    }
    void set_laser_mode(std::uint16_t mode) override { Record(0, "set_laser_mode", mode); }
    void set_standby(std::uint16_t halfPeriod, std::uint16_t pulse) override {
        Record(0, "set_standby", halfPeriod, pulse);
    }
    void set_start_list_1() override { Record(0, "set_start_list_1"); }
    void set_start_list_2() override { Record(0, "set_start_list_2"); }
    void set_end_of_list() override { Record(0, "set_end_of_list"); }
    void fly_return(std::int16_t x, std::int16_t y) override { Record(0, "fly_return", x, y); }
    void jump_abs(std::int16_t x, std::int16_t y) override { Record(0, "jump_abs", x, y); }
    void jump_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override { Record(0, "jump_abs_3d", x, y, z); }
    void long_delay(std::uint16_t time) override { Record(0, "long_delay", time); }
    void mark_abs(std::int16_t x, std::int16_t y) override { Record(0, "mark_abs", x, y); }
    void mark_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override { Record(0, "mark_abs_3d", x, y, z); }
    void save_and_restart_timer() override { Record(0, "save_and_restart_timer"); }
    void set_ext_start_delay(std::int16_t delay, std::uint16_t encoder) override {
        Record(0, "set_ext_start_delay", delay, encoder);
    }
    void set_firstpulse_killer(std::uint16_t length) override { Record(0, "set_firstpulse_killer", length); }
    void set_fly_x(double factor) override { Record(0, "set_fly_x", factor); }
    void set_fly_y(double factor) override { Record(0, "set_fly_y", factor); }
    void set_jump_speed(double speed) override { Record(0, "set_jump_speed", speed); }
    void set_laser_delays(std::int16_t on, std::int16_t off) override { Record(0, "set_laser_delays", on, off); }
    void set_laser_timing(std::uint16_t halfPeriod, std::uint16_t pulse1, std::uint16_t pulse2,
                          std::uint16_t timebase) override {
        Record(0, "set_laser_timing", halfPeriod, pulse1, pulse2, timebase);
    }
    void set_list_jump(std::uint32_t position) override { Record(0, "set_list_jump", position); }
    void set_mark_speed(double speed) override { Record(0, "set_mark_speed", speed); }
    void set_scanner_delays(std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon) override {
        Record(0, "set_scanner_delays", jump, mark, polygon);
    }
    void set_wobbel(std::uint16_t amplitude, double frequency) override {
        Record(0, "set_wobbel", amplitude, frequency);
    }
    void write_8bit_port_list(std::uint16_t value) override { Record(0, "write_8bit_port_list", value); }
    void write_da_1_list(std::uint16_t value) override { Record(0, "write_da_1_list", value); }

private:
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
    template <typename R, typename... Args>
    R Record(R result, const char* name, Args... args) {
        std::string call = std::string(name) + "(";
        bool first = true;
        ((call += (first ? "" : ",") + Text(args), first = false), ...);
        calls.push_back(call + ")");
        return result;
    }
    static std::uint16_t Next(std::deque<std::uint16_t>& replies, std::uint16_t fallback) {
        if (replies.empty()) return fallback;
        const std::uint16_t reply = replies.front();
        replies.pop_front();
        return reply;
    }
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
