// The tile pictures: ground kinds from the art, and the obstacle shapes (shores, tree stands,
// rock outcrops, roofs, walls) cut by the neighbour pattern each tile number stands for.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "resgen.h"
#include "tiles.h"

namespace resgen {
namespace {

using namespace tiles;

struct Ctx {
    const Book &book;
    const art::Palette &pal;
    int C(const char *name) const { return pal.Index(name); }
    Image Pic(const std::string &name) const { return art::Render(book, book.Get(name)); }
};

constexpr double TAU = 2 * std::numbers::pi;

// How far a pixel lies from the land around a patch whose open sides are `open` (bits
// N E S W) and whose open corners are `corners` (NE SE SW NW); corners where both sides are
// open are rounded.
double ShoreDistance(int x, int y, int open, int cornersOpen)
{
    double px = x + 0.5, py = y + 0.5;
    double d = 1e9;
    if (open & N)
        d = std::min(d, py);
    if (open & E)
        d = std::min(d, 20 - px);
    if (open & S)
        d = std::min(d, 20 - py);
    if (open & W)
        d = std::min(d, px);
    const double R = 9;
    auto outer = [&](double qx, double qy) {  // distances from the two sides of a corner
        if (qx < R && qy < R)
            d = std::min(d, R - std::hypot(R - qx, R - qy));
    };
    if ((open & N) && (open & W))
        outer(px, py);
    if ((open & N) && (open & E))
        outer(20 - px, py);
    if ((open & S) && (open & W))
        outer(px, 20 - py);
    if ((open & S) && (open & E))
        outer(20 - px, 20 - py);
    if (cornersOpen & NW)
        d = std::min(d, std::hypot(px, py));
    if (cornersOpen & NE)
        d = std::min(d, std::hypot(20 - px, py));
    if (cornersOpen & SW)
        d = std::min(d, std::hypot(px, 20 - py));
    if (cornersOpen & SE)
        d = std::min(d, std::hypot(20 - px, 20 - py));
    return d;
}

// A wavy edge that lines up across tile borders (its periods divide 20).
double Wobble(int x, int y, double amount)
{
    return amount * std::sin(TAU * (x + y + 1) / 10.0) * 0.6 + amount * 0.4 * std::sin(TAU * (x - y) / 20.0);
}

// Open water, frame f of 13: two wave trains that drift and come back after 13 frames.
int WaterPixel(const Ctx &c, int x, int y, int f)
{
    double t = f / double(WATER_ANIM_N);
    double v = 0.55 * std::sin(TAU * (x / 10.0 + y / 20.0 + t)) + 0.45 * std::sin(TAU * (y / 5.0 - x / 20.0 - t));
    if (v > 0.93 && (x + y) % 3 == 0)
        return c.C("foam.0");
    if (v > 0.62)
        return c.C("water.5");
    if (v > 0.05)
        return c.C("water.4");
    if (v > -0.6)
        return c.C("water.3");
    return c.C("water.2");
}

Image Grass(const Ctx &c, int variant)
{
    return c.Pic("grass." + std::to_string(variant));
}

Image WaterTile(const Ctx &c, int sides, int corners, int f)
{
    Image img(TILE, TILE);
    int open = ~sides & 15, cornersOpen = ~corners & 15;
    // Corners count only where both of their sides are water.
    int rel = ((sides & N) && (sides & E) ? NE : 0) | ((sides & S) && (sides & E) ? SE : 0) |
              ((sides & S) && (sides & W) ? SW : 0) | ((sides & N) && (sides & W) ? NW : 0);
    cornersOpen &= rel;
    Image grass = Grass(c, 0);
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            double d = ShoreDistance(x, y, open, cornersOpen);
            double e = 4.5 + Wobble(x, y, 1.2);
            int px;
            if (d < e)
                px = grass.At(x, y);
            else if (d < e + 1)
                px = c.C("sand.3");
            else if (d < e + 2)
                px = c.C("sand.1");
            else if (d < e + 3)
                px = ((x * 7 + y * 3) % 5) ? c.C("water.7") : c.C("foam.0");
            else if (d < e + 5)
                px = c.C("water.5");
            else
                px = WaterPixel(c, x, y, f);
            img.Set(x, y, px);
        }
    return img;
}

// A patch of dirt or sand: the ground picture where the patch goes on, fraying into grass
// towards the sides where it ends.
Image PatchTile(const Ctx &c, int mask, const std::string &ground, const char *rim)
{
    Image img = Grass(c, 1), tex = c.Pic(ground);
    int open = ~mask & 15;
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            double d = ShoreDistance(x, y, open, 0) - (3.0 + Wobble(x + 5, y + 2, 1.6));
            if (d >= 1)
                img.Set(x, y, tex.At(x, y));
            else if (d >= 0)
                img.Set(x, y, c.C(rim));
            else if (d >= -1.5 && (x * 3 + y * 5) % 4 == 0)
                img.Set(x, y, tex.At(x, y));
        }
    return img;
}

