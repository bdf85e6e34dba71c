// The player's commands and the per-frame steps of the game loop, driven without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "control/control.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "ui/edit.h"
#include "ui/mouse.h"
#include "units/data.h"
#include "units/leute.h"

namespace {

gii_event Leer(uint8_t type)
{
    gii_event e;
    std::memset(&e, 0, sizeof e);
    e.any.type = type;
    return e;
}

gii_event Taste(uint8_t type, uint32_t sym)
{
    gii_event e = Leer(type);
    e.key.sym = sym;
    return e;
}

gii_event Knopf(uint8_t type, uint32_t button)
{
    gii_event e = Leer(type);
    e.pbutton.button = button;
    return e;
}

gii_event Zeiger(uint8_t type, int32_t x, int32_t y)
{
    gii_event e = Leer(type);
    e.pmove.x = x;
    e.pmove.y = y;
    return e;
}

class Befehle : public ::testing::Test {
protected:
    int16_t ende = 0;

    void SetUp() override
    {
        std::memset(Leute, 0, sizeof Leute);
        std::memset(Karte, 0, sizeof Karte);
        std::memset(XKarte, 0, sizeof XKarte);
        std::memset(YKarte, 0, sizeof YKarte);
        MAnz = FAnz = NextFree = 0;
        FeldX = FeldY = 98;
        ScrollX = ScrollY = 0;
        mx = my = mx1 = my1 = 0;
        Rahmen = 0;
        RahmenX = RahmenY = 0;
        RightScroll = RightScrollX = RightScrollY = RightScrolled = 0;
        NachScroll = ScrollDir = 0;
        GameSpeed = 1;
        GameDel = 0;
        edit = 0;
        MouseSet(0);
        SetUpData();
    }

    // One event as the loop's event step handles it: dispatch, clamp, then the motion
    // commands when the pointer moved.
    void Schritt(const gii_event &e)
    {
        const int16_t altX = mx, altY = my;
        Ereignis(e, ende);
        ZeigerImBild();
        if (mx != altX || my != altY)
            ZeigerBewegt();
    }

    void Hin(int x, int y) { Schritt(Zeiger(evPtrAbsolute, x, y)); }
    void Druecke(uint32_t sym) { Schritt(Taste(evKeyPress, sym)); }

    // A live unit standing at screen (x, y) with the view where it is now.
    static MANN &Einheit(int slot, uint8_t feind, int x, int y, int w = 20, int h = 20)
    {
        MANN &m = Leute[slot];
        m.free = 1;
        m.feind = feind;
        m.type = feind ? 4 : 0;
        m.x = static_cast<int16_t>(x);
        m.y = static_cast<int16_t>(y);
        m.ax = static_cast<int16_t>(x + ScrollX);
        m.ay = static_cast<int16_t>(y + ScrollY);
        m.dx = m.ax;
        m.dy = m.ay;
        m.who = 255;
        m.shapeX = static_cast<int16_t>(w);
        m.shapeY = static_cast<int16_t>(h);
        return m;
    }

    static std::vector<int> Gewaehlt()
    {
        std::vector<int> v;
        for (int i = 0; i < MAX_LEUTE; ++i)
            if (Leute[i].aktive)
                v.push_back(i);
        return v;
    }
};

TEST_F(Befehle, PlusAndMinusHalveAndDoubleWithinOneToTen)
{
    std::vector<int> folge;
    Druecke('+');
    folge.push_back(GameSpeed);  // 1 stays 1
    GameSpeed = 8;
    Druecke('-');
    folge.push_back(GameSpeed);  // 16 is cut to 10
    for (int i = 0; i < 3; ++i) {
        Druecke('+');
        folge.push_back(GameSpeed);
    }
    EXPECT_EQ(folge, (std::vector<int>{1, 10, 5, 2, 1}));

    // Repeats act like presses; a key without a command still applies the limits.
    GameSpeed = 3;
    Schritt(Taste(evKeyRepeat, '-'));
    EXPECT_EQ(GameSpeed, 6);
    GameSpeed = 0;
    Schritt(Taste(evKeyPress, 'q'));
    EXPECT_EQ(GameSpeed, 1);
    GameSpeed = 40;
    Schritt(Taste(evKeyRelease, '+'));
    EXPECT_EQ(GameSpeed, 40) << "a release is no command";
}

TEST_F(Befehle, UnitKeysPlaceUnitsUnderThePointer)
{
    ScrollX = 200;
    ScrollY = 40;
    Hin(100, 50);
    Druecke('1');
    Schritt(Taste(evKeyRepeat, '1'));
    Druecke('b');
    Druecke('5');
    Druecke('6');
    ASSERT_EQ(MAnz, 4);
    ASSERT_EQ(FAnz, 1);
    const int erwartet[] = {0, 0, 5, 8, 9};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Leute[i].type, erwartet[i]) << i;
        EXPECT_EQ(Leute[i].ax, 300);
        EXPECT_EQ(Leute[i].ay, 90);
        EXPECT_EQ(Leute[i].dx, 300);
        EXPECT_EQ(Leute[i].dy, 90);
    }
    EXPECT_EQ(Leute[2].feind, 1);
    // Key codes are taken as 16 bits: a symbol past them is its low half.
    Druecke(0x10000 + '2');
    EXPECT_EQ(Leute[5].type, 1);
}

