// The game in a terminal under tmux: its picture as characters, played by keys, a scripted game as headless, stops
// that leave the terminal usable.
#include "support.h"

namespace {

using namespace test;

const auto Picture = Tmux::Filled;

// The start picture; 'h' opens the menu, which changes it and holds it still; Escape closes the menu, Escape ends the
// game with its outcome on the terminal given back, every key as the window gives it.
TEST(Terminal, PlayedByKeys)
{
    GameFolder dir;
    Tmux t(dir.path());
    t.Start("GGI_DISPLAY=terminal:-record=rec ./korvan 2>err");
    const std::string start = t.Await(Picture);
    ASSERT_TRUE(Picture(start)) << start;
    // Each key once the one before has been delivered: the menu opens, changes the picture and closes.
    for (const std::string key : {"h", "Escape", "Escape"}) {
        const std::string before = t.Screen(), rec = Read(dir / "rec");
        t.Do("send-keys " + key);
        for (int i = 0; i < 300 && Read(dir / "rec").size() <= rec.size(); i++)
            usleep(100000);
        if (key == "h") {
            // The menu holds the battle still: the screen comes to rest, as it never does while the battle runs.
            std::string last;
            int same = 0;
            const std::string menu =
                t.Await([&](const std::string &s) { return same = s == last ? same + 1 : 0, last = s, same >= 3; });
            EXPECT_TRUE(Picture(menu) && same >= 3 && menu != before) << menu;
        }
    }
    EXPECT_EQ(t.Status(), "0\n");
    EXPECT_NE(t.Screen().find("Du hast diese Zeit verloren!"), std::string::npos) << t.Screen();
    EXPECT_TRUE(t.Restored());
    EXPECT_NE(Read(dir / "rec").find("keydown 'h'\n"), std::string::npos) << Read(dir / "rec");
}

// A scripted game ends in a terminal as it ends headless: the same last picture, the same outcome.
TEST(Terminal, ScriptedAsHeadless)
{
    GameFolder dir;
    fs::copy(fs::path(KORVAN_SOURCE_DIR) / "tests/game/scripts/sieg.ev", dir / "sieg.ev");
    const Result headless = Korvan(dir.path(), "memory:-events=sieg.ev:-frames=3000:-final=memory.ppm");
    Tmux t(dir.path());
    t.Start("GGI_DISPLAY=terminal:-events=sieg.ev:-frames=3000:-final=terminal.ppm ./korvan >out 2>err");
    EXPECT_EQ(t.Status(), "0\n");
    EXPECT_EQ(Read(dir / "terminal.ppm"), Read(dir / "memory.ppm"));
    EXPECT_TRUE(headless.out.ends_with("Bravo, du hast gewonnen!\n")) << headless.out;
    EXPECT_TRUE(Read(dir / "out").ends_with("Bravo, du hast gewonnen!\n")) << Read(dir / "out");
}

// A stop after the display opened (a resource missing), an unknown terminal type and a signal give the terminal back;
// the stop's message and what the game printed meanwhile are on it.
TEST(Terminal, StopsGiveTheTerminalBack)
{
    GameFolder dir;
    fs::rename(dir / "data/system.pal", dir / "pal");
    Tmux t(dir.path());
    t.Start("GGI_DISPLAY=terminal ./korvan");
    EXPECT_EQ(t.Status(), "1\n");
    EXPECT_NE(t.Screen().find("GGI-Visual ok.\n"), std::string::npos) << t.Screen();
    EXPECT_NE(t.Screen().find("Kann 'data/system.pal' nicht laden!\n"), std::string::npos) << t.Screen();
    EXPECT_TRUE(t.Restored());
    fs::rename(dir / "pal", dir / "data/system.pal");
    // A terminal type the machine does not know is refused before the terminal is touched.
    t.Start("TERM=no-such-terminal GGI_DISPLAY=terminal ./korvan 2>err");
    EXPECT_EQ(t.Status(), "1\n");
    EXPECT_NE(Read(dir / "err").find("the terminal type TERM=no-such-terminal is not known here"), std::string::npos);
    EXPECT_TRUE(t.Restored());
    t.Start("GGI_DISPLAY=terminal sh -c 'echo $$ >pid; exec ./korvan' >/dev/null");
    ASSERT_TRUE(Picture(t.Await(Picture)));
    kill(std::stoi(Read(dir / "pid")), SIGTERM);
    EXPECT_EQ(t.Status(), "143\n");
    EXPECT_TRUE(t.Restored());
}

}  // namespace
