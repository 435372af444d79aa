/*
 * quarnel4: the controller library's C interface.
 *
 * Conventions: every argument is a 32-bit slot; board numbers, word counts and 16-bit
 * arguments use their low 16 bits. 16-bit results are unsigned. Every board operation has
 * a form whose name begins with n_ and takes the board number (1..quarnel_count_cards())
 * first, and a form without it that acts on the selected board (select_oru).
 *
 * One section per family; each family adds its declarations to its own section.
 */
#ifndef QUARNEL4_H
#define QUARNEL4_H

#include <stdint.h>

#define QUARNEL_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Board and transport ------------------------------------------------------------ */

/* Writes n (0..29) words at a board word address. */
QUARNEL_API void writemem(uint32_t board, uint32_t address, uint32_t n, const uint16_t* data);
/* Reads n (0..29) words from a board word address into *p and advances *p by n words. */
QUARNEL_API void readmem(uint32_t board, uint32_t address, uint32_t n, uint16_t** p);
/* The status of the board's last transfer, top 4 bits cleared; 4106 for a bad board. */
QUARNEL_API uint32_t n_usb_status(uint32_t board);
QUARNEL_API uint32_t usb_status(void);
QUARNEL_API uint16_t quarnel_count_cards(void);
/* Selects board n; any number outside 1..quarnel_count_cards() selects board 1. */
QUARNEL_API void select_oru(uint32_t n);

/* ---- Re-initialisation -------------------------------------------------------------- */

/* Finds the boards again and takes them; *count receives the number found.
   Not thread-safe: it closes and reopens every board's connection without taking the boards'
   locks, so no other call into the library may run while it runs. A program that calls the
   library from several threads lets all of them finish their calls, and starts no new ones,
   until usb_reinitialize has returned. */
QUARNEL_API uint32_t usb_reinitialize(uint32_t* count);

/* ---- Immediate control commands ----------------------------------------------------- */
/* The board acts on them at once. 16-bit arguments take the low 16 bits of their slot
 * (coordinates signed). Bad board numbers or arguments make a call do nothing. */
