// What the display layer offers beyond the LibGGI calls, for tests and tools.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <ggi/ggi.h>

// The visual's frame counter: how many event polls found nothing pending. -1 for no visual.
int64_t ggiLayerFrame(ggi_visual_t vis);
// The picture last shown, three 8-bit components per pixel, rows top to bottom, as a PPM
// holds them; 0, or -1 when no mode is set.
int ggiLayerShown(ggi_visual_t vis, int *w, int *h, std::vector<uint8_t> *rgb);
// Writes the picture last shown as a PPM (P6) file; 0, or -1.
int ggiLayerWritePPM(ggi_visual_t vis, const char *file);
// Takes ggiPanic's finished message in place of standard error and the end of the process,
// for harnesses that feed the loaders damaged files by the thousand. The handler must not
// return (it throws); should it return, the process ends as usual. Null restores the ending.
// The programs never set one.
using ggiLayerPanicHandler = void (*)(const char *message);
void ggiLayerSetPanicHandler(ggiLayerPanicHandler handler);
// The folder that relative file names of the display options (-events, -record, -final) and
// of an event script's shot lines are taken from, for a program that leaves the folder it was
// started in before it opens its display. Null (the default): the working directory.
void ggiLayerSetOrigin(const char *dir);
// Opens a file for reading the way both programs take their input: a special file (a FIFO, a
// device) never holds the caller up, and only a regular file is opened. Null when the file
// cannot be opened (errno as open sets it) or is not a regular file (errno EINVAL); `size`,
// when given, gets the file's length.
FILE *ggiLayerOpenFile(const char *name, long *size);
