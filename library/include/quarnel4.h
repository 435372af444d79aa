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

/* Finds the boards again and takes them; *count receives the number found. */
QUARNEL_API uint32_t usb_reinitialize(uint32_t* count);

/* ---- Immediate control commands ----------------------------------------------------- */

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

/* ---- List management and execution ------------------------------------------------- */

/* ---- List commands ------------------------------------------------------------------ */

/* ---- Marking on the fly, external start and regulation list commands ---------------- */

/* ---- Text stamping ------------------------------------------------------------------ */

#ifdef __cplusplus
}
#endif

#endif /* QUARNEL4_H */