TEST_F(Befehle, TabAddsTheOwnUnitsOnScreen)
{
    Einheit(0, 0, 0, 0);
    Einheit(1, 0, 639, 399);
    Einheit(2, 0, 640, 100);  // just off the right edge
    Einheit(3, 0, 100, -1);   // just above the view
    Einheit(4, 1, 300, 300);  // enemy
    Einheit(5, 0, 2000, 2000).aktive = 1;  // selected before, off screen
    Leute[6].x = 50;  // free slot
    Druecke(9);
    EXPECT_EQ(Gewaehlt(), (std::vector<int>{0, 1, 5}));
    EXPECT_EQ(MouseImage, 2);
}

TEST_F(Befehle, ScatterMovesSelectedDestinationsOnly)
{
    Einheit(0, 0, 100, 100).aktive = 1;
    Einheit(1, 0, 200, 100);
    Leute[2].aktive = 1;  // a dead slot still selected
    Leute[2].dx = 500;
    Leute[2].dy = 500;
    srand(7);
    std::vector<int> zahlen;
    for (int i = 0; i < 4; ++i)
        zahlen.push_back(rand() % 20);
    srand(7);
    Druecke('x');
    EXPECT_EQ(Leute[0].dx, 100 + zahlen[0]);
    EXPECT_EQ(Leute[0].dy, 100 - zahlen[1]);
    EXPECT_EQ(Leute[1].dx, 200);
    EXPECT_EQ(Leute[1].dy, 100);
    EXPECT_EQ(Leute[2].dx, 500 + zahlen[2]);
    EXPECT_EQ(Leute[2].dy, 500 - zahlen[3]);
}

TEST_F(Befehle, FrameSelectsTheSameUnitsInBothDirections)
{
    for (int richtung = 0; richtung < 2; ++richtung) {
        SetUp();
        Einheit(0, 0, 100, 100);
        Einheit(1, 0, 300, 200);   // top-left corner on the frame's corner
        Einheit(2, 0, 301, 150);   // sprite reaches in, its corner does not
        Einheit(3, 1, 150, 150);   // enemy
        Einheit(4, 0, 400, 300).aktive = 1;  // selected before, outside the frame
        if (richtung == 0) {
            Hin(100, 100);
            Schritt(Knopf(evPtrButtonPress, 1));
            Hin(300, 200);
        } else {
            Hin(300, 200);
            Schritt(Knopf(evPtrButtonPress, 1));
            Hin(100, 100);
        }
        EXPECT_EQ(Rahmen, 2);
        Schritt(Knopf(evPtrButtonRelease, 1));
        EXPECT_EQ(Rahmen, 0);
        EXPECT_EQ(Gewaehlt(), (std::vector<int>{0, 1})) << "direction " << richtung;
    }
}

TEST_F(Befehle, ClickOnAFriendSelectsOnlyIt)
{
    Einheit(0, 0, 100, 100).aktive = 1;
    Einheit(3, 0, 300, 300);
    Einheit(4, 0, 310, 310);  // overlaps slot 3; the search stops at the lower slot
    Hin(320, 320);
    Schritt(Knopf(evPtrButtonPress, 1));
    Schritt(Knopf(evPtrButtonRelease, 1));
    EXPECT_EQ(Gewaehlt(), (std::vector<int>{3}));
    EXPECT_EQ(Rahmen, 0);
}

