// The display layer: the LibGGI 2 subset the game and the viewer call, over a window or memory.
#pragma once

#include <cstdint>
#include <ggi/gii.h>

typedef struct ggi_visual *ggi_visual_t;
typedef uint32_t ggi_graphtype;
typedef uint32_t ggi_pixel;

#define GT_8BIT (static_cast<ggi_graphtype>(0x04000808))
#define GT_16BIT (static_cast<ggi_graphtype>(0x02001010))
#define GT_24BIT (static_cast<ggi_graphtype>(0x02001818))
#define GGI_AUTO 0

typedef struct {
    uint16_t r, g, b, a;
} ggi_color;

typedef struct {
    int16_t x, y;
} ggi_coord;

typedef struct {
    int32_t frames;
    ggi_coord visible;
    ggi_coord virt;
    ggi_coord size;
    ggi_graphtype graphtype;
    ggi_coord dpp;
} ggi_mode;

typedef struct {
    int stride;
} ggi_pixellinearbuffer;

typedef struct {
    uint32_t type;
    int frame;
    void *read;
    void *write;
    unsigned int page_size;
    union {
        ggi_pixellinearbuffer plb;
    } buffer;
} ggi_directbuffer;

int ggiInit(void);
int ggiExit(void);
// Variadic as in LibGGI: a target name, then option strings, ended by a null pointer.
ggi_visual_t ggiOpen(const char *display, ...);
int ggiClose(ggi_visual_t vis);
int ggiSetGraphMode(ggi_visual_t vis, int x, int y, int xv, int yv, ggi_graphtype type);
int ggiCheckGraphMode(ggi_visual_t vis, int x, int y, int xv, int yv, ggi_graphtype type, ggi_mode *suggested);
const ggi_directbuffer *ggiDBGetBuffer(ggi_visual_t vis, int bufnum);
int ggiPutBox(ggi_visual_t vis, int x, int y, int w, int h, const void *buffer);
int ggiFlush(ggi_visual_t vis);
int ggiSetPalette(ggi_visual_t vis, int start, int len, const ggi_color *colormap);
ggi_pixel ggiMapColor(ggi_visual_t vis, const ggi_color *col);
int ggiSetGCForeground(ggi_visual_t vis, ggi_pixel color);
int ggiFillscreen(ggi_visual_t vis);
int ggiGetc(ggi_visual_t vis);
[[noreturn]] void ggiPanic(const char *format, ...);
gii_event_mask ggiEventPoll(ggi_visual_t vis, gii_event_mask mask, struct timeval *t);
int ggiEventRead(ggi_visual_t vis, gii_event *ev, gii_event_mask mask);
