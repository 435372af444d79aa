// The controller library as the converter sees it: the 54 selected-board functions it
// imports. The program binds them to the shared library (library_binding.cpp); tests put a
// recording fake in their place. Loader results come back read as signed 16-bit.
#pragma once

#include <cstdint>

namespace ondrel {

class QuarnelLibrary {
public:
    virtual ~QuarnelLibrary() = default;

    // Loaders.
    virtual std::int16_t load_cor(const char* name) = 0;
    virtual std::int16_t load_pro(const char* name) = 0;
    virtual std::int16_t load_program_file(const char* name) = 0;
    virtual std::int16_t load_varpolydelay(const char* name, std::uint16_t number) = 0;

    // Queries.
    virtual std::uint16_t get_dll_version() = 0;
    virtual std::uint16_t get_head_status(std::uint16_t head) = 0;
    virtual std::uint16_t get_hex_version() = 0;
    virtual std::uint32_t get_input_pointer() = 0;
    virtual std::uint16_t get_oru_version() = 0;
    virtual std::uint16_t get_serial_number() = 0;
    virtual std::uint16_t get_startstop_info() = 0;
    virtual double get_time() = 0;
    virtual std::uint16_t read_io_port() = 0;
    virtual std::uint16_t read_status() = 0;
    virtual std::uint32_t usb_status() = 0;

    // Immediate commands.
    virtual void auto_change() = 0;
    virtual void clear_list() = 0;
    virtual void execute_list_1() = 0;
    virtual void execute_list_2() = 0;
    virtual void goto_xyz(std::int16_t x, std::int16_t y, std::int16_t z) = 0;
    virtual void set_control_mode(std::uint16_t mode) = 0;
    virtual void set_max_counts(std::uint32_t counts) = 0;
    virtual void simulate_encoder(std::uint16_t channel) = 0;
    virtual void stop_execution() = 0;
    virtual std::uint16_t store_on_mmc() = 0;
    virtual void write_8bit_port(std::uint16_t value) = 0;
    virtual void write_da_1(std::uint16_t value) = 0;
    virtual void write_io_port(std::uint16_t value) = 0;
    virtual void set_delay_mode(std::uint16_t varpoly, std::uint16_t directmove3d,
                                std::uint16_t edgelevel, std::uint16_t minjumpdelay,
                                std::uint16_t jumplengthlimit) = 0;
    virtual void set_laser_mode(std::uint16_t mode) = 0;
    virtual void set_standby(std::uint16_t halfPeriod, std::uint16_t pulse) = 0;
    virtual void set_start_list_1() = 0;
    virtual void set_start_list_2() = 0;
    virtual void set_end_of_list() = 0;

    // List commands.
    virtual void fly_return(std::int16_t x, std::int16_t y) = 0;
    virtual void jump_abs(std::int16_t x, std::int16_t y) = 0;
    virtual void jump_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) = 0;
    virtual void long_delay(std::uint16_t time) = 0;
    virtual void mark_abs(std::int16_t x, std::int16_t y) = 0;
    virtual void mark_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) = 0;
    virtual void save_and_restart_timer() = 0;
    virtual void set_ext_start_delay(std::int16_t delay, std::uint16_t encoder) = 0;
    virtual void set_firstpulse_killer(std::uint16_t length) = 0;
    virtual void set_fly_x(double factor) = 0;
    virtual void set_fly_y(double factor) = 0;
    virtual void set_jump_speed(double speed) = 0;
    virtual void set_laser_delays(std::int16_t on, std::int16_t off) = 0;
    virtual void set_laser_timing(std::uint16_t halfPeriod, std::uint16_t pulse1,
                                  std::uint16_t pulse2, std::uint16_t timebase) = 0;
    virtual void set_list_jump(std::uint32_t position) = 0;
    virtual void set_mark_speed(double speed) = 0;
    virtual void set_scanner_delays(std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon) = 0;
    virtual void set_wobbel(std::uint16_t amplitude, double frequency) = 0;
    virtual void write_8bit_port_list(std::uint16_t value) = 0;
    virtual void write_da_1_list(std::uint16_t value) = 0;
};

} // namespace ondrel