TEST_F(Befehle, ClickOnAnEnemyOrdersTheSelectionToAttack)
{
    Einheit(0, 0, 100, 100).aktive = 1;
    Einheit(1, 0, 120, 100);
    Einheit(2, 0, 140, 100).aktive = 1;
    Leute[5].aktive = 1;  // dead slot
    Einheit(7, 1, 400, 200);
    Hin(410, 210);
    Schritt(Knopf(evPtrButtonPress, 1));
    Schritt(Knopf(evPtrButtonRelease, 1));
    EXPECT_EQ(Leute[0].attack, 1);
    EXPECT_EQ(Leute[0].who, 7);
    EXPECT_EQ(Leute[2].attack, 1);
    EXPECT_EQ(Leute[2].who, 7);
    EXPECT_EQ(Leute[1].attack, 0);
    EXPECT_EQ(Leute[1].who, 255);
    EXPECT_EQ(Leute[5].attack, 0);
    EXPECT_EQ(Gewaehlt(), (std::vector<int>{0, 2, 5})) << "the selection stays";

    // Without a selection the click changes nothing.
    SetUp();
    Einheit(0, 0, 100, 100);
    Einheit(7, 1, 400, 200);
    const MANN vorher0 = Leute[0], vorher7 = Leute[7];
    Hin(400, 200);
    Schritt(Knopf(evPtrButtonPress, 1));
    Schritt(Knopf(evPtrButtonRelease, 1));
    EXPECT_EQ(std::memcmp(&vorher0, &Leute[0], sizeof(MANN)), 0);
    EXPECT_EQ(std::memcmp(&vorher7, &Leute[7], sizeof(MANN)), 0);
}

TEST_F(Befehle, MoveOrderToGroundUpToTile96)
{
    ScrollX = 100;
    ScrollY = 60;
    MANN &a = Einheit(0, 0, 20, 20);
    a.aktive = 1;
    a.attack = 1;
    a.who = 9;
    a.d1count = 3;
    Einheit(1, 0, 60, 20);  // not selected
    MANN &c = Einheit(2, 0, 40, 40);
    c.aktive = 1;
    Karte[(250 + 60) / 20][(330 + 100) / 20] = 96;
    Hin(330, 250);
    Schritt(Knopf(evPtrButtonPress, 1));
    Schritt(Knopf(evPtrButtonRelease, 1));
    for (const MANN *m : {&a, &c}) {
        EXPECT_EQ(m->attack, 0);
        EXPECT_EQ(m->d1count, 0);
        EXPECT_EQ(m->dcount, 0);
        ASSERT_GE(m->dmax, 1);
        EXPECT_EQ(m->d[m->dmax - 1].x, 430);
        EXPECT_EQ(m->d[m->dmax - 1].y, 310);
        EXPECT_EQ(m->dx, m->d[0].x);
        EXPECT_EQ(m->dy, m->d[0].y);
    }
    EXPECT_EQ(Leute[1].dmax, 0);
    EXPECT_EQ(Leute[1].dx, 160);

    // Tile 97 is no destination: nothing changes.
    SetUp();
    MANN &b = Einheit(0, 0, 20, 20);
    b.aktive = 1;
    b.attack = 1;
    Karte[250 / 20][330 / 20] = 97;
    const MANN vorher = b;
    Hin(330, 250);
    Schritt(Knopf(evPtrButtonPress, 1));
    Schritt(Knopf(evPtrButtonRelease, 1));
    EXPECT_EQ(std::memcmp(&vorher, &b, sizeof(MANN)), 0);
}

TEST_F(Befehle, RightClickDeselectsButADragThatScrolledDoesNot)
{
    // Click without moving.
    Einheit(0, 0, 100, 100).aktive = 1;
    Hin(300, 200);
    Schritt(Knopf(evPtrButtonPress, 2));
    Schritt(Knopf(evPtrButtonRelease, 2));
    EXPECT_TRUE(Gewaehlt().empty());
    EXPECT_EQ(RightScroll, 0);

    // A drag that moves the view keeps the selection and leaves a glide.
    Leute[0].aktive = 1;
    ScrollX = 100;
    Schritt(Knopf(evPtrButtonPress, 2));
    EXPECT_EQ(RightScroll, 1);
    Hin(298, 200);
    EXPECT_EQ(ScrollX, 92);  // two pixels at four times the speed
    EXPECT_EQ(NachScroll, 2);
    EXPECT_EQ(ScrollDir, 1);
    EXPECT_EQ(RightScrollX, 298);
    EXPECT_EQ(RightScrolled, 2);
    Schritt(Knopf(evPtrButtonRelease, 2));
    EXPECT_EQ(Gewaehlt(), (std::vector<int>{0}));
    EXPECT_EQ(RightScrolled, 0);
    EXPECT_EQ(RightScroll, 0);

    // Moving against the map edge scrolls nothing: still a click.
    ScrollX = 0;
    Schritt(Knopf(evPtrButtonPress, 2));
    Hin(250, 200);
    Schritt(Knopf(evPtrButtonRelease, 2));
    EXPECT_TRUE(Gewaehlt().empty());
}

