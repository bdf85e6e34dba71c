// The terrain tile numbers, the map characters that stand for them, and the choice of each
// cell's picture by its neighbours.
#include "tiles.h"

#include <array>

namespace tiles {
namespace {

// The corners that count for a set of water sides.
int RelevantCorners(int sides)
{
    int c = 0;
    if ((sides & N) && (sides & E))
        c |= NE;
    if ((sides & S) && (sides & E))
        c |= SE;
    if ((sides & S) && (sides & W))
        c |= SW;
    if ((sides & N) && (sides & W))
        c |= NW;
    return c;
}

struct Shapes {
    std::array<int, 16 * 16> index{};
    std::array<int, WATER_N> sides{}, corners{};
    Shapes()
    {
        index.fill(-1);
        int n = 0;
        for (int s = 0; s < 16; ++s) {
            int rel = RelevantCorners(s);
            for (int c = 0; c < 16; ++c)
                if ((c & ~rel) == 0) {
                    index[s * 16 + c] = n;
                    sides[n] = s;
                    corners[n] = c;
                    ++n;
                }
        }
    }
};

const Shapes &TheShapes()
{
    static const Shapes shapes;
    return shapes;
}

bool Waterlike(char c)
{
    return c == C_WATER || c == C_WATER_ANIM || c == C_BRIDGE;
}
bool Roadlike(char c)
{
    return c == C_ROAD || c == C_BRIDGE;
}

}  // namespace

const std::string MAP_CHARACTERS = ".,:=+x~wTRHK#WXFD";

std::string MapLegend()
{
    return "#   .  grass          ,  dirt           :  sand           =  road\n"
           "#   +  bridge         x  crater         ~  water          w  water, moving (needs water all round)\n"
           "#   T  trees          R  rocks          H  house          K  hall\n"
           "#   #  wall           W  wreck          X  crates         F  fire (moving)\n"
           "#   D  radar (moving)\n";
}

int WaterIndex(int sides, int corners)
{
    return TheShapes().index[(sides & 15) * 16 + (corners & RelevantCorners(sides & 15))];
}

void WaterShape(int index, int &sides, int &corners)
{
    sides = TheShapes().sides[index];
    corners = TheShapes().corners[index];
}

unsigned CellHash(int x, int y)
{
    unsigned h = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

char CharacterOf(int t)
{
    if (t >= GRASS && t < GRASS + GRASS_N)
        return C_GRASS;
    if ((t >= DIRT && t < DIRT + DIRT_N) || (t >= DIRT_EDGE && t < DIRT_EDGE + 15))
        return C_DIRT;
    if ((t >= SAND && t < SAND + SAND_N) || (t >= SAND_EDGE && t < SAND_EDGE + 15))
        return C_SAND;
    if (t >= ROAD && t < ROAD + 16)
        return C_ROAD;
    if (t == BRIDGE_H || t == BRIDGE_V)
        return C_BRIDGE;
    if (t >= CRATER && t < CRATER + CRATER_N)
        return C_CRATER;
    if (t >= WATER && t < WATER + WATER_N)
        return C_WATER;
    if (t >= TREES && t < TREES + 32)
        return C_TREES;
    if (t >= ROCK && t < ROCK + 32)
        return C_ROCK;
    if (t >= HOUSE && t < HOUSE + 16)
        return C_HOUSE;
    if (t >= HALL && t < HALL + 16)
        return C_HALL;
    if (t >= WALL && t < WALL + 16)
        return C_WALL;
    if (t >= WRECK && t < WRECK + WRECK_N)
        return C_WRECK;
    if (t == CRATES)
        return C_CRATES;
    if (t == WATER_ANIM)
        return C_WATER_ANIM;
    if (t == FIRE_ANIM)
        return C_FIRE;
    if (t == RADAR_ANIM)
        return C_RADAR;
    return 0;
}

std::vector<std::vector<int>> Autotile(const std::vector<std::string> &rows)
{
    int h = int(rows.size()), w = h ? int(rows[0].size()) : 0;
    auto at = [&](int x, int y) {
        x = x < 0 ? 0 : (x >= w ? w - 1 : x);
        y = y < 0 ? 0 : (y >= h ? h - 1 : y);
        return rows[y][x];
    };
    auto sides = [&](int x, int y, bool (*same)(char)) {
        return (same(at(x, y - 1)) ? N : 0) | (same(at(x + 1, y)) ? E : 0) | (same(at(x, y + 1)) ? S : 0) |
               (same(at(x - 1, y)) ? W : 0);
    };
    std::vector<std::vector<int>> out(h, std::vector<int>(w, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            char c = rows[y][x];
            unsigned v = CellHash(x, y);
            int &t = out[y][x];
            // Each class in its own comparison so that a neighbour counts only when alike.
            auto likeMe = [&](int dx, int dy) { return at(x + dx, y + dy) == c; };
            int mine =
                (likeMe(0, -1) ? N : 0) | (likeMe(1, 0) ? E : 0) | (likeMe(0, 1) ? S : 0) | (likeMe(-1, 0) ? W : 0);
            switch (c) {
            case C_GRASS:
                // Mostly the plain kinds, now and then tufts, flowers or stones.
                t = GRASS + ((v % 16) < 12 ? int(v % 4) : 4 + int((v >> 4) % 4));
                break;
            case C_DIRT:
                t = mine == 15 ? DIRT + int(v % DIRT_N) : DIRT_EDGE + mine;
                break;
            case C_SAND:
                t = mine == 15 ? SAND + int(v % SAND_N) : SAND_EDGE + mine;
                break;
            case C_CRATER:
                t = CRATER + int(v % CRATER_N);
                break;
            case C_ROAD:
                t = ROAD + sides(x, y, Roadlike);
                break;
            case C_BRIDGE:
                t = (Roadlike(at(x - 1, y)) || Roadlike(at(x + 1, y))) ? BRIDGE_H : BRIDGE_V;
                break;
            case C_WATER: {
                int s = sides(x, y, Waterlike);
                int k = (Waterlike(at(x + 1, y - 1)) ? NE : 0) | (Waterlike(at(x + 1, y + 1)) ? SE : 0) |
                        (Waterlike(at(x - 1, y + 1)) ? SW : 0) | (Waterlike(at(x - 1, y - 1)) ? NW : 0);
                t = WATER + WaterIndex(s, k);
                break;
            }
            case C_WATER_ANIM:
                t = WATER_ANIM;
                break;
            case C_TREES:
                t = TREES + mine + 16 * int(v % 2);
                break;
            case C_ROCK:
                t = ROCK + mine + 16 * int(v % 2);
                break;
            case C_HOUSE:
                t = HOUSE + mine;
                break;
            case C_HALL:
                t = HALL + mine;
                break;
            case C_WALL:
                t = WALL + mine;
                break;
            case C_WRECK:
                t = WRECK + int(v % WRECK_N);
                break;
            case C_CRATES:
                t = CRATES;
                break;
            case C_FIRE:
                t = FIRE_ANIM;
                break;
            case C_RADAR:
                t = RADAR_ANIM;
                break;
            default:
                t = GRASS;
                break;
            }
        }
    return out;
}

}  // namespace tiles
