// Colours above 163 stand in front of the units; the ground they walk on and beside, beaches
// and shores included, keeps below, so that no unit vanishes where it stands.
#include "../../tools/common/tiles.h"
#include "support.h"

using namespace tiles;

TEST(Beach, OnlyWhatIsMeantToCoverUnitsUsesTheProtectedColours)
{
    const std::string terrain = test::Read(KORVAN_RUN_DIR "/resource/terrain.rsc");
    ASSERT_GE(terrain.size(), size_t(COUNT) * 400);
    // Tree crowns, roofs, the near rail of a bridge crossed left to right, and what rises or
    // glows over a unit beside it: embers of a wreck, fire, the radar's turning dish.
    auto covers = [](int t, int row) {
        return (t >= TREES && t < TREES + 32) || (t >= HOUSE && t < HALL + 16) ||
               (t == BRIDGE_H && (row == 16 || row == 17)) || (t >= WRECK && t < WRECK + WRECK_N) || t >= FIRE_ANIM;
    };
    for (int t = 0; t < COUNT; ++t) {
        int uncovered = 0;
        for (int p = 0; p < 400; ++p)
            uncovered += uint8_t(terrain[size_t(t) * 400 + p]) > 163 && !covers(t, p / 20);
        EXPECT_EQ(uncovered, 0) << "tile " << t;
    }
}
