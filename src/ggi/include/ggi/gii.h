// Input events of the display layer: the LibGII 1 subset the game and the viewer read.
#pragma once

#include <cstdint>
#include <sys/time.h>

typedef uint32_t gii_event_mask;

enum gii_event_type {
    evNothing = 0,
    evCommand = 1,
    evInformation = 2,
    evExpose = 3,
    evKeyPress = 5,
    evKeyRelease = 6,
    evKeyRepeat = 7,
    evPtrRelative = 8,
    evPtrAbsolute = 9,
    evPtrButtonPress = 10,
    evPtrButtonRelease = 11,
    evValRelative = 12,
    evValAbsolute = 13,
    evLast = 14
};

#define EVMASK(type) (static_cast<gii_event_mask>(1) << (type))
#define emCommand EVMASK(evCommand)
#define emInformation EVMASK(evInformation)
#define emExpose EVMASK(evExpose)
#define emKeyPress EVMASK(evKeyPress)
#define emKeyRelease EVMASK(evKeyRelease)
#define emKeyRepeat EVMASK(evKeyRepeat)
#define emKey (emKeyPress | emKeyRelease | emKeyRepeat)
#define emPtrRelative EVMASK(evPtrRelative)
#define emPtrAbsolute EVMASK(evPtrAbsolute)
#define emPtrButtonPress EVMASK(evPtrButtonPress)
#define emPtrButtonRelease EVMASK(evPtrButtonRelease)
#define emValRelative EVMASK(evValRelative)
#define emValAbsolute EVMASK(evValAbsolute)
#define emAll (static_cast<gii_event_mask>(0x3ffe))

// Buttons.
#define GII_PBUTTON_LEFT 1
#define GII_PBUTTON_RIGHT 2
#define GII_PBUTTON_MIDDLE 3

// Key symbols: the character a key produces; these for the rest.
#define GIIUC_BackSpace 8
#define GIIUC_Tab 9
#define GIIUC_Return 13
#define GIIUC_Escape 27
#define GIIK_Left 0xE032
#define GIIK_Right 0xE033
#define GIIK_Up 0xE034
#define GIIK_Down 0xE035
#define GIIK_F1 0xE101

#define COMMON_DATA                                                                                                    \
    uint8_t size;                                                                                                      \
    uint8_t type;                                                                                                      \
    int16_t error;                                                                                                     \
    uint32_t origin;                                                                                                   \
    uint32_t target;                                                                                                   \
    struct timeval time

typedef struct {
    COMMON_DATA;
} gii_any_event;

typedef struct {
    COMMON_DATA;
    uint32_t modifiers;
    uint32_t sym;
    uint32_t label;
    uint32_t button;
} gii_key_event;

typedef struct {
    COMMON_DATA;
    int32_t x, y, z, wheel;
} gii_pmove_event;

typedef struct {
    COMMON_DATA;
    uint32_t button;
} gii_pbutton_event;

#undef COMMON_DATA

typedef union gii_event {
    uint8_t size;
    gii_any_event any;
    gii_key_event key;
    gii_pmove_event pmove;
    gii_pbutton_event pbutton;
} gii_event;