Image RoadTile(const Ctx &c, int mask)
{
    Image img = Grass(c, 1), tex = c.Pic("road");
    auto inRoad = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= TILE || y >= TILE)
            return false;
        bool cx = x >= 4 && x <= 15, cy = y >= 4 && y <= 15;
        if (cx && cy)
            return true;
        if (cx && y < 4 && (mask & N))
            return true;
        if (cx && y > 15 && (mask & S))
            return true;
        if (cy && x < 4 && (mask & W))
            return true;
        if (cy && x > 15 && (mask & E))
            return true;
        return false;
    };
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            if (!inRoad(x, y))
                continue;
            int px = tex.At(x, y);
            // Wheel ruts along the way the road runs.
            bool vertical = (y < 4 && (mask & N)) || (y > 15 && (mask & S)) || ((mask & (N | S)) && !(mask & (E | W)));
            bool horizontal =
                (x < 4 && (mask & W)) || (x > 15 && (mask & E)) || ((mask & (E | W)) && !(mask & (N | S)));
            if ((vertical && (x == 7 || x == 12)) || (horizontal && (y == 7 || y == 12)))
                px = c.C("gravel.2");
            // The verge: a dark rim where the road meets the grass, inside the tile only.
            bool edge = false;
            for (int k = 0; k < 4; ++k) {
                int nx = x + (k == 0) - (k == 1), ny = y + (k == 2) - (k == 3);
                if (nx >= 0 && ny >= 0 && nx < TILE && ny < TILE && !inRoad(nx, ny))
                    edge = true;
            }
            if (edge)
                px = c.C("gravel.1");
            img.Set(x, y, px);
        }
    return img;
}

Image BridgeTile(const Ctx &c, bool horizontal)
{
    Image img(TILE, TILE);
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            int a = horizontal ? y : x, b = horizontal ? x : y;  // a across the deck, b along it
            int px = WaterPixel(c, x, y, 0);
            if (a >= 4 && a <= 15) {
                // Planks across the way, their seams every third pixel.
                px = (a == 4 || a == 15) ? c.C("wood.1")
                                         : (b % 3 == 0 ? c.C("wood.2") : c.C((a + b) % 7 ? "wood.5" : "wood.4"));
            }
            if (a == 2 || a == 3)
                px = (b % 5 == 0) ? c.C("wood.1") : (a == 2 ? c.C("wood.6") : c.C("wood.3"));
            if (a == 16 || a == 17) {
                // The near rail is in front of whoever crosses the bridge.
                px = horizontal ? ((b % 5 == 0) ? c.C("rail.1") : (a == 16 ? c.C("rail.6") : c.C("rail.3")))
                                : ((b % 5 == 0) ? c.C("wood.1") : (a == 16 ? c.C("wood.6") : c.C("wood.3")));
            }
            if (a == 18 && horizontal)
                px = c.C("water.1");
            img.Set(x, y, px);
        }
    return img;
}

// Crowns shared by all tree tiles: they may cross the tile border and go on in the next.
struct Crown {
    double x, y;
    const char *pic;
};
const Crown SHARED_CROWNS[] = {{3, 3, "crown.big"},  {13, 1, "crown.mid"},   {19, 10, "crown.big"},
                               {8, 12, "crown.mid"}, {1, 14, "crown.small"}, {13, 18, "crown.big"}};
const Crown OWN_CROWNS[2][2] = {{{10, 9, "crown.big"}, {10, 9, "crown.big"}},
                                {{7, 8, "crown.mid"}, {13, 12, "crown.mid"}}};

