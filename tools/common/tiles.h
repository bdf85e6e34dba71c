// The terrain tile numbers, the map characters that stand for them, and how a character map
// becomes tile numbers (each cell's picture chosen by its neighbours).
#pragma once

#include <string>
#include <vector>

namespace tiles {

// Open ground: 0 .. 95.
constexpr int GRASS = 0, GRASS_N = 8;
constexpr int DIRT = 8, DIRT_N = 4;   // dirt on all sides
constexpr int SAND = 12, SAND_N = 4;  // sand on all sides
constexpr int ROAD = 16;              // + the mask of road neighbours (N 1, E 2, S 4, W 8)
constexpr int BRIDGE_H = 32, BRIDGE_V = 33;
constexpr int CRATER = 34, CRATER_N = 2;
constexpr int DIRT_EDGE = 36;  // + the mask of dirt neighbours: a patch fraying into the grass
constexpr int SAND_EDGE = 52;  // + the mask of sand neighbours
constexpr int OPEN_USED = 68;  // 68 .. 95 repeat the grass
constexpr int FIRST_OBSTACLE = 96;
// Obstacles: 96 and above. 96 itself is accepted as a destination by the orders although
// units cannot enter it, so maps leave it out.
constexpr int BOULDER = 96;
constexpr int WATER = 97, WATER_N = 47;  // one tile per shape of shore
constexpr int TREES = 144;               // + mask + 16 x variant
constexpr int ROCK = 176;                // + mask + 16 x variant
constexpr int HOUSE = 208;               // red roofs, + mask
constexpr int HALL = 224;                // grey roofs, + mask
constexpr int WALL = 240;                // + mask
constexpr int WRECK = 256, WRECK_N = 2;
constexpr int CRATES = 258;
constexpr int OBSTACLE_USED = 259;  // 259 .. 661 repeat the boulder
constexpr int WATER_ANIM = 662, WATER_ANIM_N = 13;
constexpr int FIRE_ANIM = 676, FIRE_ANIM_N = 11;
constexpr int RADAR_ANIM = 700, RADAR_ANIM_N = 6;
constexpr int COUNT = 706;
constexpr int MAX_ANIMATED = 100;  // cells the game can animate

// Neighbour bits: the side neighbours and the corner neighbours.
constexpr int N = 1, E = 2, S = 4, W = 8;
constexpr int NE = 1, SE = 2, SW = 4, NW = 8;

// The shore shapes: water on the sides in `sides`, and water in the corners in `corners`
// (only corners whose two sides are water count).
int WaterIndex(int sides, int corners);
void WaterShape(int index, int &sides, int &corners);

// Map characters.
constexpr char C_GRASS = '.', C_DIRT = ',', C_SAND = ':', C_ROAD = '=', C_BRIDGE = '+', C_CRATER = 'x', C_WATER = '~',
               C_WATER_ANIM = 'w', C_TREES = 'T', C_ROCK = 'R', C_HOUSE = 'H', C_HALL = 'K', C_WALL = '#',
               C_WRECK = 'W', C_CRATES = 'X', C_FIRE = 'F', C_RADAR = 'D';
extern const std::string MAP_CHARACTERS;
// One line per character, for the head of a text map.
std::string MapLegend();

// The character whose pictures include tile t, or 0 when no character makes t.
char CharacterOf(int t);

// Tile numbers for a map of characters (rows of equal length); cells beyond the edge
// count as continuing the edge cell, so a river runs on out of the map.
std::vector<std::vector<int>> Autotile(const std::vector<std::string> &rows);

// A fixed hash of a cell, choosing among equal pictures so that the ground does not repeat.
unsigned CellHash(int x, int y);

}  // namespace tiles
