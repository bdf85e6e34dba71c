// The demo mission and the mission compiler: open starting ground, open cells past the map,
// the animation limit, and the text map round trip.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "../../tools/common/tiles.h"
#include "resource_util.h"

using namespace restest;

namespace {

struct Map {
    int w = 0, h = 0;
    std::vector<std::vector<int>> karte;  // [row][column], all 100 x 100 cells
};

Map LoadMission(const std::string &path) {
    auto b = ReadAll(path);
    Map m;
    if (b.size() != 20004) return m;
    m.w = b[2];
    m.h = b[3];
    m.karte.assign(100, std::vector<int>(100));
    for (int i = 0; i < 10000; ++i) m.karte[i / 100][i % 100] = int16_t(uint16_t(b[4 + 2 * i] | (b[5 + 2 * i] << 8)));
    return m;
}

// Every tile touched by the map pixels x0..x1, y0..y1 (clipped to the map).
void ExpectOpen(const Map &m, int x0, int y0, int x1, int y1, const char *what) {
    for (int y = std::max(0, y0) / 20; y <= y1 / 20; ++y)
        for (int x = std::max(0, x0) / 20; x <= x1 / 20; ++x)
            EXPECT_LE(m.karte[y][x], 95) << what << ": tile " << x << ", " << y;
}

std::string Mission(const std::string &args) { return ToolPath("korvan_mission") + " " + args; }

const char *SMALL_MAP_HEAD = "sign KM\nsize 32 21\nmap\n";

// A 32 x 21 map of grass with `row` in place of row 5.
std::string SmallMap(const std::string &row5, const std::string &tail = "") {
    std::string text = SMALL_MAP_HEAD;
    for (int r = 0; r < 21; ++r) text += (r == 5 ? row5 : std::string(32, '.')) + "\n";
    return text + "end\n" + tail;
}

}  // namespace

TEST(DemoMission, StartingGroundAndTheCellsPastTheMapAreOpen) {
    Map m = LoadMission(RunPath("mission/demo.mis"));
    ASSERT_EQ(m.karte.size(), 100u) << "a mission file has 20,004 bytes";
    // Large enough to fill the view, small enough for the obstacle tables.
    EXPECT_GE(m.w, 32);
    EXPECT_GE(m.h, 21);
    EXPECT_LE(m.w, 98);
    EXPECT_LE(m.h, 98);
    // The player's troopers stand around (100, 100) +-40, the enemy's pairs around (400, 100)
    // and (410, 130) +-40, the vehicle around (30, 50) +-40; each sprite reaches 19 pixels
    // on (the vehicle 42 by 29).
    ExpectOpen(m, 60, 60, 140 + 19, 140 + 19, "own troopers");
    ExpectOpen(m, 360, 60, 450 + 19, 170 + 19, "enemy troopers");
    ExpectOpen(m, -10, 10, 70 + 42, 90 + 29, "combat vehicle");
    // The obstacle scan reads column FeldX and row FeldY: open ground there.
    for (int y = 0; y <= m.h; ++y) EXPECT_LE(m.karte[y][m.w], 95) << "row " << y;
    for (int x = 0; x <= m.w; ++x) EXPECT_LE(m.karte[m.h][x], 95) << "column " << x;
}

TEST(DemoMission, TilesExistAnimationsFitAndObstaclesAreVaried) {
    Map m = LoadMission(RunPath("mission/demo.mis"));
    ASSERT_EQ(m.karte.size(), 100u);
    int animated = 0, water = 0, fire = 0, radar = 0;
    std::set<std::string> kinds;
    auto kind = [](int t) -> std::string {
        using namespace tiles;
        if (t >= WATER && t < WATER + WATER_N) return "water";
        if (t >= TREES && t < ROCK) return "trees";
        if (t >= ROCK && t < HOUSE) return "rocks";
        if (t >= HOUSE && t < WALL) return "buildings";
        if (t >= WALL && t < WALL + 16) return "walls";
        return "other";
    };
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            int t = m.karte[y][x];
            ASSERT_GE(t, 0);
            ASSERT_LT(t, tiles::COUNT) << x << ", " << y;
            // 96 is accepted as a destination but cannot be entered.
            EXPECT_NE(t, 96) << x << ", " << y;
            water += t == tiles::WATER_ANIM;
            fire += t == tiles::FIRE_ANIM;
            radar += t == tiles::RADAR_ANIM;
            kinds.insert(kind(t));
        }
    animated = water + fire + radar;
    EXPECT_GT(water, 0);
    EXPECT_GT(fire, 0);
    EXPECT_GT(radar, 0);
    EXPECT_LE(animated, 100) << "the game animates at most 100 cells";
    for (const char *k : {"water", "trees", "rocks", "buildings", "walls"})
        EXPECT_TRUE(kinds.count(k)) << "no " << k << " in the demo mission";
}

