#include "library_binding.h"

#include "quarnel4.h"

namespace ondrel {
namespace {

// Each member forwards to the export of the same name; loader results are read as signed.
class Quarnel4Library final : public QuarnelLibrary {
public:
    std::int16_t load_cor(const char* name) override { return static_cast<std::int16_t>(::load_cor(name)); }
    std::int16_t load_pro(const char* name) override { return static_cast<std::int16_t>(::load_pro(name)); }
    std::int16_t load_program_file(const char* name) override {
        return static_cast<std::int16_t>(::load_program_file(name));
    }
    std::int16_t load_varpolydelay(const char* name, std::uint16_t number) override {
        return static_cast<std::int16_t>(::load_varpolydelay(name, number));
    }
    std::uint16_t get_dll_version() override { return static_cast<std::uint16_t>(::get_dll_version()); }
    std::uint16_t get_head_status(std::uint16_t head) override {
        return static_cast<std::uint16_t>(::get_head_status(head));
    }
    std::uint16_t get_hex_version() override { return static_cast<std::uint16_t>(::get_hex_version()); }
    std::uint32_t get_input_pointer() override { return static_cast<std::uint32_t>(::get_input_pointer()); }
    std::uint16_t get_oru_version() override { return static_cast<std::uint16_t>(::get_oru_version()); }
    std::uint16_t get_serial_number() override { return static_cast<std::uint16_t>(::get_serial_number()); }
    std::uint16_t get_startstop_info() override { return static_cast<std::uint16_t>(::get_startstop_info()); }
    double get_time() override { return static_cast<double>(::get_time()); }
    std::uint16_t read_io_port() override { return static_cast<std::uint16_t>(::read_io_port()); }
    std::uint16_t read_status() override { return static_cast<std::uint16_t>(::read_status()); }
    std::uint32_t usb_status() override { return static_cast<std::uint32_t>(::usb_status()); }
    void auto_change() override { ::auto_change(); }
    void clear_list() override { ::clear_list(); }
    void execute_list_1() override { ::execute_list_1(); }
    void execute_list_2() override { ::execute_list_2(); }
    void goto_xyz(std::int16_t x, std::int16_t y, std::int16_t z) override { ::goto_xyz(x, y, z); }
    void set_control_mode(std::uint16_t mode) override { ::set_control_mode(mode); }
    void set_max_counts(std::uint32_t counts) override { ::set_max_counts(counts); }
    void simulate_encoder(std::uint16_t channel) override { ::simulate_encoder(channel); }
    void stop_execution() override { ::stop_execution(); }
    std::uint16_t store_on_mmc() override { return static_cast<std::uint16_t>(::store_on_mmc()); }
    void write_8bit_port(std::uint16_t value) override { ::write_8bit_port(value); }
    void write_da_1(std::uint16_t value) override { ::write_da_1(value); }
    void write_io_port(std::uint16_t value) override { ::write_io_port(value); }
    void set_delay_mode(std::uint16_t varpoly, std::uint16_t directmove3d, std::uint16_t edgelevel, std::uint16_t minjumpdelay, std::uint16_t jumplengthlimit) override {
        ::set_delay_mode(varpoly, directmove3d, edgelevel, minjumpdelay, jumplengthlimit);
    }
    void set_laser_mode(std::uint16_t mode) override { ::set_laser_mode(mode); }
    void set_standby(std::uint16_t halfPeriod, std::uint16_t pulse) override {
        ::set_standby(halfPeriod, pulse);
    }
    void set_start_list_1() override { ::set_start_list_1(); }
    void set_start_list_2() override { ::set_start_list_2(); }
    void set_end_of_list() override { ::set_end_of_list(); }
    void fly_return(std::int16_t x, std::int16_t y) override { ::fly_return(x, y); }
    void jump_abs(std::int16_t x, std::int16_t y) override { ::jump_abs(x, y); }
    void jump_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override { ::jump_abs_3d(x, y, z); }
    void long_delay(std::uint16_t time) override { ::long_delay(time); }
    void mark_abs(std::int16_t x, std::int16_t y) override { ::mark_abs(x, y); }
    void mark_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override { ::mark_abs_3d(x, y, z); }
    void save_and_restart_timer() override { ::save_and_restart_timer(); }
    void set_ext_start_delay(std::int16_t delay, std::uint16_t encoder) override {
        ::set_ext_start_delay(delay, encoder);
    }
    void set_firstpulse_killer(std::uint16_t length) override { ::set_firstpulse_killer(length); }
    void set_fly_x(double factor) override { ::set_fly_x(factor); }
    void set_fly_y(double factor) override { ::set_fly_y(factor); }
    void set_jump_speed(double speed) override { ::set_jump_speed(speed); }
    void set_laser_delays(std::int16_t on, std::int16_t off) override { ::set_laser_delays(on, off); }
    void set_laser_timing(std::uint16_t halfPeriod, std::uint16_t pulse1, std::uint16_t pulse2, std::uint16_t timebase) override {
        ::set_laser_timing(halfPeriod, pulse1, pulse2, timebase);
    }
    void set_list_jump(std::uint32_t position) override { ::set_list_jump(position); }
    void set_mark_speed(double speed) override { ::set_mark_speed(speed); }
    void set_scanner_delays(std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon) override {
        ::set_scanner_delays(jump, mark, polygon);
    }
    void set_wobbel(std::uint16_t amplitude, double frequency) override {
        ::set_wobbel(amplitude, frequency);
    }
    void write_8bit_port_list(std::uint16_t value) override { ::write_8bit_port_list(value); }
    void write_da_1_list(std::uint16_t value) override { ::write_da_1_list(value); }
};

} // namespace

QuarnelLibrary& BoundLibrary() {
    static Quarnel4Library library;
    return library;
}

} // namespace ondrel
