// Long battles on random maps: orders, walking, detours, fire and deaths for thousands of
// frames, with the tables checked after every frame.
#include "battle/schlacht.h"

#include <random>

#include "path/weg.h"

namespace {

using schlacht::Schlacht;

using Gefecht = Schlacht;

// A random battlefield: scattered obstacles of every kind of value, and walls long enough
// to make long runs, over the whole 100 x 100 tables, also past the map's own size.
void Gelaende(std::mt19937 &zufall)
{
    std::uniform_int_distribution<int> prozent(0, 99);
    const int16_t hindernisse[] = {96, 97, 120, 661, 30000};
    const int dichte = 5 + static_cast<int>(zufall() % 15);
    for (int r = 0; r < KARTE_MAX; ++r)
        for (int c = 0; c < KARTE_MAX; ++c)
            Karte[r][c] = prozent(zufall) < dichte ? hindernisse[zufall() % 5]
                                                   : static_cast<int16_t>(zufall() % 96);
    for (int w = 0; w < 25; ++w) {
        const int r = static_cast<int>(zufall() % KARTE_MAX), c = static_cast<int>(zufall() % KARTE_MAX);
        const int laenge = 2 + static_cast<int>(zufall() % 15);
        const bool waagrecht = zufall() % 2;
        for (int i = 0; i < laenge; ++i) {
            const int rr = waagrecht ? r : r + i, cc = waagrecht ? c + i : c;
            if (rr < KARTE_MAX && cc < KARTE_MAX)
                Karte[rr][cc] = 100;
        }
    }
    FeldX = static_cast<int16_t>(60 + zufall() % 39);
    FeldY = static_cast<int16_t>(60 + zufall() % 39);
    InitXYKarte();
}

// The part of the map where the fighting happens, so that the sides meet; the map's edges
// belong to it often enough.
int FeldLinks, FeldOben;
constexpr int FELD = 500;

// A map point on a tile the move order accepts (96 or less): mostly on the battlefield,
// now and then anywhere on the map.
MPOS Ziel(std::mt19937 &zufall)
{
    const bool weit = zufall() % 4 == 0;
    for (;;) {
        const int x = static_cast<int>(weit ? zufall() % 2000 : FeldLinks + zufall() % FELD);
        const int y = static_cast<int>(weit ? zufall() % 2000 : FeldOben + zufall() % FELD);
        if (Karte[y / 20][x / 20] <= 96)
            return {static_cast<int16_t>(x), static_cast<int16_t>(y)};
    }
}

void Verstaerkung(std::mt19937 &zufall)
{
    const unsigned char eigene[] = {0, 1, 2, 3, 8, 9};
    while (MAnz < 12) {
        const MPOS p = Ziel(zufall);
        MInsert(p.x, p.y, p.x, p.y, eigene[zufall() % 6]);
    }
    while (FAnz < 12) {
        const MPOS p = Ziel(zufall);
        FInsert(p.x, p.y, p.x, p.y, static_cast<unsigned char>(4 + zufall() % 4));
    }
}

// What the player's commands do to the unit table, for either side.
void Befehle(std::mt19937 &zufall)
{
    for (int j = 0; j < MAX_LEUTE; ++j) {
        MANN &m = Leute[j];
        if (!m.free)
            continue;
        switch (zufall() % 40) {
        case 0: {  // move order with a planned route
            const MPOS p = Ziel(zufall);
            m.attack = 0;
            m.dx = p.x, m.dy = p.y;
            m.d1count = 0, m.dcount = 0;
            WegSuchen(static_cast<short>(j));
            break;
        }
        case 1:  // attack order on any slot, live or not
            m.attack = 1;
            m.who = static_cast<uint8_t>(zufall() % MAX_LEUTE);
            break;
        case 2:  // the scatter key, pressed many times over
            for (int n = 0; n < 50; ++n) {
                m.dx = static_cast<int16_t>(m.dx + rand() % 20);
                m.dy = static_cast<int16_t>(m.dy - rand() % 20);
            }
            break;
        default:
            break;
        }
    }
}

// One frame of the game loop's unit and effect steps.
void Bild(int &tote)
{
    for (int i = 0; i < MAX_LEUTE; ++i) {
        MANN &m = Leute[i];
        if (!m.free)
            continue;
        m.warten = static_cast<uint8_t>(m.warten + 1);
        if (m.warten >= Data[m.type].speed + GameSpeed) {
            MVerhalten(static_cast<short>(i));
            m.warten = 0;
            if (!m.free)
                ++tote;
            ASSERT_LT(m.d1count, UMWEG_LAENGE) << "slot " << i;
        }
        m.x = static_cast<int16_t>(m.ax - ScrollX);
        m.y = static_cast<int16_t>(m.ay - ScrollY);
    }
    for (int i = 0; i < EFFEKT_TABELLE; ++i) {
        if (Explose[i].free == 1)
            ExploseCompute(static_cast<short>(i));
        if (Laser[i].free == 1)
            LaserCompute(static_cast<short>(i));
        if (Rauch[i].free == 1)
            RauchCompute(static_cast<short>(i));
        if (Rocket[i].free == 1)
            RocketCompute(static_cast<short>(i));
    }
    GameDel = static_cast<int16_t>(GameDel + 1);
    if (GameDel >= GameSpeed)
        GameDel = 0;
}

template <class T>
void TabelleStimmt(const T (&tabelle)[EFFEKT_TABELLE], int16_t anz, int16_t nextFree, const char *name)
{
    int lebend = 0;
    for (const T &e : tabelle)
        lebend += e.free == 1;
    ASSERT_EQ(lebend, anz) << name;
    ASSERT_LT(anz, EFFEKT_TABELLE) << name;
    ASSERT_EQ(tabelle[nextFree].free, 0) << name;
    for (int i = 0; i < nextFree; ++i)
        ASSERT_EQ(tabelle[i].free, 1) << name << " " << i;
}

void AllesStimmt()
{
    int eigene = 0, feinde = 0;
    for (const MANN &m : Leute) {
        if (!m.free)
            continue;
        (m.feind ? feinde : eigene) += 1;
        // A unit never strays far from the map, let alone round the 16-bit coordinates.
        ASSERT_GE(m.ax, -60);
        ASSERT_LE(m.ax, 2060);
        ASSERT_GE(m.ay, -60);
        ASSERT_LE(m.ay, 2060);
        ASSERT_LT(m.d1count, UMWEG_LAENGE);
        ASSERT_LE(m.dcount, m.dmax);
        ASSERT_LE(m.dmax, WEG_LAENGE);
    }
    ASSERT_EQ(eigene, MAnz);
    ASSERT_EQ(feinde, FAnz);
    TabelleStimmt(Laser, LaserAnz, LaserNextFree, "Laser");
    TabelleStimmt(Rocket, RocketAnz, RocketNextFree, "Rocket");
    TabelleStimmt(Rauch, RauchAnz, RauchNextFree, "Rauch");
    TabelleStimmt(Explose, EAnz, ExploseNextFree, "Explose");
    for (const LASER &b : Laser) {
        if (!b.free)
            continue;
        ASSERT_TRUE(b.l.x > -4000 && b.l.x < 6000 && b.l.y > -4000 && b.l.y < 6000);
    }
}

TEST_F(Gefecht, RandomMapsKeepEveryTableInBounds)
{
    int tote = 0, laser = 0, raketen = 0, umwege = 0;
    for (unsigned saat = 1; saat <= 16; ++saat) {
        schlacht::Raeumen();
        std::mt19937 zufall(saat);
        Gelaende(zufall);
        const int ecken[] = {0, 1500, 700};
        FeldLinks = ecken[saat % 3];
        FeldOben = ecken[(saat / 3) % 3];
        GameSpeed = static_cast<int16_t>(1 + saat % 3);
        for (int frame = 0; frame < 6000; ++frame) {
            if (frame % 40 == 0) {
                Verstaerkung(zufall);
                Befehle(zufall);
                ScrollX = static_cast<int16_t>(zufall() % 1400);
                ScrollY = static_cast<int16_t>(zufall() % 1600);
            }
            const int16_t l0 = LaserAnz, r0 = RocketAnz;
            Bild(tote);
            if (HasFatalFailure())
                return;
            laser += LaserAnz > l0;
            raketen += RocketAnz > r0;
            for (const MANN &m : Leute)
                umwege += m.free && m.d1count > 0;
            AllesStimmt();
            if (HasFatalFailure()) {
                ADD_FAILURE() << "seed " << saat << " frame " << frame;
                return;
            }
        }
    }
    // The runs did fight and walk round obstacles, so the checks above saw all of it.
    EXPECT_GT(tote, 500);
    EXPECT_GT(laser, 200);
    EXPECT_GT(raketen, 200);
    EXPECT_GT(umwege, 10000);
}

}  // namespace
