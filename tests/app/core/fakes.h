// Stand-ins for the board library, the message boxes and the canvas, recording what the
// converter's logic asks of them.
#pragma once

#include <cstdint>
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

// A board that answers what the test sets and records the calls by name.
class FakeLibrary : public QuarnelLibrary {
public:
    std::int16_t program_result = 0;   // load_program_file
    std::uint16_t hex_version = 2500;  // get_hex_version
    std::int16_t cor_result = 0;       // load_cor
    std::int16_t polydelay_result = 13; // load_varpolydelay
    std::vector<std::string> calls;     // "name(arg)" in call order

    std::int16_t load_cor(const char* name) override { return Record("load_cor", name, cor_result); }
    std::int16_t load_pro(const char* name) override { return Record("load_pro", name, 0); }
    std::int16_t load_program_file(const char* name) override {
        return Record("load_program_file", name, program_result);
    }
    std::int16_t load_varpolydelay(const char* name, std::uint16_t number) override {
        return Record("load_varpolydelay", std::string(name) + "," + std::to_string(number), polydelay_result);
    }
    std::uint16_t get_dll_version() override { return 550; }
    std::uint16_t get_head_status(std::uint16_t) override { return 0; }
    std::uint16_t get_hex_version() override { return Record("get_hex_version", "", hex_version); }
    std::uint32_t get_input_pointer() override { return 0; }
    std::uint16_t get_oru_version() override { return 0; }
    std::uint16_t get_serial_number() override { return 0; }
    std::uint16_t get_startstop_info() override { return 0; }
    double get_time() override { return 0; }
    std::uint16_t read_io_port() override { return 0; }
    std::uint16_t read_status() override { return 0; }
    std::uint32_t usb_status() override { return 0; }
    void auto_change() override {}
    void clear_list() override {}
    void execute_list_1() override {}
    void execute_list_2() override {}
    void goto_xyz(std::int16_t, std::int16_t, std::int16_t) override {}
    void set_control_mode(std::uint16_t) override {}
    void set_max_counts(std::uint32_t counts) override { Record("set_max_counts", std::to_string(counts), 0); }
    void simulate_encoder(std::uint16_t) override {}
    void stop_execution() override {}
    std::uint16_t store_on_mmc() override { return 0; }
    void write_8bit_port(std::uint16_t) override {}
    void write_da_1(std::uint16_t) override {}
    void write_io_port(std::uint16_t) override {}
    void set_delay_mode(std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t) override {}
    void set_laser_mode(std::uint16_t) override {}
    void set_standby(std::uint16_t, std::uint16_t) override {}
    void set_start_list_1() override {}
    void set_start_list_2() override {}
    void set_end_of_list() override {}
    void fly_return(std::int16_t, std::int16_t) override {}
    void jump_abs(std::int16_t, std::int16_t) override {}
    void jump_abs_3d(std::int16_t, std::int16_t, std::int16_t) override {}
    void long_delay(std::uint16_t) override {}
    void mark_abs(std::int16_t, std::int16_t) override {}
    void mark_abs_3d(std::int16_t, std::int16_t, std::int16_t) override {}
    void save_and_restart_timer() override {}
    void set_ext_start_delay(std::int16_t, std::uint16_t) override {}
    void set_firstpulse_killer(std::uint16_t) override {}
    void set_fly_x(double) override {}
    void set_fly_y(double) override {}
    void set_jump_speed(double) override {}
    void set_laser_delays(std::int16_t, std::int16_t) override {}
    void set_laser_timing(std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t) override {}
    void set_list_jump(std::uint32_t) override {}
    void set_mark_speed(double) override {}
    void set_scanner_delays(std::uint16_t, std::uint16_t, std::uint16_t) override {}
    void set_wobbel(std::uint16_t, double) override {}
    void write_8bit_port_list(std::uint16_t) override {}
    void write_da_1_list(std::uint16_t) override {}

private:
    template <typename T>
    T Record(const char* name, const std::string& argument, T result) {
        calls.push_back(std::string(name) + "(" + argument + ")");
        return result;
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
