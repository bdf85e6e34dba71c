// The unit sprite files and the sprite-layout numbers: every frame the walking, standing and
// attack rules can reach lies inside the sheet and shows a soldier of the right side and kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include <unistd.h>

#include "resource_util.h"
#include "startup/file.h"

using namespace restest;

namespace {

std::vector<unsigned char> Frame(const std::vector<unsigned char> &data, int w, int h, int n) {
    return std::vector<unsigned char>(data.begin() + size_t(n) * w * h, data.begin() + size_t(n + 1) * w * h);
}

// Reads the numbers with the game's own reader, from the run folder.
void LoadNumbersFromRunFolder() {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(KORVAN_RUN_DIR), 0);
    LoadNum();
    ASSERT_EQ(chdir(here), 0);
}

struct Range {
    const char *what;
    int first, last;
};

// Every frame of a kind that the rules can show, relative to the kind's first frame.
std::vector<Range> ReachableFrames() {
    std::vector<Range> r;
    r.push_back({"new unit", 0, 0});
    r.push_back({"standing", R_ANFANG, R_ANFANG});
    // A straight walk shows start + 1 .. start + length + 1.
    for (auto [name, a, l] : {std::tuple{"walk L", L_ANFANG, L_LANG}, {"walk R", R_ANFANG, R_LANG},
                              {"walk O", O_ANFANG, O_LANG}, {"walk U", U_ANFANG, U_LANG}})
        r.push_back({name, a + 1, a + l + 1});
    // A diagonal walk start + 1 .. start + length, and start itself when the frame before
    // it was showing.
    for (auto [name, a, l] : {std::tuple{"walk LO", LO_ANFANG, LO_LANG}, {"walk LU", LU_ANFANG, LU_LANG},
                              {"walk RO", RO_ANFANG, RO_LANG}, {"walk RU", RU_ANFANG, RU_LANG}})
        r.push_back({name, a, a + l});
    for (auto [name, s, n] : {std::tuple{"attack L", ANGRIF_L, ANGRIF_LL}, {"attack R", ANGRIF_R, ANGRIF_RL},
                              {"attack O", ANGRIF_O, ANGRIF_OL}, {"attack U", ANGRIF_U, ANGRIF_UL},
                              {"attack LO", ANGRIF_LO, ANGRIF_LOL}, {"attack LU", ANGRIF_LU, ANGRIF_LUL},
                              {"attack RO", ANGRIF_RO, ANGRIF_ROL}, {"attack RU", ANGRIF_RU, ANGRIF_RUL}})
        r.push_back({name, s + 1, s + n + 1});
    return r;
}

// How far the opaque pixels reach right of the frame's middle minus how far they reach left.
int Lean(const std::vector<unsigned char> &f) {
    int lo = 20, hi = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (f[y * 20 + x] != 3) lo = std::min(lo, x), hi = std::max(hi, x);
    return (hi - 9) - (10 - lo);
}

}  // namespace

TEST(MannNum, FortyOneEntriesInTheOrderOfTheReader) {
    auto bytes = ReadAll(RunPath("resource/mann.num"));
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    const char *names[] = {"L_ANFANG",  "L_LANG",     "R_ANFANG",  "R_LANG",     "O_ANFANG",  "O_LANG",
                           "U_ANFANG",  "U_LANG",     "LO_ANFANG", "LO_LANG",    "LU_ANFANG", "LU_LANG",
                           "RO_ANFANG", "RO_LANG",    "RU_ANFANG", "RU_LANG",    "MANN_DIV",  "ANGRIF_L",
                           "ANGRIF_LL", "ANGRIF_R",   "ANGRIF_RL", "ANGRIF_O",   "ANGRIF_OL", "ANGRIF_U",
                           "ANGRIF_UL", "ANGRIF_LO",  "ANGRIF_LOL", "ANGRIF_LU", "ANGRIF_LUL", "ANGRIF_RO",
                           "ANGRIF_ROL", "ANGRIF_RU", "ANGRIF_RUL", "FL_ANFANG", "FR_ANFANG", "FO_ANFANG",
                           "FU_ANFANG", "S1_ANFANG",  "S1_LANG",   "S2_ANFANG",  "S2_LANG"};
    std::string line;
    for (const char *name : names) {
        ASSERT_TRUE(std::getline(in, line)) << "missing " << name;
        auto eq = line.find('=');
        ASSERT_NE(eq, std::string::npos) << line;
        EXPECT_EQ(line.substr(0, eq), name);
        ASSERT_EQ(line.back(), ':') << line;
        std::string value = line.substr(eq + 1, line.size() - eq - 2);
        EXPECT_GE(value.size(), 1u) << line;
        EXPECT_LE(value.size(), 4u) << line;
        EXPECT_EQ(value.find_first_not_of("0123456789"), std::string::npos) << line;
    }
    EXPECT_FALSE(std::getline(in, line) && !line.empty()) << "more than 41 entries: " << line;
}

