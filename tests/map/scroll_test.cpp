// Moving the view: edge bands, the glide, drag steps, the explosion shift, tile drawing.
#include "map_fixture.h"

namespace {

class ScrollTest : public KarteTest {
protected:
    void SetUp() override
    {
        KarteTest::SetUp();
        FeldX = 40;  // ScrollX 0..160
        FeldY = 30;  // ScrollY 0..180
        Explose[3].free = 1;
        Explose[3].x = 100;
        Explose[3].y = 50;
        Explose[4].free = 0;
        Explose[4].x = 100;
        Explose[4].y = 50;
    }
};

// One edge-scrolling frame with the pointer at (x, y) from the given view position.
void EdgeFrame(int x, int y, int sx, int sy)
{
    mx = static_cast<int16_t>(x);
    my = static_cast<int16_t>(y);
    ScrollX = static_cast<int16_t>(sx);
    ScrollY = static_cast<int16_t>(sy);
    NachScroll = 0;
    ScrollDir = 0;
    DoScroll();
}

}  // namespace

TEST_F(ScrollTest, EdgeBandsAreTwoAndSeventeenPixelsWide)
{
    struct Fall {
        int x, y;   // pointer
        int dx, dy; // view movement from (80, 80)
        int dir;    // glide direction left behind, 0 none
    };
    for (Fall f : {Fall{0, 200, -8, 0, 1}, Fall{1, 200, -8, 0, 1}, Fall{2, 200, 0, 0, 0},
                   Fall{622, 200, 0, 0, 0}, Fall{623, 200, 8, 0, 2}, Fall{639, 200, 8, 0, 2},
                   Fall{300, 1, 0, -8, 3}, Fall{300, 2, 0, 0, 0}, Fall{300, 382, 0, 0, 0},
                   Fall{300, 383, 0, 8, 4}, Fall{639, 399, 8, 8, 4}}) {
        EdgeFrame(f.x, f.y, 80, 80);
        EXPECT_EQ(ScrollX, 80 + f.dx) << f.x << ", " << f.y;
        EXPECT_EQ(ScrollY, 80 + f.dy) << f.x << ", " << f.y;
        EXPECT_EQ(ScrollDir, f.dir) << f.x << ", " << f.y;
        EXPECT_EQ(NachScroll, f.dir ? 4 : 0) << f.x << ", " << f.y;
    }
}

TEST_F(ScrollTest, NoEdgeScrollingAtTheMapsBorders)
{
    EdgeFrame(0, 0, 0, 0);
    EXPECT_EQ(ScrollX, 0);
    EXPECT_EQ(ScrollY, 0);
    EXPECT_EQ(NachScroll, 0);
    EdgeFrame(639, 399, 160, 180);
    EXPECT_EQ(ScrollX, 160);
    EXPECT_EQ(ScrollY, 180);
    EXPECT_EQ(NachScroll, 0);

    // A map exactly as wide as the view never scrolls sideways.
    FeldX = 32;
    for (int x : {0, 639}) {
        EdgeFrame(x, 200, 0, 80);
        EXPECT_EQ(ScrollX, 0);
        EXPECT_EQ(NachScroll, 0);
    }
}

TEST_F(ScrollTest, EdgeStepAtTheLimitMovesExplosionsOnlyAsFarAsTheView)
{
    EdgeFrame(0, 200, 5, 80);
    EXPECT_EQ(ScrollX, -3);
    EXPECT_EQ(Explose[3].x, 105);
    EXPECT_EQ(Explose[4].x, 100);  // a free entry stays where it was
    DecodeKarte();
    Landschaft();
    EXPECT_EQ(ScrollX, 0);

    EdgeFrame(639, 200, 157, 80);
    EXPECT_EQ(ScrollX, 165);
    EXPECT_EQ(Explose[3].x, 102);

    EdgeFrame(300, 0, 80, 2);
    EXPECT_EQ(Explose[3].y, 52);
    EdgeFrame(300, 399, 80, 179);
    EXPECT_EQ(ScrollY, 187);
    EXPECT_EQ(Explose[3].y, 51);

    // Away from the limits the explosions follow the whole step.
    EdgeFrame(0, 200, 80, 80);
    EXPECT_EQ(Explose[3].x, 110);
}

TEST_F(ScrollTest, GlideAfterEdgeScrollingIsEightSixFourTwo)
{
    ScrollX = 0;
    NachScroll = 4;
    ScrollDir = 2;
    std::vector<int> schritte;
    for (int frame = 0; frame < 6; ++frame) {
        const int alt = ScrollX;
        NachScrollen();
        schritte.push_back(ScrollX - alt);
        EXPECT_EQ(ScrollSpeed, 4);
    }
    EXPECT_EQ(schritte, (std::vector<int>{8, 6, 4, 2, 0, 0}));
    EXPECT_EQ(Explose[3].x, 100 - 20);

    // A glide with no direction counts down and moves nothing.
    NachScroll = 3;
    ScrollDir = 0;
    NachScrollen();
    EXPECT_EQ(NachScroll, 2);
    EXPECT_EQ(ScrollX, 20);
}

