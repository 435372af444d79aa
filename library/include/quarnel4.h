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

/* ---- Board status and queries ------------------------------------------------------- */

/* ---- List management and execution ------------------------------------------------- */

/* ---- List commands ------------------------------------------------------------------ */

/* ---- Marking on the fly, external start and regulation list commands ---------------- */

/* ---- Text stamping ------------------------------------------------------------------ */

#ifdef __cplusplus
}
#endif

#endif /* QUARNEL4_H */
