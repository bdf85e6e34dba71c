// A battle played in a real window on a virtual X server, with input from X, replays from its
// recording alone, headless, to the same pictures and the same outcome.

#include "support.h"

namespace {

using namespace test;

TEST(Aufnahme, AGameInTheWindowReplaysHeadlessToTheSamePictures)
{
    GameFolder fenster, wieder;
    // The window game's own part: combat vehicles set down by the enemy camp once the X input
    // is in, and a picture in the middle of the fight.
    Write(fenster / "fenster.ev", "300 pos 300 120\n301 keydown '6'\n302 keydown '6'\n303 keydown '6'\n"
                                  "304 pos 300 160\n305 keyrepeat '6'\n307 keydown '6'\n340 shot bild.ppm\n");
    // Real X input while the game runs: a helicopter and a trooper set down south-west, Tab,
    // and a move order for everything selected. SDL unloads the X libraries at exit, and what
    // they keep then looks leaked to LeakSanitizer; the headless replay runs with leak checks.
    Write(fenster / "fenster.sh",
          "unset SDL_VIDEODRIVER; export ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\"\n"
          "GGI_DISPLAY=display-sdl:-scale=1:-events=fenster.ev:-record=aufnahme.ev:-final=ende.ppm:-frames=1000 "
          "timeout 100 ./korvan >aus.txt & spiel=$!\n"
          "x='timeout 30 xdotool search --sync --onlyvisible --name ^korvan$'\n"
          "$x >/dev/null && $x mousemove --window %1 120 330 sleep 0.1 key 5 sleep 0.1 mousemove --window %1 150 300 "
          "sleep 0.1 key 3 sleep 0.1 key Tab sleep 0.1 mousemove --window %1 200 250 sleep 0.1 click 1\n"
          "gesendet=$?; wait $spiel && exit $gesendet\n");
    const Result r = Shell(fenster.path(), "timeout 120 xvfb-run -a -s '-screen 0 1280x1024x24' sh fenster.sh");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string aufnahme = Read(fenster / "aufnahme.ev");
    EXPECT_NE(aufnahme.find(" keydown '5'\n"), std::string::npos) << "the helicopter key came from X";
    EXPECT_NE(aufnahme.find("\n305 keyrepeat '6'\n"), std::string::npos) << "the script's events beside X";

    // The recording alone, with the shot put back among its lines, replays headless.
    std::string skript, zeile;
    for (std::istringstream s(aufnahme); std::getline(s, zeile);) {
        if (zeile[0] != '#' && std::stol(zeile) >= 340 && skript.find("shot") == std::string::npos)
            skript += "340 shot bild.ppm\n";
        skript += zeile + "\n";
    }
    Write(wieder / "wieder.ev", skript.find("shot") == std::string::npos ? skript + "340 shot bild.ppm\n" : skript);
    const Result w = Korvan(wieder.path(), "memory:-events=wieder.ev:-record=aufnahme.ev:-final=ende.ppm:-frames=1100");
    EXPECT_EQ(w.status, 0) << w.err;
    const std::string aus = Read(fenster / "aus.txt");
    EXPECT_EQ(w.out.substr(w.out.size() - 12), aus.substr(aus.size() - 12)) << "the same outcome";
    EXPECT_EQ(Read(wieder / "aufnahme.ev"), aufnahme) << "the same input in the same frames";
    for (const char *bild : {"ende.ppm", "bild.ppm"}) {
        EXPECT_FALSE(Read(fenster / bild).empty()) << bild;
        EXPECT_TRUE(Read(fenster / bild) == Read(wieder / bild)) << bild << " differs";
    }
}

}  // namespace