TEST(MissionCompiler, DemoRoundTripsThroughTheTextMap) {
    TempDir dir("mission_roundtrip");
    // The source compiles to the file the build made.
    ASSERT_EQ(RunTool(Mission("compile " + SourcePath("tools/missions/demo.txt") + " " + dir / "a.mis")).status, 0);
    EXPECT_EQ(ReadAll(dir / "a.mis"), ReadAll(RunPath("mission/demo.mis")));
    // File to text to file gives the same bytes, and the text back again the same text.
    ASSERT_EQ(RunTool(Mission("decompile " + RunPath("mission/demo.mis") + " " + dir / "b.txt")).status, 0);
    ASSERT_EQ(RunTool(Mission("compile " + dir / "b.txt" + " " + dir / "b.mis")).status, 0);
    EXPECT_EQ(ReadAll(dir / "b.mis"), ReadAll(RunPath("mission/demo.mis")));
    ASSERT_EQ(RunTool(Mission("decompile " + dir / "b.mis" + " " + dir / "c.txt")).status, 0);
    EXPECT_EQ(ReadAll(dir / "c.txt"), ReadAll(dir / "b.txt"));
}

TEST(MissionCompiler, TilesNoCharacterMakesSurviveTheRoundTrip) {
    TempDir dir("mission_override");
    // Tile 96, a frame inside an animation and an odd tile past the map's edge come back.
    WriteAll(dir / "odd.txt", SmallMap(std::string(32, '.'), "tile 3 4 96\ntile 10 10 665\ntile 50 50 7\n"));
    ASSERT_EQ(RunTool(Mission("compile " + dir / "odd.txt" + " " + dir / "odd.mis")).status, 0);
    Map m = LoadMission(dir / "odd.mis");
    ASSERT_EQ(m.karte.size(), 100u);
    EXPECT_EQ(m.w, 32);
    EXPECT_EQ(m.h, 21);
    EXPECT_EQ(m.karte[4][3], 96);
    EXPECT_EQ(m.karte[10][10], 665);
    EXPECT_EQ(m.karte[50][50], 7);
    ASSERT_EQ(RunTool(Mission("decompile " + dir / "odd.mis" + " " + dir / "back.txt")).status, 0);
    ASSERT_EQ(RunTool(Mission("compile " + dir / "back.txt" + " " + dir / "back.mis")).status, 0);
    EXPECT_EQ(ReadAll(dir / "back.mis"), ReadAll(dir / "odd.mis"));
    auto sig = ReadAll(dir / "back.mis");
    EXPECT_EQ(sig[0], 'K');
    EXPECT_EQ(sig[1], 'M');
}

TEST(MissionCompiler, RefusesMapsTheGameCannotHold) {
    TempDir dir("mission_refuse");
    auto compile = [&](const std::string &text) {
        WriteAll(dir / "m.txt", text);
        return RunTool(Mission("compile " + dir / "m.txt" + " " + dir / "m.mis"));
    };
    Result r = compile("sign KM\nsize 99 40\nmap\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: " + dir / "m.txt" +
                         ":2: a map is 32 to 98 tiles wide and 21 to 98 tiles high\n");
    r = compile(SmallMap(std::string(31, '.') + "?"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: " + dir / "m.txt" + ":9: '?' in column 31 is no map character\n");
    r = compile(SmallMap(std::string(30, '.')));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: " + dir / "m.txt" + ":9: row 5 has 30 characters, not 32\n");
    // Moving water shows open water only, so it needs water all round.
    r = compile(SmallMap("...~~~..w" + std::string(23, '.')));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: moving water at 8, 5 needs water on all eight sides\n");
    // The obstacle scan reads one cell past the map; it must be open.
    r = compile(SmallMap(std::string(32, '.'), "tile 32 3 150\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: the cell 32, 3 just past the map must be open ground, not tile 150\n");
    // The game keeps at most 100 animated cells.
    std::string tail;
    for (int i = 0; i < 101; ++i) tail += "tile " + std::to_string(i % 32) + " " + std::to_string(i / 32) + " 700\n";
    r = compile(SmallMap(std::string(32, '.'), tail));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: the map has 101 moving tiles, the game animates at most 100\n");
    // A file of the wrong size is no mission.
    WriteAll(dir / "short.mis", "KM");
    r = RunTool(Mission("decompile " + dir / "short.mis" + " " + dir / "x.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvan_mission: a mission file has 20004 bytes, this one 2\n");
}

TEST(MissionCompiler, RendersTheWholeMissionAsOnePicture) {
    TempDir dir("mission_render");
    ASSERT_EQ(RunTool(Mission("render " + RunPath("mission/demo.mis") + " " + RunPath("resource/terrain.rsc") + " " +
                          RunPath("data/system.pal") + " " + dir / "demo.ppm"))
                  .status,
              0);
    Map m = LoadMission(RunPath("mission/demo.mis"));
    auto ppm = ReadAll(dir / "demo.ppm");
    std::string head = "P6\n" + std::to_string(m.w * 20) + " " + std::to_string(m.h * 20) + "\n255\n";
    ASSERT_GE(ppm.size(), head.size());
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + head.size()), head);
    EXPECT_EQ(ppm.size(), head.size() + size_t(m.w) * 20 * m.h * 20 * 3);
}
