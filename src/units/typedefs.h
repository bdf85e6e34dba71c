// The record types shared by the units, the map, the path finder and the effects.
#pragma once

#include <cstdint>

// One waypoint, in map pixels.
struct MPOS {
    int16_t x;
    int16_t y;
};

// Length of a unit's waypoint list. The route planner may start a detour pass with 17
// waypoints written and add six more before the target, so the list holds 24 entries
// and every walk the planner can make fits without cutting the route short.
constexpr int WEG_LAENGE = 24;
// Length of a unit's detour stack.
constexpr int UMWEG_LAENGE = 20;

// One unit of either side.
struct MANN {
    uint8_t feind;    // 0 the player's unit, 1 enemy
    uint8_t free;     // 1 while the slot holds a live unit
    uint8_t type;     // kind 0..9, index into Data
    uint8_t aktive;   // selected by the player
    uint8_t fire;     // set by the attack animations
    uint8_t attack;   // has a target (who, zx, zy)
    uint8_t who;      // slot of the target, 255 none
    uint8_t kette;    // track phase of the combat vehicle
    uint8_t dcount;   // next entry of d to walk to
    uint8_t d1count;  // detour points on d1; top is d1[d1count]
    uint8_t dmax;     // waypoints in d
    uint8_t warten;   // frames since the unit last acted
    uint8_t zaehler;  // reload counter of rocket and laser troopers
    int16_t x, y;     // screen position of the sprite's top-left corner
    int16_t ax, ay;   // map position of the sprite's top-left corner
    int16_t dx, dy;   // point being walked to, map pixels
    int16_t zx, zy;   // target position, map pixels
    int16_t shape;    // current animation frame
    int16_t shapeX, shapeY;
    int16_t energie;
    int16_t system;
    int32_t shape_start;    // byte offset of the kind's sprite set in LeuteData
    MPOS d[WEG_LAENGE];     // route from the path finder
    MPOS d1[UMWEG_LAENGE];  // detour stack
};

// Abilities of one unit kind.
struct ABILITY {
    int16_t energie;
    int16_t destruct;
    uint8_t hit_security;
    uint8_t see_reach;
    uint8_t weapon_reach;
    uint8_t shot_delay;
    uint8_t speed;
};

// An obstacle run through a map cell: first tile and the tile just past it.
struct POS {
    uint8_t anfang;
    uint8_t ende;
};

// One animated map cell.
struct ANITER {
    int16_t x, y;
    int16_t start;
    int16_t index;
    int16_t ende;
};

// Incremental line tracer shared by lasers and rockets.
struct LINE {
    int16_t div;
    int16_t d;
    int16_t dx, dy;
    int16_t aincr, bincr;
    int16_t xincr, yincr;
    int16_t x, y;
};

// One laser bolt; rockets share the record.
struct LASER {
    int16_t ax, ay;
    int16_t dx, dy;
    int16_t destruct;
    int16_t owner;
    uint8_t length;
    uint8_t farbe;
    uint8_t speed;
    uint8_t free;
    LINE l;
};
typedef LASER ROCKET;

// One explosion, anchored to the screen.
struct EXPLO {
    uint8_t free;
    uint8_t type;
    uint8_t frames;
    int16_t x, y;
    int16_t range;
    int16_t destruct;
    int16_t shape_x, shape_y;
    int16_t index;
    int16_t shape_start;
};

// One smoke puff, anchored to the screen.
struct RAUCH {
    int16_t x, y;
    int16_t index;
    uint8_t free;
};