Image TreeTile(const Ctx &c, int mask, int variant)
{
    Image img = Grass(c, variant ? 2 : 3);
    int shadow = c.C("grass.darker");
    int margin = 3;
    struct Placed {
        int x, y;
        Image pic;
    };
    std::vector<Placed> placed;
    auto consider = [&](double cx, double cy, const char *name, bool own) {
        Image pic = c.Pic(name);
        int x0 = int(std::lround(cx - pic.w / 2.0)), y0 = int(std::lround(cy - pic.h / 2.0));
        int x1 = x0 + pic.w - 1, y1 = y0 + pic.h - 1;
        if (x1 < 0 || y1 < 0 || x0 >= TILE || y0 >= TILE)
            return;
        if (!own) {
            if (!(mask & W) && x0 < margin)
                return;
            if (!(mask & E) && x1 > TILE - 1 - margin)
                return;
            if (!(mask & N) && y0 < margin)
                return;
            if (!(mask & S) && y1 > TILE - 1 - margin)
                return;
        }
        placed.push_back({x0, y0, pic});
    };
    for (const Crown &k : SHARED_CROWNS)
        for (int ox = -20; ox <= 20; ox += 20)
            for (int oy = -20; oy <= 20; oy += 20)
                consider(k.x + ox, k.y + oy, k.pic, false);
    // Tiles with open sides get crowns of their own, so that a lone tree tile is not bare.
    if (mask != 15)
        for (const Crown &k : OWN_CROWNS[variant])
            consider(k.x, k.y, k.pic, true);
    std::sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) { return a.y < b.y; });
    for (const Placed &p : placed)
        for (int y = 0; y < p.pic.h; ++y)
            for (int x = 0; x < p.pic.w; ++x)
                if (p.pic.At(x, y) >= 0) {
                    int sx = p.x + x + 2, sy = p.y + y + 3;
                    if (img.At(sx, sy) >= 0 && img.At(sx, sy) <= 163)
                        img.Set(sx, sy, shadow);
                }
    for (const Placed &p : placed)
        art::Blit(img, p.pic, p.x, p.y);
    return img;
}

Image RockTile(const Ctx &c, int mask, int variant)
{
    Image img = Grass(c, 3 - variant), tex = c.Pic("rock." + std::to_string(variant));
    int open = ~mask & 15;
    std::vector<bool> in(TILE * TILE);
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            double d = ShoreDistance(x, y, open, 0);
            in[y * TILE + x] = d >= 2.5 + Wobble(x + 3, y, 1.5) + 1.0;
        }
    auto rock = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= TILE || y >= TILE) {
            // Beyond the tile the rock goes on where the neighbour is rock.
            if (y < 0)
                return bool(mask & N) && in[std::min(std::max(x, 0), 19)];
            if (y >= TILE)
                return bool(mask & S) && in[19 * TILE + std::min(std::max(x, 0), 19)];
            if (x < 0)
                return bool(mask & W) && in[y * TILE];
            return bool(mask & E) && in[y * TILE + 19];
        }
        return bool(in[y * TILE + x]);
    };
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            if (rock(x, y)) {
                int px = tex.At(x, y);
                if (!rock(x, y - 1) || !rock(x - 1, y))
                    px = c.C("rock.9");
                else if (!rock(x, y + 1) || !rock(x + 1, y))
                    px = c.C("rock.1");
                else if (!rock(x, y + 2) || !rock(x + 2, y))
                    px = c.C("rock.3");
                img.Set(x, y, px);
            } else if (rock(x - 1, y - 1) || rock(x, y - 1) || rock(x - 1, y)) {
                img.Set(x, y, c.C("shadow"));
            }
        }
    return img;
}

