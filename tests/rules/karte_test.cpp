// Map rules random play seldom reaches: size limits, cells past the map, view limits and edges, exact routes.
#include <ggi/layer.h>

#include "path/weg.h"
#include "regeln.h"
#include "support.h"

namespace {

// 720 tile pictures, enough for every animation; pixel i of tile n is (n + i) % 200, never the view's fill 0xEE.
void Kacheln()
{
    static std::vector<unsigned char> k(720 * 400);
    for (size_t i = 0; i < k.size(); ++i)
        k[i] = static_cast<unsigned char>((i / 400 + i % 400) % 200);
    TerrainData = k.data(), TerrainLaenge = long(k.size());
}

TEST(Karte, MapsAtTheSizeLimits)
{
    // Each map starts an animation one past its last column and one past its last row: nothing animates them.
    const std::string klein = "zu klein (31 x 21 Felder, mindestens 32 x 21)!";
    const std::string gross = "zu gro\xdf (32 x 99 Felder, h\xf6\x63hstens 98 x 98)!";
    const std::tuple<int, int, std::string> faelle[] = {{32, 21, ""}, {98, 98, ""}, {31, 21, klein}, {32, 99, gross}};
    Kacheln();
    test::Folder ordner;
    const std::string datei = (ordner / "k.mis").string();
    ggiLayerSetPanicHandler([](const char *meldung) { throw std::string(meldung); });
    for (const auto &[breite, hoehe, fehler] : faelle) {
        Leeren();
        Karte[0][breite] = 676, Karte[hoehe][0] = 700, AniAnz = 0;
        test::Write(datei, std::string{'K', 'M', char(breite), char(hoehe)} +
                               std::string(reinterpret_cast<const char *>(Karte), sizeof Karte));
        std::string meldung;
        try {
            LoadMap(datei.c_str());
            InitKarte();
        } catch (const std::string &m) {
            meldung = m;
        }
        EXPECT_EQ(meldung, fehler.empty() ? "" : "Die Karte '" + datei + "' ist " + fehler);
        EXPECT_EQ(AniAnz, 0) << breite << " x " << hoehe;
    }
    ggiLayerSetPanicHandler(nullptr);
}

TEST(Karte, EdgeScrollingStopsAtTheLimitsAndMovesExplosionsOnlyAsFarAsTheView)
{
    // A 40 x 30 map: the view stays within 0..160 x 0..180. The pointer at (mx, my); a live explosion at (100, 50).
    const std::tuple<int, int, int, int, int, int, int, int, int> faelle[] = {
        {1, 200, 80, 80, 72, 80, 1, 108, 50},       {622, 200, 80, 80, 80, 80, 0, 100, 50},
        {0, 200, 5, 80, 0, 80, 1, 105, 50},         {639, 200, 157, 80, 160, 80, 2, 97, 50},
        {300, 0, 80, 2, 80, 0, 3, 100, 52},         {300, 399, 80, 179, 80, 180, 4, 100, 49},
        {639, 399, 160, 180, 160, 180, 0, 100, 50},
    };
    Leeren(), Kacheln(), DecodeKarte();
    for (const auto &[zx, zy, sx, sy, nachX, nachY, richtung, ex, ey] : faelle) {
        Leeren(), FeldX = 40, FeldY = 30;
        Explose[3] = {1, 1, 11, 100, 50, 22, 10, 28, 20, 0, 0};
        Explose[4] = Explose[3], Explose[4].free = 0;  // a free entry stays where it is
        mx = int16_t(zx), my = int16_t(zy), ScrollX = int16_t(sx), ScrollY = int16_t(sy);
        DoScroll(), Landschaft();
        EXPECT_EQ((std::vector<int>{ScrollX, ScrollY, ScrollDir, NachScroll, Explose[3].x, Explose[3].y, Explose[4].x}),
                  (std::vector<int>{nachX, nachY, richtung, richtung ? 4 : 0, ex, ey, 100}))
            << zx << ", " << zy;
    }
}

TEST(Karte, TilePicturesAreCutAtTheViewsEdges)
{
    // Tile `kachel` at (x, y): the pixels drawn, and the first of them; tiles -1 and 720 do not exist.
    const std::tuple<int, int, int, int> faelle[] = {
        {630, 390, 5, 100}, {-5, -7, 6, 195}, {640, 100, 1, 0}, {100, 400, 1, 0}, {100, 100, 720, 0}, {100, 100, -1, 0},
    };
    Kacheln();
    for (const auto &[x, y, kachel, gemalt] : faelle) {
        Leeren(0xEE);
        PutSprite(short(x), short(y), short(kachel));
        EXPECT_EQ(Gemalt(0xEE), gemalt) << x << ", " << y;
        EXPECT_EQ(VScreen[std::max(y, 0) * WIDTH + std::max(x, 0)],
                  gemalt ? (kachel + std::max(-y, 0) * 20 + std::max(-x, 0)) % 200 : 0xEE);
    }
}

// Walls (tiles x0, y0 to x1, y1, four numbers each), the walk from (ax, ay) to (dx, dy), and the points before it.
const std::string runde = "180,300 180,300 180,170 180,180 180,180 180,300 ";
const std::string rechts = "160,80 160,80 160,-10 160,0 160,80 50,80 ", links = "60,80 60,80 60,-10 60,0 60,80 160,80 ";
const std::tuple<std::vector<int>, int, int, int, int, std::string> wege[] = {
    {{}, 100, 100, 115, 119, ""},  // the start tile is the target tile
    {{5, 8, 11, 8, 11, 9, 11, 10}, 200, 100, 205, 305, "200,140 240,140 240,220 "},
    {{7, 8, 12, 8}, 200, 100, 200, 300, "200,140 120,140 120,180 "},  // equal ends: left
    {{7, 10, 12, 10}, 200, 300, 200, 40, "200,220 120,220 120,170 "},
    {{8, 7, 8, 12}, 100, 200, 300, 200, "140,200 140,120 180,120 "},  // equal ends: upper
    {{8, 7, 8, 12}, 300, 200, 40, 200, "180,200 180,120 130,120 "},
    {{0, 8, 9, 8}, 40, 100, 40, 240, "40,140 200,140 200,180 "},       // from the left edge
    {{40, 8, 49, 8}, 960, 100, 960, 240, "960,140 780,140 780,180 "},  // to the right edge
    {{0, 8, 49, 8}, 100, 100, 100, 240, "100,140 0,140 0,180 "},       // across the map
    {{8, 10, 12, 12, 7, 8, 8, 8}, 200, 300, 200, 100, "200,260 140,260 140,170 140,180 120,180 120,130 "},
    {{3, 8, 8, 8, 8, 4, 8, 8, 10, 9, 10, 12}, 100, 100, 300, 300, "140,140 180,140 180,180 180,180 180,160 220,160 "},
    {{6, 6, 9, 6, 6, 7, 6, 8}, 100, 100, 300, 300, "100,100 100,100 100,180 "},  // only the diagonal blocks
    {{10, 10, 14, 14}, 240, 40, 245, 245, "240,180 180,180 180,300 " + runde + runde + runde.substr(0, 24)},
    {{4, 0, 7, 3}, 60, 0, 85, 5, "60,0 60,80 160,80 " + rechts + links + rechts},  // a pass from 15 fits
    {{0, 0, 0, 5}, -30, 50, 100, 50, ""},  // from beyond the map: from the nearest tile, in the wall
};

TEST(Karte, RoutesRoundGivenWalls)
{
    for (const auto &[mauern, ax, ay, dx, dy, vorher] : wege) {
        Leeren();
        for (size_t i = 0; i < mauern.size(); i += 4)
            for (int y = mauern[i + 1]; y <= mauern[i + 3]; ++y)
                std::fill(&Karte[y][mauern[i]], &Karte[y][mauern[i + 2] + 1], int16_t(100));
        InitXYKarte();
        MANN &m = Leute[0];
        m.free = 1, m.ax = int16_t(ax), m.ay = int16_t(ay), m.dx = int16_t(dx), m.dy = int16_t(dy);
        WegSuchen(0);
        std::string weg;
        for (int i = 0; i < m.dmax; ++i)
            weg += std::to_string(m.d[i].x) + "," + std::to_string(m.d[i].y) + " ";
        EXPECT_EQ(weg, vorher + std::to_string(dx) + "," + std::to_string(dy) + " ") << ax << ", " << ay;
    }
}

}  // namespace
