// Map rules random play seldom reaches: size limits, cells past the map, view limits and edges, exact routes.
#include <ggi/layer.h>

#include <string>

#include "path/weg.h"
#include "regeln.h"
#include "support.h"
#include "ui/mouse.h"

namespace {

std::string Paar(int a, int b)
{
    return std::to_string(a) + "," + std::to_string(b);
}

// 720 tile pictures, enough for every animation; pixel i of tile n is (n + i) % 200, never the view's fill 0xEE.
const std::vector<unsigned char> &Kacheln()
{
    static std::vector<unsigned char> k(720 * 400);
    for (size_t i = 0; i < k.size(); ++i)
        k[i] = static_cast<unsigned char>((i / 400 + i % 400) % 200);
    TerrainData = k.data(), TerrainLaenge = long(k.size());
    return k;
}

TEST(Karte, MapsAtTheSizeLimits)
{
    // Animation starts one past the map's last column and row: the run scan reads them, nothing animates them.
    const struct {
        int breite, hoehe;
        const char *meldung;
    } faelle[] = {
        {31, 21, "' ist zu klein (31 x 21 Felder, mindestens 32 x 21)!"},
        {32, 21, ""},
        {98, 98, ""},
        {32, 99,
         "' ist zu gro\xdf (32 x 99 Felder, h\xf6"
         "chstens 98 x 98)!"},
    };
    Kacheln();
    test::Folder ordner;
    ggiLayerSetPanicHandler([](const char *meldung) { throw std::string(meldung); });
    for (const auto &f : faelle) {
        std::string mis = {'K', 'M', char(f.breite), char(f.hoehe)};
        mis.resize(4 + 2 * KARTE_MAX * KARTE_MAX, 0);
        mis[4 + 2 * f.breite] = char(676 & 0xff), mis[5 + 2 * f.breite] = char(676 >> 8);
        mis[4 + 200 * f.hoehe] = char(700 & 0xff), mis[5 + 200 * f.hoehe] = char(700 >> 8);
        test::Write(ordner / "k.mis", mis);
        std::string meldung;
        try {
            LoadMap((ordner / "k.mis").c_str());
            AniAnz = 0, InitKarte();
        } catch (const std::string &m) {
            meldung = m;
        }
        EXPECT_TRUE(*f.meldung ? meldung.find(f.meldung) != std::string::npos : meldung.empty() && AniAnz == 0)
            << meldung;
    }
    ggiLayerSetPanicHandler(nullptr);
}

TEST(Karte, EdgeScrollingStopsAtTheLimitsAndMovesExplosionsOnlyAsFarAsTheView)
{
    // A 40 x 30 map: the view stays within 0..160 x 0..180. The pointer at (mx, my); a live explosion at (100, 50).
    const struct {
        int mx, my, sx, sy, nachX, nachY, richtung, ex, ey;
    } faelle[] = {
        {1, 200, 80, 80, 72, 80, 1, 108, 50},     {622, 200, 80, 80, 80, 80, 0, 100, 50},
        {0, 200, 5, 80, 0, 80, 1, 105, 50},       {639, 200, 157, 80, 160, 80, 2, 97, 50},
        {300, 0, 80, 2, 80, 0, 3, 100, 52},       {300, 399, 80, 179, 80, 180, 4, 100, 49},
        {300, 399, 80, 173, 80, 180, 4, 100, 43}, {639, 399, 160, 180, 160, 180, 0, 100, 50},
    };
    regeln::Leeren(), Kacheln(), DecodeKarte();
    for (const auto &f : faelle) {
        regeln::Leeren(), FeldX = 40, FeldY = 30;
        Explose[3] = {1, 1, 11, 100, 50, 22, 10, 28, 20, 0, 0};
        Explose[4] = Explose[3], Explose[4].free = 0;  // a free entry stays where it is
        mx = int16_t(f.mx), my = int16_t(f.my), ScrollX = int16_t(f.sx), ScrollY = int16_t(f.sy);
        DoScroll(), Landschaft();
        EXPECT_EQ((std::vector<int>{ScrollX, ScrollY, ScrollDir, NachScroll, Explose[3].x, Explose[3].y, Explose[4].x}),
                  (std::vector<int>{f.nachX, f.nachY, f.richtung, f.richtung ? 4 : 0, f.ex, f.ey, 100}))
            << f.mx << ", " << f.my;
    }
}

TEST(Karte, TilePicturesAreCutAtTheViewsEdges)
{
    const auto &kacheln = Kacheln();
    const struct {
        int x, y, kachel, gemalt, probe;
    } faelle[] = {
        {630, 390, 5, 100, 399 * WIDTH + 639},
        {-5, -7, 6, 195, 0},
        {100, 100, 0, 400, 100 * WIDTH + 100},
        {640, 100, 1, 0, 0},
        {100, 400, 1, 0, 0},
        {100, 100, 720, 0, 0},
        {100, 100, -1, 0, 0},  // nothing to draw
    };
    for (const auto &f : faelle) {
        regeln::Leeren(0xEE);
        PutSprite(short(f.x), short(f.y), short(f.kachel));
        EXPECT_EQ(regeln::Gemalt(0xEE), f.gemalt) << f.x << ", " << f.y;
        EXPECT_EQ(regeln::bild[f.probe],
                  f.gemalt ? kacheln[400 * f.kachel + (f.probe / WIDTH - f.y) * 20 + f.probe % WIDTH - f.x] : 0xEE);
    }
}

struct Mauer {
    int x0, y0, x1, y1;
};  // tiles x0..x1 of the rows y0..y1 blocked

TEST(Karte, RoutesRoundGivenWalls)
{
    const std::string runde = "180,300 180,300 180,170 180,180 180,180 180,300 ";
    const std::string rechts = "160,80 160,80 160,-10 160,0 160,80 50,80 ",
                      links = "60,80 60,80 60,-10 60,0 60,80 160,80 ";
    const struct {
        std::vector<Mauer> mauern;
        int ax, ay, dx, dy;
        std::string weg;
    } faelle[] = {
        {{}, 100, 100, 115, 119, "115,119"},  // the start tile is the target tile
        {{{5, 8, 11, 8}, {11, 9, 11, 10}}, 200, 100, 205, 305, "200,140 240,140 240,220 205,305"},
        {{{7, 8, 12, 8}}, 200, 100, 200, 300, "200,140 120,140 120,180 200,300"},  // equal ends: left
        {{{7, 10, 12, 10}}, 200, 300, 200, 40, "200,220 120,220 120,170 200,40"},
        {{{8, 7, 8, 12}}, 100, 200, 300, 200, "140,200 140,120 180,120 300,200"},  // equal ends: upper
        {{{8, 7, 8, 12}}, 300, 200, 40, 200, "180,200 180,120 130,120 40,200"},
        {{{0, 8, 9, 8}}, 40, 100, 40, 240, "40,140 200,140 200,180 40,240"},        // from the left edge
        {{{40, 8, 49, 8}}, 960, 100, 960, 240, "960,140 780,140 780,180 960,240"},  // to the right edge
        {{{0, 8, 49, 8}}, 100, 100, 100, 240, "100,140 0,140 0,180 100,240"},       // across the map
        {{{8, 10, 12, 12}, {7, 8, 8, 8}},
         200,
         300,
         200,
         100,
         "200,260 140,260 140,170 140,180 120,180 120,130 200,100"},
        {{{3, 8, 8, 8}, {8, 4, 8, 8}, {10, 9, 10, 12}},
         100,
         100,
         300,
         300,
         "140,140 180,140 180,180 180,180 180,160 220,160 300,300"},
        {{{6, 6, 9, 6}, {6, 7, 6, 8}}, 100, 100, 300, 300, "100,100 100,100 100,180 300,300"},  // only the diagonal
        {{{10, 10, 14, 14}},
         240,
         40,
         245,
         245,
         "240,180 180,180 180,300 " + runde + runde + runde.substr(0, 24) + "245,245"},
        {{{4, 0, 7, 3}}, 60, 0, 85, 5, "60,0 60,80 160,80 " + rechts + links + rechts + "85,5"},  // a pass from 15 fits
        {{{0, 0, 0, 5}}, -30, 50, 100, 50, "100,50"},  // from beyond the map: from the nearest tile, in the wall
    };
    for (const auto &f : faelle) {
        regeln::Leeren();
        for (const Mauer &m : f.mauern)
            for (int y = m.y0; y <= m.y1; ++y)
                std::fill(&Karte[y][m.x0], &Karte[y][m.x1 + 1], int16_t(100));
        InitXYKarte();
        MANN &m = Leute[0];
        m.free = 1, m.ax = int16_t(f.ax), m.ay = int16_t(f.ay), m.dx = int16_t(f.dx), m.dy = int16_t(f.dy);
        WegSuchen(0);
        std::string weg = Paar(m.dx, m.dy) + " " + std::to_string(m.dcount) + ":";  // heading for the first point
        for (int i = 0; i < m.dmax; ++i)
            weg.append(" ").append(Paar(m.d[i].x, m.d[i].y));
        EXPECT_EQ(weg, f.weg.substr(0, f.weg.find(' ')) + " 0: " + f.weg)
            << f.ax << ", " << f.ay << " to " << f.dx << ", " << f.dy;
    }
}

}  // namespace
