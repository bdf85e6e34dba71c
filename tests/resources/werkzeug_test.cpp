// The resource generator and the mission compiler: broken sources named by file and line,
// maps the game cannot hold refused, the demo mission's text round trip.

#include "support.h"

namespace {

using namespace test;

const std::string TOOLS = KORVAN_BINARY_DIR "/tools/";

TEST(Werkzeug, TheProjectsArtIsWellFormedAndFaultsAreNamed)
{
    EXPECT_EQ(Shell(KORVAN_SOURCE_DIR, TOOLS + "korvan_resgen --art tools/art --check").status, 0);
    const std::string legende = "legend l\n. transparent\nX white\nend\n";
    const std::pair<std::string, std::string> faelle[] = {
        {legende + "picture p 3 2 l\n.X.\n.Y.\n", ":7: the character 'Y' of 'p' is not in the legend 'l'"},
        {"legend l\nX no.such.colour\nend\n", ":2: no colour named 'no.such.colour' in the palette"},
        // The palette alone: the font is made first, and its first glyph is missing.
        {"", "@no picture named 'glyph.00'"},
    };
    for (const auto &[art, meldung] : faelle) {
        Folder ordner;
        fs::copy_file(KORVAN_SOURCE_DIR "/tools/art/palette.txt", ordner / "palette.txt");
        Write(ordner / "bad.txt", art);
        const Result r = Shell(ordner.path(), TOOLS + "korvan_resgen --art . --check");
        EXPECT_EQ(r.status, 1) << meldung;
        const std::string ort = meldung[0] == '@' ? "" : "./bad.txt";
        EXPECT_EQ(r.err, "korvan_resgen: " + ort + meldung.substr(meldung[0] == '@') + "\n");
    }
}

TEST(Werkzeug, TheMissionCompilerRefusesMapsTheGameCannotHold)
{
    auto karte = [](const std::string &zeile5, const std::string &danach = "") {
        std::string text = "sign KM\nsize 32 21\nmap\n";
        for (int r = 0; r < 21; ++r)
            text.append(r == 5 ? zeile5 : std::string(32, '.')).append("\n");
        return text + "end\n" + danach;
    };
    std::string hundertEins;
    for (int i = 0; i < 101; ++i)
        hundertEins += "tile " + std::to_string(i % 32) + " " + std::to_string(i / 32) + " 700\n";
    const std::pair<std::string, std::string> faelle[] = {
        {"sign KM\nsize 99 40\nmap\n", "m.txt:2: a map is 32 to 98 tiles wide and 21 to 98 tiles high"},
        {karte(std::string(31, '.') + '?'), "m.txt:9: '?' in column 31 is no map character"},
        // Moving water shows open water only, so it needs water all round.
        {karte("...~~~..w" + std::string(23, '.')), "moving water at 8, 5 needs water on all eight sides"},
        // The obstacle scan reads one cell past the map.
        {karte(std::string(32, '.'), "tile 32 3 150\n"),
         "the cell 32, 3 just past the map must be open ground, not tile 150"},
        {karte(std::string(32, '.'), hundertEins), "the map has 101 moving tiles, the game animates at most 100"},
    };
    Folder ordner;
    for (const auto &[text, meldung] : faelle) {
        Write(ordner / "m.txt", text);
        const Result r = Shell(ordner.path(), TOOLS + "korvan_mission compile m.txt m.mis");
        EXPECT_EQ(r.status, 1) << meldung;
        EXPECT_EQ(r.err, "korvan_mission: " + meldung + "\n");
    }
    Write(ordner / "kurz.mis", "KM");
    EXPECT_EQ(Shell(ordner.path(), TOOLS + "korvan_mission decompile kurz.mis x.txt").err,
              "korvan_mission: a mission file has 20004 bytes, this one 2\n");
    // The demo mission comes back unchanged through its text.
    const std::string demo = KORVAN_RUN_DIR "/mission/demo.mis";
    EXPECT_EQ(Shell(ordner.path(), TOOLS + "korvan_mission decompile " + demo + " d.txt && " + TOOLS +
                                       "korvan_mission compile d.txt d.mis")
                  .status,
              0);
    EXPECT_EQ(Read(ordner / "d.mis"), Read(demo));
}

}  // namespace