// A building: roof over the whole tile where the building goes on, a front wall with
// windows where it ends below, eaves where it ends elsewhere.
Image BuildingTile(const Ctx &c, int mask, bool hall)
{
    Image img = Grass(c, 0), tex = c.Pic(hall ? "slate" : "roof");
    int left = (mask & W) ? 0 : 1, right = (mask & E) ? 19 : 18, top = (mask & N) ? 0 : 1;
    int roofBottom = (mask & S) ? 19 : 11;
    int edge = c.C(hall ? "slate.0" : "roofedge");
    for (int y = top; y <= roofBottom; ++y)
        for (int x = left; x <= right; ++x) {
            int px = tex.At(x, y);
            bool rim = (x == left && !(mask & W)) || (x == right && !(mask & E)) || (y == top && !(mask & N)) ||
                       (y == roofBottom && !(mask & S));
            if (rim) {
                px = edge;
            } else if (!hall && (mask & S) && !(mask & N)) {
                // The far slope, in shade.
                px = px - 2 >= c.C("roof.0") ? px - 2 : px;
            } else if (!hall && (mask & N) && !(mask & S) && y <= 1) {
                px = c.C("roof.11");  // the ridge
            }
            img.Set(x, y, px);
        }
    if (!(mask & S)) {
        for (int y = 12; y <= 18; ++y)
            for (int x = left; x <= right; ++x) {
                int px =
                    (y == 18) ? c.C("stone.1") : c.C(y == 12 ? "plaster.2" : ((x + y) % 9 ? "plaster.5" : "plaster.4"));
                if (x == left && !(mask & W))
                    px = c.C("plaster.2");
                if (x == right && !(mask & E))
                    px = c.C("plaster.1");
                if (hall) {
                    // A wide sheet door.
                    if (x >= 4 && x <= 15 && y >= 13)
                        px = (y % 2) ? c.C("metal.3") : c.C("metal.4");
                } else if (y >= 13 && y <= 16 && ((x >= 3 && x <= 6) || (x >= 13 && x <= 16))) {
                    bool frame = y == 13 || y == 16 || x == 3 || x == 6 || x == 13 || x == 16;
                    px = frame ? c.C("wood.2") : ((x + y) % 3 ? c.C("glass.dark") : c.C("glass.light"));
                }
                img.Set(x, y, px);
            }
        for (int x = left; x <= right; ++x)
            img.Set(x, 19, c.C("shadow"));
    }
    if (!(mask & E))
        for (int y = top + 1; y <= 19; ++y)
            img.Set(19, y, c.C("shadow"));
    return img;
}

Image WallTile(const Ctx &c, int mask)
{
    Image img = Grass(c, 2), tex = c.Pic("stone");
    auto top = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= TILE || y >= TILE)
            return false;
        bool cx = x >= 6 && x <= 13, cy = y >= 5 && y <= 11;
        if (cx && cy)
            return true;
        if (cx && y < 5 && (mask & N))
            return true;
        if (cx && y > 11 && (mask & S))
            return true;
        if (cy && x < 6 && (mask & W))
            return true;
        if (cy && x > 13 && (mask & E))
            return true;
        return false;
    };
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            if (top(x, y)) {
                int px = tex.At(x, y);
                if (!top(x, y - 1) && y > 0)
                    px = c.C("stone.7");
                else if (!top(x - 1, y) && x > 0)
                    px = c.C("stone.6");
                img.Set(x, y, px);
            } else {
                // The face below the top, three stones high, then its shadow.
                int k = 0;
                while (k < 5 && !top(x, y - k - 1))
                    ++k;
                if (k < 4 && y - k - 1 >= 0 && top(x, y - k - 1))
                    img.Set(x, y,
                            k == 3 ? c.C("shadow")
                                   : (((x + (k == 1 ? 3 : 0)) % 6 == 0 || k == 2) ? c.C("stone.1") : c.C("stone.3")));
            }
        }
    return img;
}

Image FireTile(const Ctx &c, int f)
{
    Image img = c.Pic("wreck.1");
    double t = f / double(FIRE_ANIM_N);
    const int base = 14;
    for (int x = 3; x <= 16; ++x) {
        // Tongues of flame that rise and fall out of step; they come back after 11 frames.
        double h = 7.0 + 3.0 * std::sin(TAU * (x / 5.0 + t)) + 2.0 * std::sin(TAU * (x / 2.5 - 2 * t)) -
                   0.22 * (x - 9.5) * (x - 9.5);
        for (int k = 0; k < int(h); ++k) {
            double rel = k / std::max(h, 1.0);
            const char *col = rel < 0.25 ? "fire.7" : rel < 0.5 ? "fire.6" : rel < 0.72 ? "fire.4" : "fire.2";
            if (rel > 0.85 && ((x + f + k) % 2))
                continue;
            img.Set(x, base - k, c.C(col));
        }
    }
    // Sparks rising above the flames.
    for (int k = 0; k < 3; ++k) {
        int sx = 5 + (k * 5 + f * 3) % 10, sy = 4 - ((f + k * 4) % 5);
        if (sy >= 0)
            img.Set(sx, sy, c.C("ember.10"));
    }
    return img;
}

