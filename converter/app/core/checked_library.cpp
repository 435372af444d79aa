#include "checked_library.h"

namespace ondrel {

void CheckedLibrary::Check() {
    if (board_.usb_status() != 0) throw TransferFailed();
}

std::int16_t CheckedLibrary::load_cor(const char* name) { return Checked(board_.load_cor(name)); }
std::int16_t CheckedLibrary::load_pro(const char* name) { return Checked(board_.load_pro(name)); }
std::int16_t CheckedLibrary::load_program_file(const char* name) { return Checked(board_.load_program_file(name)); }
std::int16_t CheckedLibrary::load_varpolydelay(const char* name, std::uint16_t number) {
    return Checked(board_.load_varpolydelay(name, number));
}

std::uint16_t CheckedLibrary::get_dll_version() { return Checked(board_.get_dll_version()); }
std::uint16_t CheckedLibrary::get_head_status(std::uint16_t head) { return Checked(board_.get_head_status(head)); }
std::uint16_t CheckedLibrary::get_hex_version() { return Checked(board_.get_hex_version()); }
std::uint32_t CheckedLibrary::get_input_pointer() { return Checked(board_.get_input_pointer()); }
std::uint16_t CheckedLibrary::get_oru_version() { return Checked(board_.get_oru_version()); }
std::uint16_t CheckedLibrary::get_serial_number() { return Checked(board_.get_serial_number()); }
std::uint16_t CheckedLibrary::get_startstop_info() { return Checked(board_.get_startstop_info()); }
double CheckedLibrary::get_time() { return Checked(board_.get_time()); }
std::uint16_t CheckedLibrary::read_io_port() { return Checked(board_.read_io_port()); }
std::uint16_t CheckedLibrary::read_status() { return Checked(board_.read_status()); }
std::uint32_t CheckedLibrary::usb_status() { return board_.usb_status(); }

void CheckedLibrary::auto_change() { board_.auto_change(); Check(); }
void CheckedLibrary::clear_list() { board_.clear_list(); Check(); }
void CheckedLibrary::execute_list_1() { board_.execute_list_1(); Check(); }
void CheckedLibrary::execute_list_2() { board_.execute_list_2(); Check(); }
void CheckedLibrary::goto_xyz(std::int16_t x, std::int16_t y, std::int16_t z) { board_.goto_xyz(x, y, z); Check(); }
void CheckedLibrary::set_control_mode(std::uint16_t mode) { board_.set_control_mode(mode); Check(); }
void CheckedLibrary::set_max_counts(std::uint32_t counts) { board_.set_max_counts(counts); Check(); }
void CheckedLibrary::simulate_encoder(std::uint16_t channel) { board_.simulate_encoder(channel); Check(); }
void CheckedLibrary::stop_execution() { board_.stop_execution(); Check(); }
std::uint16_t CheckedLibrary::store_on_mmc() { return Checked(board_.store_on_mmc()); }
void CheckedLibrary::write_8bit_port(std::uint16_t value) { board_.write_8bit_port(value); Check(); }
void CheckedLibrary::write_da_1(std::uint16_t value) { board_.write_da_1(value); Check(); }
void CheckedLibrary::write_io_port(std::uint16_t value) { board_.write_io_port(value); Check(); }
void CheckedLibrary::set_delay_mode(std::uint16_t varpoly, std::uint16_t directmove3d, std::uint16_t edgelevel,
                                    std::uint16_t minjumpdelay, std::uint16_t jumplengthlimit) {
    board_.set_delay_mode(varpoly, directmove3d, edgelevel, minjumpdelay, jumplengthlimit);
    Check();
}
void CheckedLibrary::set_laser_mode(std::uint16_t mode) { board_.set_laser_mode(mode); Check(); }
void CheckedLibrary::set_standby(std::uint16_t halfPeriod, std::uint16_t pulse) {
    board_.set_standby(halfPeriod, pulse);
    Check();
}
void CheckedLibrary::set_start_list_1() { board_.set_start_list_1(); Check(); }
void CheckedLibrary::set_start_list_2() { board_.set_start_list_2(); Check(); }
void CheckedLibrary::set_end_of_list() { board_.set_end_of_list(); Check(); }

void CheckedLibrary::fly_return(std::int16_t x, std::int16_t y) { board_.fly_return(x, y); Check(); }
void CheckedLibrary::jump_abs(std::int16_t x, std::int16_t y) { board_.jump_abs(x, y); Check(); }
void CheckedLibrary::jump_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) {
    board_.jump_abs_3d(x, y, z);
    Check();
}
void CheckedLibrary::long_delay(std::uint16_t time) { board_.long_delay(time); Check(); }
void CheckedLibrary::mark_abs(std::int16_t x, std::int16_t y) { board_.mark_abs(x, y); Check(); }
void CheckedLibrary::mark_abs_3d(std::int16_t x, std::int16_t y, std::int16_t z) {
    board_.mark_abs_3d(x, y, z);
    Check();
}
void CheckedLibrary::save_and_restart_timer() { board_.save_and_restart_timer(); Check(); }
void CheckedLibrary::set_ext_start_delay(std::int16_t delay, std::uint16_t encoder) {
    board_.set_ext_start_delay(delay, encoder);
    Check();
}
void CheckedLibrary::set_firstpulse_killer(std::uint16_t length) { board_.set_firstpulse_killer(length); Check(); }
void CheckedLibrary::set_fly_x(double factor) { board_.set_fly_x(factor); Check(); }
void CheckedLibrary::set_fly_y(double factor) { board_.set_fly_y(factor); Check(); }
void CheckedLibrary::set_jump_speed(double speed) { board_.set_jump_speed(speed); Check(); }
void CheckedLibrary::set_laser_delays(std::int16_t on, std::int16_t off) { board_.set_laser_delays(on, off); Check(); }
void CheckedLibrary::set_laser_timing(std::uint16_t halfPeriod, std::uint16_t pulse1, std::uint16_t pulse2,
                                      std::uint16_t timebase) {
    board_.set_laser_timing(halfPeriod, pulse1, pulse2, timebase);
    Check();
}
void CheckedLibrary::set_list_jump(std::uint32_t position) { board_.set_list_jump(position); Check(); }
void CheckedLibrary::set_mark_speed(double speed) { board_.set_mark_speed(speed); Check(); }
void CheckedLibrary::set_scanner_delays(std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon) {
    board_.set_scanner_delays(jump, mark, polygon);
    Check();
}
void CheckedLibrary::set_wobbel(std::uint16_t amplitude, double frequency) {
    board_.set_wobbel(amplitude, frequency);
    Check();
}
void CheckedLibrary::write_8bit_port_list(std::uint16_t value) { board_.write_8bit_port_list(value); Check(); }
void CheckedLibrary::write_da_1_list(std::uint16_t value) { board_.write_da_1_list(value); Check(); }

} // namespace ondrel