TEST_F(ScrollTest, PushingAgainstTheEdgeAddsGlideAndEdgeSteps)
{
    mx = 639;
    my = 200;
    std::vector<int> schritte;
    for (int frame = 0; frame < 3; ++frame) {
        const int alt = ScrollX;
        NachScrollen();
        DoScroll();
        schritte.push_back(ScrollX - alt);
    }
    EXPECT_EQ(schritte, (std::vector<int>{8, 16, 16}));
}

TEST_F(ScrollTest, DragStepsFollowThePointerUpToTheCap)
{
    ScrollX = 100;
    RightScrollX = 300;
    mx = 298;  // two pixels to the left
    ScrollLeft();
    EXPECT_EQ(ScrollX, 92);
    EXPECT_EQ(RightScrolled, 2);
    EXPECT_EQ(Explose[3].x, 108);

    ScrollX = 100;
    mx = 290;  // ten pixels: capped at 16
    ScrollLeft();
    EXPECT_EQ(ScrollX, 84);

    ScrollX = 100;
    mx = 303;
    ScrollRight();
    EXPECT_EQ(ScrollX, 112);

    ScrollY = 100;
    RightScrollY = 200;
    my = 199;
    ScrollUp();
    EXPECT_EQ(ScrollY, 96);
    my = 250;
    ScrollDown();
    EXPECT_EQ(ScrollY, 112);

    // The glide a ten-pixel drag leaves behind.
    NachScroll = 10;
    ScrollDir = 1;
    ScrollX = 150;
    std::vector<int> schritte;
    while (NachScroll != 0) {
        const int alt = ScrollX;
        NachScrollen();
        schritte.push_back(alt - ScrollX);
    }
    EXPECT_EQ(schritte, (std::vector<int>{20, 18, 16, 14, 12, 10, 8, 6, 4, 2}));
}

TEST_F(ScrollTest, DragStepAtTheLimitShiftsExplosionsByTheRest)
{
    ScrollX = 6;
    RightScrollX = 300;
    mx = 290;
    ScrollLeft();
    EXPECT_EQ(ScrollX, -10);
    EXPECT_EQ(Explose[3].x, 106);
    ScrollX = 150;
    mx = 310;
    ScrollRight();
    EXPECT_EQ(Explose[3].x, 96);
    ScrollY = 175;
    RightScrollY = 100;
    my = 130;
    ScrollDown();
    EXPECT_EQ(Explose[3].y, 45);
    ScrollY = 3;
    my = 60;
    ScrollUp();
    EXPECT_EQ(Explose[3].y, 48);
}

TEST_F(ScrollTest, PutSpriteCopiesTheWholeTileColourZeroIncluded)
{
    PutSprite(100, 50, 0);
    int nullen = 0;
    for (int i = 0; i < 20; ++i)
        for (int k = 0; k < 20; ++k) {
            ASSERT_EQ(bild[(50 + i) * WIDTH + 100 + k], KachelPixel(0, i, k));
            nullen += KachelPixel(0, i, k) == 0;
        }
    EXPECT_GT(nullen, 0);
    EXPECT_EQ(bild[49 * WIDTH + 100], 0xEE);
    EXPECT_EQ(bild[50 * WIDTH + 120], 0xEE);
    EXPECT_EQ(bild[70 * WIDTH + 100], 0xEE);
}

TEST_F(ScrollTest, PutSpriteIsCutAtTheViewsBorder)
{
    PutSprite(630, 390, 5);
    for (int y = 380; y < HEIGHT; ++y)
        for (int x = 600; x < WIDTH; ++x) {
            const bool drin = x >= 630 && y >= 390;
            ASSERT_EQ(bild[y * WIDTH + x], drin ? KachelPixel(5, y - 390, x - 630) : 0xEE)
                << x << ", " << y;
        }
    // Nothing wrapped into the next row's start.
    EXPECT_EQ(bild[391 * WIDTH], 0xEE);

    PutSprite(-5, -7, 6);
    EXPECT_EQ(bild[0], KachelPixel(6, 7, 5));
    EXPECT_EQ(bild[12 * WIDTH + 14], KachelPixel(6, 19, 19));
    EXPECT_EQ(bild[13 * WIDTH], 0xEE);
    EXPECT_EQ(bild[15], 0xEE);
    EXPECT_EQ(bild[WIDTH - 1], 0xEE);

    std::vector<unsigned char> vorher = bild;
    PutSprite(640, 100, 1);
    PutSprite(100, 400, 1);
    PutSprite(-20, 100, 1);
    PutSprite(100, -20, 1);
    PutSprite(100, 100, KACHELN);  // tiles without a picture draw nothing
    PutSprite(100, 100, -1);
    EXPECT_EQ(bild, vorher);
}
