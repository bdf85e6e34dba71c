// The pieces of the resource generator: each makes the frames of one resource file.
#pragma once

#include <string>
#include <vector>

#include "art.h"
#include "ppm.h"

namespace resgen {

using art::Book;
using art::Image;

// Infantry sheet layout: eight directions, each with a walking block of five frames
// (the standing pose, then the four steps) and an attack block of four frames (the aim,
// which no rule shows, then the three frames of the attack cycle).
enum Dir { R, RU, U, LU, L, LO, O, RO, DIRS };
constexpr int WALK_BLOCK = 5, ATTACK_BLOCK = 4;
constexpr int WALK_START = 0, ATTACK_START = WALK_BLOCK * DIRS;
constexpr int MANN_DIV = ATTACK_START + ATTACK_BLOCK * DIRS;  // 72 frames per kind
constexpr int KINDS = 10;
constexpr int STRAIGHT_LANG = 3;  // a straight walk shows start + 1 .. start + 4
constexpr int DIAGONAL_LANG = 4;  // a diagonal one start + 1 .. start + 4 (and start itself
                                  // when it comes from the frame just before it)
constexpr int ATTACK_LANG = 2;    // an attack shows start + 1 .. start + 3
inline int WalkStart(Dir d)
{
    return WALK_START + WALK_BLOCK * d;
}
inline int AttackStart(Dir d)
{
    return ATTACK_START + ATTACK_BLOCK * d;
}
inline bool Diagonal(Dir d)
{
    return d == RU || d == LU || d == LO || d == RO;
}

// The 41 numbers of resource/mann.num, in the order of that file.
struct Number {
    const char *name;
    int value;
};
std::vector<Number> MannNumbers();
std::string MannNumText();

constexpr int MAN_W = 20, MAN_H = 20;
constexpr int TANK_W = 43, TANK_H = 30, TANK_FRAMES = 291;
constexpr int HELI_W = 53, HELI_H = 30, HELI_FRAMES = 4;
constexpr int EXPLO_W = 28, EXPLO_H = 20, EXPLO_FRAMES = 12;
constexpr int SMOKE_W = 14, SMOKE_H = 14, SMOKE_FRAMES = 8;
constexpr int GLYPHS = 50, GLYPH = 5;
constexpr int POINTER = 16, POINTER_FRAMES = 13;
constexpr int TILE = 20;
constexpr int ICON = 64;  // the menu icon's own size; larger ones are scaled up

std::vector<Image> Font(const Book &book);
std::vector<Image> Pointer(const Book &book);
std::vector<Image> Terrain(const Book &book);
std::vector<Image> Infantry(const Book &book);
std::vector<Image> Vehicle(const Book &book);
std::vector<Image> Helicopter(const Book &book);
std::vector<Image> Explosion(const Book &book);
std::vector<Image> Smoke(const Book &book);

// The menu icon, ICON x ICON pixels times `scale`, and a PNG writer for it.
art::Rgbimage Icon(const Book &book, int scale);
void WritePng(const std::string &path, const art::Rgbimage &img);

}  // namespace resgen