TEST(Infantry, EveryReachableFrameLiesInsideItsKindAndShowsASoldier) {
    LoadNumbersFromRunFolder();
    auto men = ReadAll(RunPath("resource/lsprites.rsc"));
    ASSERT_GT(MANN_DIV, 0);
    ASSERT_GE(int(men.size()), 10 * MANN_DIV * 400) << "ten kinds of MANN_DIV frames";
    for (int kind = 0; kind <= 7; ++kind) {
        int base = kind * MANN_DIV;
        for (const Range &r : ReachableFrames())
            for (int f = r.first; f <= r.last; ++f) {
                ASSERT_GE(f, 0) << r.what;
                ASSERT_LT(f, MANN_DIV) << r.what << " of kind " << kind << " runs into the next kind";
                auto frame = Frame(men, 20, 20, base + f);
                int opaque = 0;
                for (unsigned char p : frame) {
                    if (p == 3) continue;
                    ++opaque;
                    // Unit colours stay at 163 or below, so a later unit covers an earlier one.
                    EXPECT_LE(p, 163) << r.what << " frame " << f << " of kind " << kind;
                }
                EXPECT_GT(opaque, 40) << r.what << " frame " << f << " of kind " << kind;
            }
    }
}

TEST(Infantry, WalkingAndAttackingRightFaceRightAndLeftFaceLeft) {
    LoadNumbersFromRunFolder();
    auto men = ReadAll(RunPath("resource/lsprites.rsc"));
    for (int kind = 0; kind <= 7; ++kind) {
        int base = kind * MANN_DIV;
        // The weapon is held out ahead of the soldier.
        for (int f = R_ANFANG + 1; f <= R_ANFANG + R_LANG + 1; ++f)
            EXPECT_GT(Lean(Frame(men, 20, 20, base + f)), 0) << "kind " << kind << " frame " << f;
        for (int f = L_ANFANG + 1; f <= L_ANFANG + L_LANG + 1; ++f)
            EXPECT_LT(Lean(Frame(men, 20, 20, base + f)), 0) << "kind " << kind << " frame " << f;
        for (int f = ANGRIF_R + 1; f <= ANGRIF_R + ANGRIF_RL + 1; ++f)
            EXPECT_GT(Lean(Frame(men, 20, 20, base + f)), 0) << "kind " << kind << " frame " << f;
        for (int f = ANGRIF_L + 1; f <= ANGRIF_L + ANGRIF_LL + 1; ++f)
            EXPECT_LT(Lean(Frame(men, 20, 20, base + f)), 0) << "kind " << kind << " frame " << f;
        EXPECT_GT(Lean(Frame(men, 20, 20, base + R_ANFANG)), 0) << "standing faces right";
    }
}