TEST_F(Befehle, DragStepsInAllFourDirections)
{
    ScrollX = 500;
    ScrollY = 500;
    Hin(300, 200);
    Schritt(Knopf(evPtrButtonPress, 2));
    // Down and to the right in one move: both tests fire, the glide keeps the last one.
    Hin(330, 203);
    EXPECT_EQ(ScrollX, 516);  // capped at 16
    EXPECT_EQ(ScrollY, 512);
    EXPECT_EQ(NachScroll, 3);
    EXPECT_EQ(ScrollDir, 4);
    Hin(329, 193);
    EXPECT_EQ(ScrollX, 512);
    EXPECT_EQ(ScrollY, 496);
    EXPECT_EQ(NachScroll, 10);
    EXPECT_EQ(ScrollDir, 3);
    EXPECT_EQ(RightScrollX, 329);
    EXPECT_EQ(RightScrollY, 193);
}

TEST_F(Befehle, UnexpectedEventsAreReported)
{
    Hin(100, 100);
    for (int type : {12, 13, 0, 2, 4}) {
        testing::internal::CaptureStdout();
        Schritt(Zeiger(static_cast<uint8_t>(type), 50, 50));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=" + std::to_string(type) + "\n");
    }
    EXPECT_EQ(mx, 100);
    EXPECT_EQ(my, 100);
    EXPECT_EQ(ende, 0);
    testing::internal::CaptureStdout();
    for (int type : {1, 3, 6})
        Schritt(Leer(static_cast<uint8_t>(type)));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Befehle, PointerStaysInTheView)
{
    Hin(700, -5);
    EXPECT_EQ(mx, 639);
    EXPECT_EQ(my, 0);
    Schritt(Zeiger(evPtrRelative, -10, 30));
    EXPECT_EQ(mx, 629);
    EXPECT_EQ(my, 30);
    EXPECT_EQ(mx1, 639);
    EXPECT_EQ(my1, 0);
    // Far moves stop at the border instead of wrapping round to the other side.
    Schritt(Zeiger(evPtrRelative, 40000, -70000));
    EXPECT_EQ(mx, 639);
    EXPECT_EQ(my, 0);
    Hin(70000, 70000);
    EXPECT_EQ(mx, 639);
    EXPECT_EQ(my, 399);
}

TEST_F(Befehle, PointerPictureFollowsWhatLiesBelow)
{
    Hin(105, 105);
    ZeigerBild();
    EXPECT_EQ(MouseImage, 0);

    // Overlapping units: the highest slot decides.
    Einheit(3, 0, 100, 100);
    Einheit(7, 1, 95, 95);
    ZeigerBild();
    EXPECT_EQ(MouseImage, 4);
    Leute[3].feind = 1;
    Leute[7].feind = 0;
    ZeigerBild();
    EXPECT_EQ(MouseImage, 3);

    // A blocked tile overrides the unit.
    Karte[105 / 20][105 / 20] = 97;
    ZeigerBild();
    EXPECT_EQ(MouseImage, 1);
    Karte[105 / 20][105 / 20] = 96;

    // The selected pointer is kept while nothing lies below.
    Hin(500, 300);
    MouseSet(2);
    m_show_image = 3;
    ZeigerBild();
    EXPECT_EQ(MouseImage, 2);
    EXPECT_EQ(m_show_image, 3);
}

TEST_F(Befehle, UnitsActEverySpeedPlusGameSpeedFrames)
{
    // Units far off screen, so only their pacing counts.
    struct Fall {
        uint8_t type;
        int16_t gameSpeed;
        int abstand;
    };
    for (const Fall f : {Fall{1, 1, 2}, Fall{2, 10, 13}, Fall{9, 10, 11}}) {
        SetUp();
        GameSpeed = f.gameSpeed;
        MInsert(1900, 1900, 1900, 1900, f.type);
        const MANN &m = Leute[0];
        std::vector<int> handelt;
        for (int frame = 1; frame <= 3 * f.abstand; ++frame) {
            LeuteSchritt();
            if (m.warten == 0)
                handelt.push_back(frame);
        }
        EXPECT_EQ(handelt, (std::vector<int>{f.abstand, 2 * f.abstand, 3 * f.abstand}))
            << "type " << int(f.type) << " at GameSpeed " << f.gameSpeed;
    }
}

TEST_F(Befehle, SelectedLiveUnitSetsTheSelectedPointer)
{
    ScrollX = 40;
    MInsert(1900, 1900, 1900, 1900, 0);
    LeuteSchritt();
    EXPECT_EQ(MouseImage, 0);
    EXPECT_EQ(Leute[0].x, 1860);
    Leute[0].aktive = 1;
    LeuteSchritt();
    EXPECT_EQ(MouseImage, 2);
    EXPECT_EQ(m_image_end, 1) << "only the variable changes, not the frame range";
}

}  // namespace