Image RadarTile(const Ctx &c, int f)
{
    Image img = c.Pic("bunker");
    double a = f * 30.0 * TAU / 360.0;
    double cx = 9.5, cy = 7.5;
    // The antenna bar, seen from above at a slant (height halved).
    for (double s = -8.5; s <= 8.5; s += 0.25) {
        double x = cx + s * std::cos(a), y = cy + s * std::sin(a) * 0.55;
        int px = int(std::floor(x)), py = int(std::floor(y));
        img.Set(px, py + 2, c.C("shadow"));
        img.Set(px, py + 1, c.C("dish.1"));
        img.Set(px, py, c.C(s > 0 ? "dish.7" : "dish.5"));
        img.Set(px, py - 1, c.C(s > 0 ? "dish.6" : "dish.4"));
    }
    img.Set(9, 8, c.C("dish.0"));
    img.Set(10, 8, c.C("dish.0"));
    img.Set(9, 9, c.C("dish.1"));
    img.Set(10, 9, c.C("dish.1"));
    img.Set(9, 7, f % 2 ? c.C("dishlight.off") : c.C("dishlight"));
    return img;
}

}  // namespace

std::vector<Image> Terrain(const Book &book)
{
    Ctx c{book, book.palette};
    std::vector<Image> t(COUNT);
    for (int i = 0; i < GRASS_N; ++i)
        t[GRASS + i] = Grass(c, i);
    for (int i = 0; i < DIRT_N; ++i)
        t[DIRT + i] = c.Pic("dirt." + std::to_string(i));
    for (int i = 0; i < SAND_N; ++i)
        t[SAND + i] = c.Pic("sand." + std::to_string(i));
    for (int m = 0; m < 16; ++m)
        t[ROAD + m] = RoadTile(c, m);
    t[BRIDGE_H] = BridgeTile(c, true);
    t[BRIDGE_V] = BridgeTile(c, false);
    for (int i = 0; i < CRATER_N; ++i)
        t[CRATER + i] = c.Pic("crater." + std::to_string(i));
    for (int m = 0; m < 16; ++m) {
        t[DIRT_EDGE + m] = PatchTile(c, m, "dirt." + std::to_string(m % DIRT_N), "dirt.2");
        t[SAND_EDGE + m] = PatchTile(c, m, "sand." + std::to_string(m % SAND_N), "sand.2");
    }
    for (int i = OPEN_USED; i < FIRST_OBSTACLE; ++i)
        t[i] = t[GRASS + i % GRASS_N];

    t[BOULDER] = c.Pic("boulder");
    for (int i = 0; i < WATER_N; ++i) {
        int s, k;
        WaterShape(i, s, k);
        t[WATER + i] = WaterTile(c, s, k, 0);
    }
    for (int v = 0; v < 2; ++v)
        for (int m = 0; m < 16; ++m) {
            t[TREES + 16 * v + m] = TreeTile(c, m, v);
            t[ROCK + 16 * v + m] = RockTile(c, m, v);
        }
    for (int m = 0; m < 16; ++m) {
        t[HOUSE + m] = BuildingTile(c, m, false);
        t[HALL + m] = BuildingTile(c, m, true);
        t[WALL + m] = WallTile(c, m);
    }
    for (int i = 0; i < WRECK_N; ++i)
        t[WRECK + i] = c.Pic("wreck." + std::to_string(i));
    t[CRATES] = c.Pic("crates");
    for (int i = OBSTACLE_USED; i < WATER_ANIM; ++i)
        t[i] = t[BOULDER];

    for (int f = 0; f < WATER_ANIM_N; ++f)
        t[WATER_ANIM + f] = WaterTile(c, 15, 15, f);
    // The number after each animation ends it and is never shown; it and the gap up to the
    // next animation repeat the last frame.
    for (int i = WATER_ANIM + WATER_ANIM_N; i < FIRE_ANIM; ++i)
        t[i] = t[WATER_ANIM + WATER_ANIM_N - 1];
    for (int f = 0; f < FIRE_ANIM_N; ++f)
        t[FIRE_ANIM + f] = FireTile(c, f);
    for (int i = FIRE_ANIM + FIRE_ANIM_N; i < RADAR_ANIM; ++i)
        t[i] = t[FIRE_ANIM + FIRE_ANIM_N - 1];
    for (int f = 0; f < RADAR_ANIM_N; ++f)
        t[RADAR_ANIM + f] = RadarTile(c, f);
    // The game copies animation frames as they are, without the random grain the map gets
    // when it is first drawn; give their grain pixels a fixed spread of the grain colours.
    for (int i = WATER_ANIM; i < COUNT; ++i)
        for (int y = 0; y < TILE; ++y)
            for (int x = 0; x < TILE; ++x) {
                int p = t[i].At(x, y);
                if (p >= 1 && p <= 5)
                    t[i].Set(x, y, 1 + int(CellHash(x, y) % 5));
            }
    return t;
}

}  // namespace resgen
