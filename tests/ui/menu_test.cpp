// The main menu's own event loop, driven headless through an event script.
#include "ui_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ui/menu.h"

namespace {

class MenuTest : public UiTest {
protected:
    std::string ordner;

    void SetUp() override
    {
        UiTest::SetUp();
        for (int i = 0; i < WIDTH * HEIGHT; ++i)
            bild[i] = static_cast<unsigned char>((i / WIDTH + i % WIDTH) % 90 + 1);
        char muster[] = "/tmp/korvan-menu-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
        mx = 17;
        my = 33;
        MouseSet(3);
        m_show_image = 6;
    }

    void TearDown() override
    {
        if (vis != nullptr) {
            ggiClose(vis);
            ggiExit();
        }
        vis = nullptr;
        db = nullptr;
        Screen = nullptr;
        std::string rm = "rm -rf '" + ordner + "'";
        EXPECT_EQ(system(rm.c_str()), 0);
        UiTest::TearDown();
    }

    // Opens the headless display with the script; a stray menu ends by itself after 500 frames.
    void Oeffne(const std::string &skript)
    {
        const std::string datei = ordner + "/menu.events";
        std::ofstream(datei) << skript;
        const std::string anzeige = "memory:-events=" + datei + ":-frames=500";
        setenv("GGI_DISPLAY", anzeige.c_str(), 1);
        ASSERT_EQ(ggiInit(), 0);
        vis = ggiOpen(nullptr);
        ASSERT_NE(vis, nullptr);
        ASSERT_EQ(ggiSetGraphMode(vis, WIDTH, HEIGHT, WIDTH, HEIGHT, GT_8BIT), 0);
        db = ggiDBGetBuffer(vis, 0);
        ASSERT_NE(db, nullptr);
        Screen = static_cast<unsigned char *>(db->write);
    }

    // The game's last picture with the menu over it and the normal pointer at (x, y).
    std::vector<unsigned char> MenuMitZeiger(const std::vector<unsigned char> &spiel, int x, int y)
    {
        std::vector<unsigned char> soll = spiel;
        unsigned char *echt = VScreen;
        VScreen = soll.data();
        ShowHauptMenu();
        const int16_t ax = mx, ay = my;
        const uint8_t frame = m_show_image;
        mx = static_cast<int16_t>(x);
        my = static_cast<int16_t>(y);
        m_show_image = 1;
        MousePlace();
        mx = ax;
        my = ay;
        m_show_image = frame;
        VScreen = echt;
        return soll;
    }
};

}  // namespace

TEST_F(MenuTest, MovingThePointerLeavesNoTrace)
{
    const std::vector<unsigned char> spiel = bild;
    Oeffne("0 pos 100 100\n"
           "1 move 5 3\n"
           "1 move 7 -2\n"
           "2 pos 0 0\n"
           "3 move -50 -50\n"
           "4 pos 639 399\n"
           "5 move 100 100\n"
           "6 pos 250 105\n"
           "7 down 1\n"
           "7 up 1\n"
           "8 pos 252 110\n"
           "9 keydown 'a'\n"
           "12 keydown 27\n");
    HauptMenu();
    EXPECT_EQ(mx, 252);
    EXPECT_EQ(my, 110);
    EXPECT_EQ(MouseImage, 0);
    const std::vector<unsigned char> soll = MenuMitZeiger(spiel, 252, 110);
    EXPECT_TRUE(bild == soll);
    EXPECT_EQ(0, memcmp(Screen, soll.data(), soll.size()));
}

TEST_F(MenuTest, RelativeMovesStopAtTheBorder)
{
    const std::vector<unsigned char> spiel = bild;
    Oeffne("1 move 1000 -1000\n"
           "2 move 5 0\n"
           "3 keydown 27\n");
    HauptMenu();
    EXPECT_EQ(mx, 639);
    EXPECT_EQ(my, 0);
    EXPECT_TRUE(bild == MenuMitZeiger(spiel, 639, 0));
}

TEST_F(MenuTest, EscapeIsUsedUpAndLaterEventsStayForTheGame)
{
    const std::vector<unsigned char> spiel = bild;
    Oeffne("2 keydown 27\n"
           "6 keydown 'q'\n");
    HauptMenu();
    // The menu opened with the pointer in the middle of the view and never moved it.
    EXPECT_EQ(mx, 320);
    EXPECT_EQ(my, 200);
    EXPECT_TRUE(bild == MenuMitZeiger(spiel, 320, 200));
    timeval t = {0, 0};
    int leer = 0;
    while (ggiEventPoll(vis, emAll, &t) == 0 && leer < 10)
        ++leer;
    gii_event e;
    ggiEventRead(vis, &e, emAll);
    EXPECT_EQ(e.any.type, evKeyPress);
    EXPECT_EQ(e.key.sym, static_cast<uint32_t>('q'));
}

TEST_F(MenuTest, UnexpectedEventsAreReported)
{
    Oeffne("1 raw 12\n"
           "1 raw 2\n"
           "1 raw 3\n"
           "1 keyup 'a'\n"
           "1 keyrepeat 'a'\n"
           "1 down 2\n"
           "1 up 2\n"
           "2 raw 1\n"
           "2 raw 4\n"
           "2 raw 13\n"
           "3 keydown 27\n");
    testing::internal::CaptureStdout();
    HauptMenu();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=12\n"
              "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=2\n"
              "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=1\n"
              "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=4\n"
              "Ein unerwartetes Ereignis ist aufgetreten: event.any.type=13\n");
}
