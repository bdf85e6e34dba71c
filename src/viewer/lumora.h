// The viewer's picture reading and conversion, shared by the program, its tests and its fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ggi/ggi.h>

// The largest picture the viewer shows: its graphics mode is this size.
#define PCX_MAX_WIDTH 320
#define PCX_MAX_HEIGHT 200

// Header bytes before the pixel codes, and the palette trailer at the end of the file.
#define PCX_HEADER_SIZE 128
#define PCX_PALETTE_SIZE 768
// The trailer is the palette with its marker byte (12) before it: pixel data ends there.
#define PCX_TRAILER_SIZE (PCX_PALETTE_SIZE + 1)

// What readpcx made of a file; main prints the message that belongs to each.
enum pcx_result {
    PCX_LOADED,   // a picture and its palette
    PCX_INVALID,  // "Error loading file!"
    PCX_TOO_BIG   // the size line, then "Image is too big!"
};

// Bytes per pixel of the chosen graphics mode (1, 2 or 3), set by init_ggi.
extern uint8_t bytes_per_pixel;

// Decodes run-length codes from the file's current position into dest, which holds
// width x height bytes. The codes describe height scan lines of bytesperline bytes each
// (bytesperline >= width); a run may cross from one scan line into the next, and only the
// first width bytes of each scan line are kept. At most datalen code bytes are read. Returns
// false when the codes end before the last scan line is complete. A run that passes the end
// of the picture is cut there; a run of count 0 writes nothing.
bool readpcximage(FILE *file, uint8_t *dest, uint16_t width, uint16_t height, uint16_t bytesperline, long datalen);

// Reads a 256-colour PCX picture from an open file. Checks, in this order, so that nothing
// is allocated or decoded for a file that cannot be shown:
//   1. the file holds at least a header and a palette trailer, and the header says
//      manufacturer 10, version 5, 8 bits per pixel, one plane; otherwise PCX_INVALID;
//   2. width = Xmax - Xmin + 1 and height = Ymax - Ymin + 1 (16 bits, so a header with
//      Xmax < Xmin wraps to a large size) are 1..320 and 1..200; otherwise PCX_TOO_BIG,
//      with *width and *height set so that the size line can be printed;
//   3. the header's bytes per line is at least the width; otherwise PCX_INVALID;
//   4. the pixel codes between the header and the palette trailer complete the picture;
//      otherwise PCX_INVALID.
// On success returns the index picture of width x height bytes (malloc: free it) and fills
// palette with the 768 trailer bytes; otherwise returns nullptr and leaves palette alone.
uint8_t *readpcx(FILE *file, uint8_t *palette, uint16_t *width, uint16_t *height, pcx_result *result);

// Opens the default display and sets the first 320 x 200 mode it accepts of 8, 16 and 24
// bits; on any failure prints why and ends the process with status 1.
void init_ggi(ggi_visual_t *vis);

// Closes the visual and the display layer.
void exit_ggi(ggi_visual_t vis);

// Converts count index pixels into display pixels of bytes_per_pixel bytes each: indices
// unchanged at 1, ggiMapColor of the palette entry at 2, blue, green, red from the raw
// palette at 3. Any other depth leaves display alone.
void adapttodepth(ggi_visual_t vis, void *display, const uint8_t *pixels, size_t count, const uint8_t *rawpalette,
                  const ggi_color *palette);
