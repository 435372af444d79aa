// The library as a run on the board uses it: after every call the board's transport status
// is read, and a transfer that failed ends the run with TransferFailed. The status tells only
// of the latest transfer (a list batch that never reached the board is visible until the
// next one), so no call of a run may go untested. The runs take their stop paths and end
// sequences through the plain library, which goes on whatever the board answers.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "quarnel_library.h"

namespace ondrel {

// The box a run shows when the board did not take what it was sent.
inline constexpr const char* kNotReady = "Quarnel not Ready!";

class TransferFailed : public std::runtime_error {
public:
    TransferFailed() : std::runtime_error(kNotReady) {}
};

class CheckedLibrary final : public QuarnelLibrary {
public:
    explicit CheckedLibrary(QuarnelLibrary& board) : board_(board) {}

    std::int16_t load_cor(const char* name) override;
    std::int16_t load_pro(const char* name) override;
    std::int16_t load_program_file(const char* name) override;
    std::int16_t load_varpolydelay(const char* name, std::uint16_t number) override;

    std::uint16_t get_dll_version() override;
    std::uint16_t get_head_status(std::uint16_t head) override;
    std::uint16_t get_hex_version() override;
    std::uint32_t get_input_pointer() override;
    std::uint16_t get_oru_version() override;
    std::uint16_t get_serial_number() override;
    std::uint16_t get_startstop_info() override;
    double get_time() override;
    std::uint16_t read_io_port() override;
    std::uint16_t read_status() override;
    std::uint32_t usb_status() override; // read, not tested

    void auto_change() override;
    void clear_list() override;
    void execute_list_1() override;
    void execute_list_2() override;
    void goto_xyz(std::int16_t x, std::int16_t y, std::int16_t z) override;
    void set_control_mode(std::uint16_t mode) override;
    void set_max_counts(std::uint32_t counts) override;
    void simulate_encoder(std::uint16_t channel) override;
    void stop_execution() override;
    std::uint16_t store_on_mmc() override;
    void write_8bit_port(std::uint16_t value) override;
    void write_da_1(std::uint16_t value) override;
    void write_io_port(std::uint16_t value) override;
    void set_delay_mode(std::uint16_t varpoly, std::uint16_t directmove3d, std::uint16_t edgelevel,
                        std::uint16_t minjumpdelay, std::uint16_t jumplengthlimit) override;
    void set_laser_mode(std::uint16_t mode) override;
    void set_standby(std::uint16_t halfPeriod, std::uint16_t pulse) override;
    void set_start_list_1() override;
    void set_start_list_2() override;
    void set_end_of_list() override;

    void fly_return(std::int16_t x, std::int16_t y) override;
    void jump_abs(std::int16_t x, std::int16_t y) override;
    void jump_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override;
    void long_delay(std::uint16_t time) override;
    void mark_abs(std::int16_t x, std::int16_t y) override;
    void mark_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) override;
    void save_and_restart_timer() override;
    void set_ext_start_delay(std::int16_t delay, std::uint16_t encoder) override;
    void set_firstpulse_killer(std::uint16_t length) override;
    void set_fly_x(double factor) override;
    void set_fly_y(double factor) override;
    void set_jump_speed(double speed) override;
    void set_laser_delays(std::int16_t on, std::int16_t off) override;
    void set_laser_timing(std::uint16_t halfPeriod, std::uint16_t pulse1, std::uint16_t pulse2,
                          std::uint16_t timebase) override;
    void set_list_jump(std::uint32_t position) override;
    void set_mark_speed(double speed) override;
    void set_scanner_delays(std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon) override;
    void set_wobbel(std::uint16_t amplitude, double frequency) override;
    void write_8bit_port_list(std::uint16_t value) override;
    void write_da_1_list(std::uint16_t value) override;

private:
    // Throws TransferFailed when the board's last transfer failed.
    void Check();
    template <typename R>
    R Checked(R result) {
        Check();
        return result;
    }

    QuarnelLibrary& board_;
};

} // namespace ondrel