TEST(Infantry, SidesDifferInColourAndKindsInTheirWeapon) {
    LoadNumbersFromRunFolder();
    auto men = ReadAll(RunPath("resource/lsprites.rsc"));
    auto mask = [](const std::vector<unsigned char> &f) {
        std::vector<bool> m;
        for (unsigned char p : f) m.push_back(p != 3);
        return m;
    };
    for (int kind = 0; kind <= 3; ++kind)
        for (int f = 0; f < MANN_DIV; ++f) {
            // The enemy's kind k + 4 is the player's kind k in other colours.
            auto own = Frame(men, 20, 20, kind * MANN_DIV + f), enemy = Frame(men, 20, 20, (kind + 4) * MANN_DIV + f);
            EXPECT_EQ(mask(own), mask(enemy)) << "kind " << kind << " frame " << f;
            int differ = 0;
            for (int p = 0; p < 400; ++p) differ += own[p] != enemy[p];
            EXPECT_GT(differ, 30) << "kind " << kind << " frame " << f;
        }
    // The four kinds of a side carry different weapons in every pose.
    for (int f = 0; f < MANN_DIV; ++f) {
        std::set<std::vector<bool>> shapes;
        for (int kind = 0; kind <= 3; ++kind) shapes.insert(mask(Frame(men, 20, 20, kind * MANN_DIV + f)));
        EXPECT_EQ(shapes.size(), 4u) << "frame " << f;
    }
}

TEST(CombatVehicle, FacingFramesPointTheirWayAndTracksRun) {
    auto tank = ReadAll(RunPath("resource/ksprites.rsc"));
    ASSERT_EQ(tank.size(), 291u * 43 * 30);
    // The gun reaches out past the hull: the frame reaches further from the middle on the
    // side it faces. Returns right reach minus left reach, or down reach minus up reach.
    auto lean = [&](int n, bool across) {
        auto f = Frame(tank, 43, 30, n);
        int lo = 99, hi = -1;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 43; ++x)
                if (f[y * 43 + x] != 3) {
                    int v = across ? x : y;
                    lo = std::min(lo, v), hi = std::max(hi, v);
                }
        return across ? (hi - 21) - (21 - lo) : (hi - 14) - (15 - lo);
    };
    for (int phase : {0, 160}) {
        EXPECT_LT(lean(phase + 0, true), 0) << "frame " << phase << " faces left";
        EXPECT_GT(lean(phase + 80, true), 0) << "frame " << phase + 80 << " faces right";
        EXPECT_LT(lean(phase + 40, false), 0) << "frame " << phase + 40 << " faces up";
        EXPECT_GT(lean(phase + 120, false), 0) << "frame " << phase + 120 << " faces down";
    }
    for (int n = 0; n <= 130; n += 10) {
        auto a = Frame(tank, 43, 30, n), b = Frame(tank, 43, 30, n + 160);
        EXPECT_GT(std::count_if(a.begin(), a.end(), [](unsigned char p) { return p != 3; }), 250) << n;
        EXPECT_NE(a, b) << "frame " << n << " and " << n + 160 << " show the same track phase";
        if (n > 0) {
            EXPECT_NE(a, Frame(tank, 43, 30, n - 10)) << "facing " << n << " repeats the one before";
        }
        for (unsigned char p : a) ASSERT_LE(p, 163) << "frame " << n;
    }
}

TEST(Helicopter, RotorTurnsThroughFourFrames) {
    auto heli = ReadAll(RunPath("resource/hsprites.rsc"));
    ASSERT_EQ(heli.size(), 4u * 53 * 30);
    std::set<std::vector<unsigned char>> frames;
    for (int n = 0; n < 4; ++n) frames.insert(Frame(heli, 53, 30, n));
    EXPECT_EQ(frames.size(), 4u);
}

TEST(Effects, ExplosionBurnsDownAndSmokeGrows) {
    auto explo = ReadAll(RunPath("resource/explose.rsc"));
    auto smoke = ReadAll(RunPath("resource/rauch.rsc"));
    auto opaque = [](const std::vector<unsigned char> &f) {
        return std::count_if(f.begin(), f.end(), [](unsigned char p) { return p != 0; });
    };
    // Every image the game shows has something in it, the last too.
    for (int n = 0; n < 12; ++n) EXPECT_GT(opaque(Frame(explo, 28, 20, n)), 10) << "explosion " << n;
    EXPECT_GT(opaque(Frame(explo, 28, 20, 4)), opaque(Frame(explo, 28, 20, 0)));
    for (int n = 0; n < 8; ++n) EXPECT_GT(opaque(Frame(smoke, 14, 14, n)), 4) << "smoke " << n;
    EXPECT_GT(opaque(Frame(smoke, 14, 14, 3)), opaque(Frame(smoke, 14, 14, 0)));
}