QUARNEL_API void n_write_8bit_port(uint32_t board, uint32_t v);
QUARNEL_API void write_8bit_port(uint32_t v);
QUARNEL_API void n_write_io_port(uint32_t board, uint32_t v);
QUARNEL_API void write_io_port(uint32_t v);
QUARNEL_API void n_write_da_1(uint32_t board, uint32_t v);
QUARNEL_API void write_da_1(uint32_t v);
QUARNEL_API void n_write_da_2(uint32_t board, uint32_t v);
QUARNEL_API void write_da_2(uint32_t v);
QUARNEL_API void n_write_da_x(uint32_t board, uint32_t n, uint32_t v);
QUARNEL_API void write_da_x(uint32_t n, uint32_t v);
QUARNEL_API void n_set_max_counts(uint32_t board, uint32_t c);
QUARNEL_API void set_max_counts(uint32_t c);
QUARNEL_API void n_set_matrix(uint32_t board, double m11, double m12, double m21, double m22);
QUARNEL_API void set_matrix(double m11, double m12, double m21, double m22);
QUARNEL_API void n_set_offset(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void set_offset(int32_t x, int32_t y);
QUARNEL_API void n_goto_xy(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void goto_xy(int32_t x, int32_t y);
QUARNEL_API void n_goto_xyz(uint32_t board, int32_t x, int32_t y, int32_t z);
QUARNEL_API void goto_xyz(int32_t x, int32_t y, int32_t z);
QUARNEL_API void n_enable_laser(uint32_t board);
QUARNEL_API void enable_laser(void);
QUARNEL_API void n_disable_laser(uint32_t board);
QUARNEL_API void disable_laser(void);
QUARNEL_API void n_z_out(uint32_t board, int32_t z);
QUARNEL_API void z_out(int32_t z);
QUARNEL_API void n_set_firstpulse_killer(uint32_t board, uint32_t length);
QUARNEL_API void set_firstpulse_killer(uint32_t length);
QUARNEL_API void n_set_standby(uint32_t board, uint32_t half_period, uint32_t pulse);
QUARNEL_API void set_standby(uint32_t half_period, uint32_t pulse);
QUARNEL_API void n_laser_signal_on(uint32_t board);
QUARNEL_API void laser_signal_on(void);
QUARNEL_API void n_laser_signal_off(uint32_t board);
QUARNEL_API void laser_signal_off(void);
QUARNEL_API void n_set_delay_mode(uint32_t board, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                                  uint32_t a5);
QUARNEL_API void set_delay_mode(uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5);
QUARNEL_API void n_set_piso_control(uint32_t board, uint32_t a, uint32_t c);
QUARNEL_API void set_piso_control(uint32_t a, uint32_t c);
QUARNEL_API void n_select_status(uint32_t board, uint32_t n);
QUARNEL_API void select_status(uint32_t n);
QUARNEL_API void n_select_cor_table(uint32_t board, uint32_t a, uint32_t c);
QUARNEL_API void select_cor_table(uint32_t a, uint32_t c);
QUARNEL_API void n_simulate_encoder(uint32_t board, uint32_t n);
QUARNEL_API void simulate_encoder(uint32_t n);
QUARNEL_API void n_set_control_mode(uint32_t board, uint32_t mode);
QUARNEL_API void set_control_mode(uint32_t mode);
QUARNEL_API void n_set_laser_mode(uint32_t board, uint32_t mode);
QUARNEL_API void set_laser_mode(uint32_t mode);
QUARNEL_API void n_set_ext_start_delay(uint32_t board, int32_t d, uint32_t encoder);
QUARNEL_API void set_ext_start_delay(int32_t d, uint32_t encoder);
QUARNEL_API void n_home_position(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void home_position(int32_t x, int32_t y);
QUARNEL_API void n_set_defocus(uint32_t board, int32_t v);
QUARNEL_API void set_defocus(int32_t v);
QUARNEL_API void n_set_softstart_mode(uint32_t board, uint32_t mode, uint32_t n, uint32_t d);
QUARNEL_API void set_softstart_mode(uint32_t mode, uint32_t n, uint32_t d);
QUARNEL_API void n_set_softstart_level(uint32_t board, uint32_t i, uint32_t level);
QUARNEL_API void set_softstart_level(uint32_t i, uint32_t level);
QUARNEL_API void n_control_command(uint32_t board, uint32_t a, uint32_t c, uint32_t v);
QUARNEL_API void control_command(uint32_t a, uint32_t c, uint32_t v);
QUARNEL_API void n_set_rot_center(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void set_rot_center(int32_t x, int32_t y);
QUARNEL_API void n_set_io_bit(uint32_t board, uint32_t bit);
QUARNEL_API void set_io_bit(uint32_t bit);
QUARNEL_API void n_clear_io_bit(uint32_t board, uint32_t bit);
QUARNEL_API void clear_io_bit(uint32_t bit);
QUARNEL_API void n_set_duty_cycle_table(uint32_t board, uint32_t i, uint32_t d);
QUARNEL_API void set_duty_cycle_table(uint32_t i, uint32_t d);
QUARNEL_API void n_set_laser_timing_table(uint32_t board, uint32_t i, double f);
QUARNEL_API void set_laser_timing_table(uint32_t i, double f);


/* ---- Loaders: correction tables, firmware, polygon-delay tables, z-table ------------ */

/* Results (load_result, read as signed 16-bit): 0 done; 3 file cannot be opened or of a size
 * outside every accepted range; 4 read-back mismatch; 8 a write failed, or (table loaders)
 * this process does not own the boards; 10 argument out of range; 11 bad board number, or
 * (firmware loader) this process does not own the boards; 12 needs a 3-D board; 13 no
 * accepted polygon-delay point; 14 old correction file on a 3-D board; 15 correction file
 * of the other board variant; 16 the last board's version did not settle; 17 the last
 * board's firmware does not fit it; -1..-50 polygon-delay table written. */

/* Resamples a correction file (65 x 65 tables of 16-bit words) by scale, rotation (degrees,
 * within 10.1 of a multiple of 90) and offset (Bit), and writes it as table 1 or 2. */
QUARNEL_API uint16_t n_load_correction_file(uint32_t board, const char* name, uint32_t table,
                                            double xscale, double yscale, double angle,
                                            double xoffset, double yoffset);
QUARNEL_API uint16_t load_correction_file(const char* name, uint32_t table, double xscale,
                                          double yscale, double angle, double xoffset,
                                          double yoffset);
/* The file's tables unchanged as table 1. */
QUARNEL_API uint16_t n_load_cor(uint32_t board, const char* name);
QUARNEL_API uint16_t load_cor(const char* name);

/* Uploads the program text "x.hex" for a name "x.hex.update" and lets the board take it over;
 * any other name loads nothing and returns 0 when this process owns the boards (an empty
 * name is the board-ready test). */
QUARNEL_API uint16_t n_load_program_file(uint32_t board, const char* name);
QUARNEL_API uint16_t load_program_file(const char* name);
QUARNEL_API uint16_t n_load_pro(uint32_t board, const char* name);
QUARNEL_API uint16_t load_pro(const char* name);

/* Builds the polygon-delay table from section "VarPolyTable<number>" of an INI file (keys
 * Angle1..Angle50, Scale1..Scale50, reals with the locale's decimal separator) and writes it;
 * minus the number of accepted points on success. */
QUARNEL_API int16_t n_load_varpolydelay(uint32_t board, const char* name, uint32_t number);
QUARNEL_API int16_t load_varpolydelay(const char* name, uint32_t number);

/* Writes the z-table of a 3-D board: |a| <= 32766, |b| <= 31, |c| < 0.9. */
QUARNEL_API uint16_t n_load_z_table(uint32_t board, double a, double b, double c);
QUARNEL_API uint16_t load_z_table(double a, double b, double c);

/* ---- Board status and queries ------------------------------------------------------- */
/* A bad board number or a failed exchange gives the failure value: 0 (0.0 for get_time),
 * all ones for get_counts and each value of get_encoder; get_status gives busy 0 and
 * position 0 (bad board) or -1 (failed exchange). */
QUARNEL_API void n_get_status(uint32_t board, uint16_t* busy, int32_t* position);
QUARNEL_API void get_status(uint16_t* busy, int32_t* position);
QUARNEL_API uint16_t n_read_status(uint32_t board);
QUARNEL_API uint16_t read_status(void);
QUARNEL_API void n_get_waveform(uint32_t board, uint32_t channel, uint32_t n, uint16_t* buffer);
QUARNEL_API void get_waveform(uint32_t channel, uint32_t n, uint16_t* buffer);
QUARNEL_API uint16_t get_dll_version(void);
QUARNEL_API uint16_t n_read_io_port(uint32_t board);
QUARNEL_API uint16_t read_io_port(void);
QUARNEL_API uint32_t n_get_counts(uint32_t board);
QUARNEL_API uint32_t get_counts(void);
QUARNEL_API uint16_t n_get_hex_version(uint32_t board);
QUARNEL_API uint16_t get_hex_version(void);
QUARNEL_API uint16_t n_get_oru_version(uint32_t board);
QUARNEL_API uint16_t get_oru_version(void);
QUARNEL_API void n_get_xy_pos(uint32_t board, int16_t* x, int16_t* y);
QUARNEL_API void get_xy_pos(int16_t* x, int16_t* y);
QUARNEL_API void n_get_xyz_pos(uint32_t board, int16_t* x, int16_t* y, int16_t* z);
QUARNEL_API void get_xyz_pos(int16_t* x, int16_t* y, int16_t* z);
QUARNEL_API void n_get_encoder(uint32_t board, int16_t* e1, int16_t* e2);
QUARNEL_API void get_encoder(int16_t* e1, int16_t* e2);
QUARNEL_API uint16_t n_get_head_status(uint32_t board, uint32_t head);
QUARNEL_API uint16_t get_head_status(uint32_t head);
QUARNEL_API uint16_t n_get_wait_status(uint32_t board);
QUARNEL_API uint16_t get_wait_status(void);
QUARNEL_API uint16_t n_read_ad_x(uint32_t board, uint32_t n);
QUARNEL_API uint16_t read_ad_x(uint32_t n);
QUARNEL_API uint16_t n_get_z_distance(uint32_t board, int32_t x, int32_t y, int32_t z);
QUARNEL_API uint16_t get_z_distance(int32_t x, int32_t y, int32_t z);
QUARNEL_API uint16_t n_get_startstop_info(uint32_t board);
QUARNEL_API uint16_t get_startstop_info(void);
QUARNEL_API uint16_t n_get_io_status(uint32_t board);
QUARNEL_API uint16_t get_io_status(void);
QUARNEL_API double n_get_time(uint32_t board);
QUARNEL_API double get_time(void);
QUARNEL_API uint16_t n_get_marking_info(uint32_t board);
QUARNEL_API uint16_t get_marking_info(void);
QUARNEL_API uint16_t n_get_value(uint32_t board, uint32_t i);
QUARNEL_API uint16_t get_value(uint32_t i);
QUARNEL_API uint16_t n_get_serial_number(uint32_t board);
QUARNEL_API uint16_t get_serial_number(void);
QUARNEL_API uint32_t n_get_serial_number_32(uint32_t board);
QUARNEL_API uint32_t get_serial_number_32(void);
QUARNEL_API void n_measurement_status(uint32_t board, uint16_t* busy, uint16_t* value);
QUARNEL_API void measurement_status(uint16_t* busy, uint16_t* value);
/* memory_test returns QUARNEL_MEMORY_TEST_FAILED (all 32 bits set) for a bad board number or
 * a failed exchange, never the words of a failed reply. */
#define QUARNEL_MEMORY_TEST_FAILED 0xFFFFFFFFu
QUARNEL_API uint32_t n_memory_test(uint32_t board);
QUARNEL_API uint32_t memory_test(void);


/* ---- List management and execution ------------------------------------------------- */
/* Where the next list entry goes, as a list position (list 1 starts at 0, list 2 at 500000);
 * opening a list moves it to the list's start; set_end_of_list closes the open list and writes
 * every pending entry to the board. */
QUARNEL_API uint32_t n_get_input_pointer(uint32_t board);
QUARNEL_API uint32_t get_input_pointer(void);
QUARNEL_API void n_set_input_pointer(uint32_t board, int32_t p);
QUARNEL_API void set_input_pointer(int32_t p);
QUARNEL_API void n_set_start_list_1(uint32_t board);
QUARNEL_API void set_start_list_1(void);
QUARNEL_API void n_set_start_list_2(uint32_t board);
QUARNEL_API void set_start_list_2(void);
QUARNEL_API void n_set_start_list(uint32_t board, uint32_t list);
QUARNEL_API void set_start_list(uint32_t list);
QUARNEL_API void n_set_end_of_list(uint32_t board);
QUARNEL_API void set_end_of_list(void);
/* Start, stop, loop and chain the lists. List positions run 0..999999; commands that take one
 * send nothing for any other value. */
QUARNEL_API void n_execute_list_1(uint32_t board);
QUARNEL_API void execute_list_1(void);
QUARNEL_API void n_execute_list_2(uint32_t board);
QUARNEL_API void execute_list_2(void);
QUARNEL_API void n_execute_list(uint32_t board, uint32_t n);
QUARNEL_API void execute_list(uint32_t n);
QUARNEL_API void n_auto_change(uint32_t board);
QUARNEL_API void auto_change(void);
QUARNEL_API void n_aut_change(uint32_t board);
QUARNEL_API void aut_change(void);
QUARNEL_API void n_start_loop(uint32_t board);
QUARNEL_API void start_loop(void);
QUARNEL_API void n_quit_loop(uint32_t board);
QUARNEL_API void quit_loop(void);
QUARNEL_API void n_stop_execution(uint32_t board);
QUARNEL_API void stop_execution(void);
QUARNEL_API void n_dsp_start(uint32_t board);
QUARNEL_API void dsp_start(void);
QUARNEL_API void n_stop_list(uint32_t board);
QUARNEL_API void stop_list(void);
QUARNEL_API void n_restart_list(uint32_t board);
QUARNEL_API void restart_list(void);
QUARNEL_API void n_select_list(uint32_t board, uint32_t n);
QUARNEL_API void select_list(uint32_t n);
QUARNEL_API void n_set_extstartpos(uint32_t board, int32_t p);
QUARNEL_API void set_extstartpos(int32_t p);
QUARNEL_API void n_execute_at_pointer(uint32_t board, int32_t p);
QUARNEL_API void execute_at_pointer(int32_t p);
QUARNEL_API void n_release_wait(uint32_t board);
QUARNEL_API void release_wait(void);
QUARNEL_API void n_auto_change_pos(uint32_t board, int32_t p);
QUARNEL_API void auto_change_pos(int32_t p);
/* store_on_mmc: 0 when done (and for a bad board number); 0xFFFF when an exchange failed. */
QUARNEL_API uint16_t n_store_on_mmc(uint32_t board);
QUARNEL_API uint16_t store_on_mmc(void);
QUARNEL_API void n_clear_list(uint32_t board);
QUARNEL_API void clear_list(void);

/* ---- List commands ------------------------------------------------------------------ */
/* Each appends one entry (set_pixel_line two) to the board's list at the input pointer. Integer
 * arguments count with their low 16 bits, except list positions p (32-bit, 0..999999). Speeds
 * in Bit/ms; out-of-range or NaN arguments are clamped or replaced by the no-operation entry
 * [0, 0, 0, 0] (set_pixel_line and write_da_x_list then append nothing). */
QUARNEL_API void n_list_nop(uint32_t board);
QUARNEL_API void list_nop(void);
QUARNEL_API void n_set_pixel(uint32_t board, uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void set_pixel(uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void n_jump_abs(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void jump_abs(int32_t x, int32_t y);
QUARNEL_API void n_jump_abs_3d(uint32_t board, int32_t x, int32_t y, int32_t z);
QUARNEL_API void jump_abs_3d(int32_t x, int32_t y, int32_t z);
QUARNEL_API void n_mark_abs(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void mark_abs(int32_t x, int32_t y);
QUARNEL_API void n_mark_abs_3d(uint32_t board, int32_t x, int32_t y, int32_t z);
QUARNEL_API void mark_abs_3d(int32_t x, int32_t y, int32_t z);
QUARNEL_API void n_jump_rel(uint32_t board, int32_t dx, int32_t dy);
QUARNEL_API void jump_rel(int32_t dx, int32_t dy);
QUARNEL_API void n_jump_rel_3d(uint32_t board, int32_t dx, int32_t dy, int32_t dz);
QUARNEL_API void jump_rel_3d(int32_t dx, int32_t dy, int32_t dz);
QUARNEL_API void n_mark_rel(uint32_t board, int32_t dx, int32_t dy);
QUARNEL_API void mark_rel(int32_t dx, int32_t dy);
QUARNEL_API void n_mark_rel_3d(uint32_t board, int32_t dx, int32_t dy, int32_t dz);
QUARNEL_API void mark_rel_3d(int32_t dx, int32_t dy, int32_t dz);
QUARNEL_API void n_write_8bit_port_list(uint32_t board, uint32_t v);
QUARNEL_API void write_8bit_port_list(uint32_t v);
QUARNEL_API void n_write_da_1_list(uint32_t board, uint32_t v);
QUARNEL_API void write_da_1_list(uint32_t v);
QUARNEL_API void n_write_da_2_list(uint32_t board, uint32_t v);
QUARNEL_API void write_da_2_list(uint32_t v);
QUARNEL_API void n_write_da_x_list(uint32_t board, uint32_t channel, uint32_t v);
QUARNEL_API void write_da_x_list(uint32_t channel, uint32_t v);
QUARNEL_API void n_set_offset_list(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void set_offset_list(int32_t x, int32_t y);
QUARNEL_API void n_long_delay(uint32_t board, uint32_t t);
QUARNEL_API void long_delay(uint32_t t);
QUARNEL_API void n_laser_on_list(uint32_t board, uint32_t t);
QUARNEL_API void laser_on_list(uint32_t t);
QUARNEL_API void n_set_jump_speed(uint32_t board, double s);
QUARNEL_API void set_jump_speed(double s);
QUARNEL_API void n_set_mark_speed(uint32_t board, double s);
QUARNEL_API void set_mark_speed(double s);
QUARNEL_API void n_set_laser_delays(uint32_t board, int32_t on, int32_t off);
QUARNEL_API void set_laser_delays(int32_t on, int32_t off);
QUARNEL_API void n_set_scanner_delays(uint32_t board, int32_t jump, int32_t mark, int32_t polygon);
QUARNEL_API void set_scanner_delays(int32_t jump, int32_t mark, int32_t polygon);
QUARNEL_API void n_set_list_jump(uint32_t board, int32_t p);
QUARNEL_API void set_list_jump(int32_t p);
QUARNEL_API void n_list_call(uint32_t board, int32_t p);
QUARNEL_API void list_call(int32_t p);
QUARNEL_API void n_list_return(uint32_t board);
QUARNEL_API void list_return(void);
QUARNEL_API void n_z_out_list(uint32_t board, int32_t z);
QUARNEL_API void z_out_list(int32_t z);
QUARNEL_API void n_set_standby_list(uint32_t board, uint32_t period, uint32_t pulse);
QUARNEL_API void set_standby_list(uint32_t period, uint32_t pulse);
QUARNEL_API void n_timed_jump_abs(uint32_t board, int32_t x, int32_t y, double t);
QUARNEL_API void timed_jump_abs(int32_t x, int32_t y, double t);
QUARNEL_API void n_timed_mark_abs(uint32_t board, int32_t x, int32_t y, double t);
QUARNEL_API void timed_mark_abs(int32_t x, int32_t y, double t);
QUARNEL_API void n_timed_jump_rel(uint32_t board, int32_t dx, int32_t dy, double t);
QUARNEL_API void timed_jump_rel(int32_t dx, int32_t dy, double t);
QUARNEL_API void n_timed_mark_rel(uint32_t board, int32_t dx, int32_t dy, double t);
QUARNEL_API void timed_mark_rel(int32_t dx, int32_t dy, double t);
QUARNEL_API void n_set_laser_timing(uint32_t board, uint32_t period, uint32_t pulse1, uint32_t pulse2,
                                    uint32_t timebase);
QUARNEL_API void set_laser_timing(uint32_t period, uint32_t pulse1, uint32_t pulse2, uint32_t timebase);
QUARNEL_API void n_set_wobbel(uint32_t board, uint32_t amplitude, double f);
QUARNEL_API void set_wobbel(uint32_t amplitude, double f);
QUARNEL_API void n_write_io_port_list(uint32_t board, uint32_t v);
QUARNEL_API void write_io_port_list(uint32_t v);
QUARNEL_API void n_set_wait(uint32_t board, uint32_t w);
QUARNEL_API void set_wait(uint32_t w);
QUARNEL_API void n_set_pixel_line(uint32_t board, uint32_t mode, uint32_t pixels, double dx, double dy);
QUARNEL_API void set_pixel_line(uint32_t mode, uint32_t pixels, double dx, double dy);
QUARNEL_API void n_laser_signal_on_list(uint32_t board);
QUARNEL_API void laser_signal_on_list(void);
QUARNEL_API void n_laser_signal_off_list(uint32_t board);
QUARNEL_API void laser_signal_off_list(void);
QUARNEL_API void n_set_firstpulse_killer_list(uint32_t board, uint32_t v);
QUARNEL_API void set_firstpulse_killer_list(uint32_t v);
QUARNEL_API void n_set_io_cond_list(uint32_t board, uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void set_io_cond_list(uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void n_clear_io_cond_list(uint32_t board, uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void clear_io_cond_list(uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void n_list_jump_cond(uint32_t board, uint32_t a, uint32_t b, int32_t p);
QUARNEL_API void list_jump_cond(uint32_t a, uint32_t b, int32_t p);
QUARNEL_API void n_list_call_cond(uint32_t board, uint32_t a, uint32_t b, int32_t p);
QUARNEL_API void list_call_cond(uint32_t a, uint32_t b, int32_t p);
QUARNEL_API void n_save_and_restart_timer(uint32_t board);
QUARNEL_API void save_and_restart_timer(void);
QUARNEL_API void n_set_matrix_list(uint32_t board, uint32_t i, uint32_t j, double m);
QUARNEL_API void set_matrix_list(uint32_t i, uint32_t j, double m);
QUARNEL_API void n_set_control_mode_list(uint32_t board, uint32_t v);
QUARNEL_API void set_control_mode_list(uint32_t v);
QUARNEL_API void n_set_defocus_list(uint32_t board, uint32_t v);
QUARNEL_API void set_defocus_list(uint32_t v);
QUARNEL_API void n_set_wobbel_xy(uint32_t board, uint32_t ax, uint32_t ay, double f);
QUARNEL_API void set_wobbel_xy(uint32_t ax, uint32_t ay, double f);
QUARNEL_API void n_select_cor_table_list(uint32_t board, uint32_t a, uint32_t b);
QUARNEL_API void select_cor_table_list(uint32_t a, uint32_t b);
QUARNEL_API void n_set_trigger(uint32_t board, uint32_t period, uint32_t s1, uint32_t s2);
QUARNEL_API void set_trigger(uint32_t period, uint32_t s1, uint32_t s2);
QUARNEL_API void n_arc_rel(uint32_t board, int32_t dx, int32_t dy, double angle);
QUARNEL_API void arc_rel(int32_t dx, int32_t dy, double angle);
QUARNEL_API void n_arc_abs(uint32_t board, int32_t x, int32_t y, double angle);
QUARNEL_API void arc_abs(int32_t x, int32_t y, double angle);

/* ---- Marking on the fly, external start and regulation list commands ---------------- */
/* List commands like the ones above; each call appends exactly one entry. Fly factors k in
 * bits per encoder count (used by the board for 0.00009 <= |k| < 1001); negative external-start
 * delays go out one lower; a NaN real gives the entry of the low end of its range. */
QUARNEL_API void n_set_fly_x(uint32_t board, double k);
QUARNEL_API void set_fly_x(double k);
QUARNEL_API void n_set_fly_y(uint32_t board, double k);
QUARNEL_API void set_fly_y(double k);
QUARNEL_API void n_set_fly_rot(uint32_t board, double r);
QUARNEL_API void set_fly_rot(double r);
QUARNEL_API void n_calculate_fly(uint32_t board, uint32_t n, double v);
QUARNEL_API void calculate_fly(uint32_t n, double v);
QUARNEL_API void n_fly_return(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void fly_return(int32_t x, int32_t y);
QUARNEL_API void n_fly_displacement_ret(uint32_t board, int32_t x, int32_t y);
QUARNEL_API void fly_displacement_ret(int32_t x, int32_t y);
QUARNEL_API void n_flyline(uint32_t board, int32_t v);
QUARNEL_API void flyline(int32_t v);
QUARNEL_API void n_store_encoder(uint32_t board);
QUARNEL_API void store_encoder(void);
QUARNEL_API void n_simulate_ext_start(uint32_t board, int32_t delay, uint32_t encoder);
QUARNEL_API void simulate_ext_start(int32_t delay, uint32_t encoder);
/* p outside 1..999999 appends [34, 0, 0, 0]. */
QUARNEL_API void n_set_extstartpos_list(uint32_t board, int32_t p);
QUARNEL_API void set_extstartpos_list(int32_t p);
QUARNEL_API void n_set_ext_start_delay_list(uint32_t board, int32_t delay, uint32_t encoder);
QUARNEL_API void set_ext_start_delay_list(int32_t delay, uint32_t encoder);
QUARNEL_API void n_drilling(uint32_t board, int32_t a, int32_t b);
QUARNEL_API void drilling(int32_t a, int32_t b);
QUARNEL_API void n_regulation(uint32_t board);
QUARNEL_API void regulation(void);
/* f in Hz (10000..1000000), x limited to 10..f / 10. */
QUARNEL_API void n_regulation2(uint32_t board, double f, double x);
QUARNEL_API void regulation2(double f, double x);
QUARNEL_API void n_regulation3(uint32_t board, double f, double x);
QUARNEL_API void regulation3(double f, double x);

/* ---- Text stamping ------------------------------------------------------------------ */
/* Date, time and serial number marked from inside a list, each character drawn by the list
 * subroutine set_char_table names (i below 40, p in 1..999999, else nothing is sent).
 * time_update sets the board's clock from the local time and then keeps the board busy for
 * 2 seconds; set_serial sets the serial number to |n|. In libquarnel4x64.so a clock year before
 * 2000 and n = -2147483648 are refused: nothing is sent. */
QUARNEL_API void n_set_char_table(uint32_t board, uint32_t i, int32_t p);
QUARNEL_API void set_char_table(uint32_t i, int32_t p);
QUARNEL_API void n_time_update(uint32_t board);
QUARNEL_API void time_update(void);
QUARNEL_API void n_set_serial(uint32_t board, int32_t n);
QUARNEL_API void set_serial(int32_t n);
/* List commands: an out-of-range selector appends the no-operation entry [0, 0, 0, 0]. */
QUARNEL_API void n_time_fix(uint32_t board);
QUARNEL_API void time_fix(void);
QUARNEL_API void n_time_fix_f(uint32_t board, uint32_t v);
QUARNEL_API void time_fix_f(uint32_t v);
QUARNEL_API void n_mark_time(uint32_t board, uint32_t a, uint32_t b);
QUARNEL_API void mark_time(uint32_t a, uint32_t b);
QUARNEL_API void n_mark_date(uint32_t board, uint32_t a, uint32_t b);
QUARNEL_API void mark_date(uint32_t a, uint32_t b);
QUARNEL_API void n_mark_serial(uint32_t board, uint32_t a, uint32_t b);
QUARNEL_API void mark_serial(uint32_t a, uint32_t b);
/* Values above 12 are sent as 0. */
QUARNEL_API void n_date_check(uint32_t board, uint32_t a, uint32_t b, uint32_t c);
QUARNEL_API void date_check(uint32_t a, uint32_t b, uint32_t c);

#ifdef __cplusplus
}
#endif

#endif /* QUARNEL4_H */
