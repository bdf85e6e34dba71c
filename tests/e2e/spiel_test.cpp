// Whole games through the built program: event scripts in, outcome, status and pictures out.
#include <sys/wait.h>

#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/lauf.h"

namespace {

using namespace lauf;

// The pixels of a 640 x 400 PPM picture as the game writes it; empty when it is not one.
std::string Pixel(const std::string &ppm)
{
    const std::string kopf = "P6\n640 400\n255\n";
    if (ppm.compare(0, kopf.size(), kopf) != 0 || ppm.size() != kopf.size() + 640 * 400 * 3)
        return "";
    return ppm.substr(kopf.size());
}

// A rectangle of screen pixels, borders included.
struct Feld {
    int x0, y0, x1, y1;
    bool Enthaelt(int x, int y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
};

// What one game left behind.
struct Partie {
    std::string aus, aufnahme;
    std::map<std::string, std::string> summen;  // picture name -> checksum
};

// Each test plays in a folder of its own, with the generated resources linked in.
class Spiel : public ::testing::Test {
protected:
    void SetUp() override { NeuerOrdner(); }

    void TearDown() override
    {
        for (const fs::path &o : alle)
            fs::remove_all(o);
    }

    // A fresh folder for the next game; the earlier ones stay until the test ends.
    void NeuerOrdner()
    {
        ordner = NeuerSpielOrdner("/tmp/korvan-e2e-XXXXXX");
        ASSERT_FALSE(ordner.empty());
        alle.push_back(ordner);
    }

    // Copies the script into the folder, without the lines that contain `ohne` (a marker
    // in the script's comments), so that one kept script also gives its control games.
    static void Schreibe(const std::string &skript, const fs::path &ziel, const std::string &ohne)
    {
        std::istringstream quelle(Lies(fs::path(KORVAN_SOURCE_DIR) / "tests/e2e/scripts" / skript));
        ASSERT_TRUE(quelle.rdbuf()->in_avail() > 0) << skript << " is missing or empty";
        std::ofstream aus(ziel, std::ios::binary);
        for (std::string zeile; std::getline(quelle, zeile);)
            if (ohne.empty() || zeile.find(ohne) == std::string::npos)
                aus << zeile << '\n';
    }

    // Plays the script; -frames ends a game that would otherwise run on, and every game
    // records what it was given.
    void Spiele(const std::string &skript, const std::string &optionen = "", int frames = 400,
                const std::string &ohne = "")
    {
        Schreibe(skript, ordner / skript, ohne);
        const std::string befehl = "cd '" + ordner.string() +
                                   "' && env -u DISPLAY -u WAYLAND_DISPLAY GGI_DISPLAY='memory:-events=" +
                                   skript + ":-frames=" + std::to_string(frames) +
                                   ":-record=aufnahme.ev" + optionen +
                                   "' ./korvan >aus.txt 2>fehler.txt </dev/null";
        const int s = std::system(befehl.c_str());
        ASSERT_TRUE(WIFEXITED(s));
        status = WEXITSTATUS(s);
        aus = Lies(ordner / "aus.txt");
        fehler = Lies(ordner / "fehler.txt");
    }

    // Plays the script in a fresh folder, with the final picture, and checks the exit status
    // and that the game finished cleanly. `bilder` are the pictures to take checksums of.
    Partie Runde(const std::string &skript, std::initializer_list<const char *> bilder,
                 int frames = 400, const std::string &ohne = "")
    {
        NeuerOrdner();
        Spiele(skript, ":-final=ende.ppm", frames, ohne);
        EXPECT_EQ(status, 0) << skript << ": " << fehler;
        EXPECT_EQ(fehler, "") << skript;
        EXPECT_EQ(aus.find("unerwartetes"), std::string::npos) << aus;
        Partie p;
        p.aus = aus;
        p.aufnahme = Lies(ordner / "aufnahme.ev");
        for (const char *b : bilder)
            p.summen[b] = Pruefsumme(ordner / b);
        p.summen["ende.ppm"] = Pruefsumme(ordner / "ende.ppm");
        EXPECT_NE(p.summen["ende.ppm"], "fehlt") << skript;
        return p;
    }

    // The same script twice, each time in a new folder: the same outcome, the same input
    // delivered and the same pictures. Returns the first game.
    Partie Zweimal(const std::string &skript, std::initializer_list<const char *> bilder,
                   int frames = 400, const std::string &ohne = "")
    {
        const Partie eins = Runde(skript, bilder, frames, ohne);
        const Partie zwei = Runde(skript, bilder, frames, ohne);
        EXPECT_EQ(eins.aus, zwei.aus) << skript;
        EXPECT_EQ(eins.aufnahme, zwei.aufnahme) << skript;
        EXPECT_EQ(eins.summen, zwei.summen) << skript;
        return eins;
    }

    // A picture the game wrote, header and pixels; empty when it is missing.
    std::string Bild(const std::string &name) const { return Lies(ordner / name); }

    bool Gibt(const std::string &name) const { return fs::exists(ordner / name); }

    // The tile number at a map pixel, from the mission file itself.
    int Kachel(int x, int y) const
    {
        const std::string karte = Lies(ordner / "mission/demo.mis");
        const size_t stelle = 4 + 2 * (static_cast<size_t>(y / 20) * 100 + x / 20);
        if (karte.size() < stelle + 2)
            return -1;
        const int lo = static_cast<uint8_t>(karte[stelle]), hi = static_cast<uint8_t>(karte[stelle + 1]);
        return static_cast<int16_t>(lo | hi << 8);
    }

    void PruefeVerloren() const
    {
        EXPECT_EQ(status, 0) << fehler;
        ASSERT_GE(aus.size(), VERLOREN.size());
        EXPECT_EQ(aus.substr(aus.size() - VERLOREN.size()), VERLOREN);
        EXPECT_EQ(aus.find("unerwartetes"), std::string::npos) << aus;
    }

    fs::path ordner;
    std::vector<fs::path> alle;
    int status = -1;
    std::string aus, fehler;
};

// Whether the game was given an Escape: without one it ended because a side was wiped out.
bool EscapeBekommen(const Partie &p)
{
    return p.aufnahme.find(" keydown 27\n") != std::string::npos;
}

int Zeilen(const std::string &text, const std::string &teil)
{
    int n = 0;
    for (size_t i = text.find(teil); i != std::string::npos; i = text.find(teil, i + 1))
        n++;
    return n;
}

TEST_F(Spiel, FrameSelectionMoveOrderAndEscape)
{
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    ASSERT_GE(Kachel(405, 245), 0);
    ASSERT_LE(Kachel(405, 245), 96) << "the script orders the units onto this tile";
    const std::string unterwegs = Bild("unterwegs.ppm");
    ASSERT_FALSE(unterwegs.empty());
    ASSERT_FALSE(Bild("gewaehlt.ppm").empty());
    EXPECT_NE(unterwegs, Bild("gewaehlt.ppm"));

    // The same input without the order: the selected units stay where they were.
    const fs::path erster = ordner;
    NeuerOrdner();
    Spiele("auswahl.ev");
    PruefeVerloren();
    EXPECT_EQ(Lies(erster / "gewaehlt.ppm"), Bild("gewaehlt.ppm"));
    EXPECT_NE(unterwegs, Bild("unterwegs.ppm"));
}

TEST_F(Spiel, SameScriptSamePictures)
{
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    const fs::path erster = ordner;
    const std::string erstesAus = aus;
    NeuerOrdner();
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    EXPECT_EQ(aus, erstesAus);
    for (const char *bild : {"gewaehlt.ppm", "unterwegs.ppm", "ende.ppm"}) {
        const std::string eins = Lies(erster / bild);
        EXPECT_FALSE(eins.empty()) << bild;
        EXPECT_EQ(eins, Bild(bild)) << bild;
    }
}

TEST_F(Spiel, MenuOpenedAndLeftThenEscapeEndsTheGame)
{
    Spiele("menue.ev");
    PruefeVerloren();
    const std::string menue = Bild("menue.ppm");
    const std::string danach = Bild("danach.ppm");
    ASSERT_FALSE(menue.empty());
    ASSERT_FALSE(danach.empty()) << "the first Escape closes only the menu";
    EXPECT_NE(menue, danach);
    EXPECT_FALSE(Gibt("zu_spaet.ppm")) << "the second Escape ends the game";
}

TEST_F(Spiel, EscapeFrameIsStillShown)
{
    // The last picture of a game ended by Escape is the frame the Escape came in, with the
    // pointer moved in that same frame.
    Spiele("escape.ev", ":-final=ende.ppm");
    PruefeVerloren();
    const std::string ende = Bild("ende.ppm");
    ASSERT_FALSE(ende.empty());

    NeuerOrdner();
    Spiele("escape_danach.ev");
    PruefeVerloren();
    EXPECT_EQ(ende, Bild("danach.ppm"));
    EXPECT_NE(ende, Bild("vorher.ppm"));
}

TEST_F(Spiel, StartViewWithTheOwnUnitsSelected)
{
    Spiele("start.ev");
    PruefeVerloren();
    const std::string start = Bild("start.ppm");
    ASSERT_FALSE(start.empty());
    EXPECT_NE(start, Bild("vorher.ppm")) << "selected units look different";
}

TEST_F(Spiel, TheWinningBattleEndsByItself)
{
    const Partie sieg = Zweimal("sieg.ev", {"kampf20.ppm", "kampf40.ppm", "vorbei.ppm"}, 3000);
    EXPECT_TRUE(EndetMit(sieg.aus, "\n" + GEWONNEN)) << sieg.aus;
    EXPECT_EQ(sieg.aus.find("verloren"), std::string::npos);
    EXPECT_FALSE(EscapeBekommen(sieg)) << sieg.aufnahme;
    EXPECT_NE(sieg.summen.at("kampf40.ppm"), "fehlt") << "the camp still stands at frame 40";
    EXPECT_EQ(sieg.summen.at("vorbei.ppm"), "fehlt") << "the game is over before frame 100";
    EXPECT_NE(sieg.summen.at("kampf20.ppm"), sieg.summen.at("kampf40.ppm"));
}

TEST_F(Spiel, TheLosingBattleEndsByItself)
{
    const Partie niederlage = Zweimal("niederlage.ev", {"unterwegs.ppm", "kampf.ppm"}, 3000);
    EXPECT_TRUE(EndetMit(niederlage.aus, VERLOREN)) << niederlage.aus;
    EXPECT_EQ(niederlage.aus.find("Bravo"), std::string::npos);
    EXPECT_FALSE(EscapeBekommen(niederlage)) << "the own side was wiped out, nobody gave up";
    EXPECT_NE(niederlage.summen.at("kampf.ppm"), "fehlt");
    EXPECT_NE(niederlage.summen.at("unterwegs.ppm"), niederlage.summen.at("kampf.ppm"));
}

TEST_F(Spiel, EscapeDuringTheBattleLosesIt)
{
    const Partie sieg = Runde("sieg.ev", {"kampf21.ppm"}, 3000);
    // Given up in frame 20 of the battle the own side was winning: the game is lost, and
    // its last picture is that frame.
    const Partie aufgegeben = Zweimal("sieg_escape.ev", {}, 3000);
    EXPECT_TRUE(EndetMit(aufgegeben.aus, VERLOREN)) << aufgegeben.aus;
    EXPECT_TRUE(EndetMit(aufgegeben.aufnahme, "\n20 keydown 27\n")) << aufgegeben.aufnahme;
    EXPECT_EQ(aufgegeben.summen.at("ende.ppm"), sieg.summen.at("kampf21.ppm"));
}

TEST_F(Spiel, TheMenuStopsTheBattleUntilItIsLeft)
{
    const Partie sieg = Runde("sieg.ev", {"kampf16.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 3000);
    const Partie menue = Zweimal("sieg_menue.ev", {"menue.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 3000);
    EXPECT_TRUE(EndetMit(menue.aus, GEWONNEN)) << menue.aus;
    EXPECT_EQ(Zeilen(menue.aufnahme, " keydown 27\n"), 1) << "the only Escape closes the menu";
    // The menu's eleven frames, counted from the frame it opened in, are missing from the
    // battle: after them it goes on exactly as without the menu.
    for (const char *bild : {"kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}) {
        EXPECT_NE(menue.summen.at(bild), "fehlt") << bild;
        EXPECT_EQ(menue.summen.at(bild), sieg.summen.at(bild)) << bild;
    }
    EXPECT_NE(menue.summen.at("menue.ppm"), sieg.summen.at("kampf16.ppm"));
    EXPECT_NE(menue.summen.at("menue.ppm"), "fehlt");
}

TEST_F(Spiel, TheEditorOverlayCoversTheBattleWithoutChangingIt)
{
    const Partie sieg = Runde("sieg.ev", {"kampf16.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 3000);
    const Partie editor = Zweimal("sieg_editor.ev", {"editor.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 3000);
    EXPECT_TRUE(EndetMit(editor.aus, GEWONNEN)) << editor.aus;
    EXPECT_NE(editor.summen.at("editor.ppm"), "fehlt");
    EXPECT_NE(editor.summen.at("editor.ppm"), sieg.summen.at("kampf16.ppm")) << "the overlay shows";
    for (const char *bild : {"kampf20.ppm", "kampf30.ppm", "kampf40.ppm"})
        EXPECT_EQ(editor.summen.at(bild), sieg.summen.at(bild)) << bild;
}

TEST_F(Spiel, BothSidesTakeFortyNineUnitsAndRefuseTheFiftieth)
{
    const Partie voll = Zweimal("aufstellen.ev", {"voll.ppm", "voll40.ppm"});
    EXPECT_TRUE(EndetMit(voll.aus, VERLOREN)) << voll.aus;
    // Every unit key reached the game, the refused ones included: 42 own units, 29 enemy
    // units and four more.
    int tasten = 0;
    for (const char *k : {"'1'", "'2'", "'3'", "'4'", "'5'", "'6'", "'a'", "'b'", "'c'", "'d'"}) {
        const int n = Zeilen(voll.aufnahme, std::string(" keydown ") + k + "\n") +
                      Zeilen(voll.aufnahme, std::string(" keyrepeat ") + k + "\n");
        EXPECT_GE(n, 7) << k;
        tasten += n;
    }
    EXPECT_EQ(tasten, 42 + 29 + 4);

    // Without the refused presses the pictures are the same; without the last accepted
    // unit of each side they are not.
    const Partie ohneZuviel = Runde("aufstellen.ev", {"voll.ppm", "voll40.ppm"}, 400, "# refused");
    EXPECT_EQ(ohneZuviel.summen, voll.summen);
    const Partie ohneLetzte = Runde("aufstellen.ev", {"voll.ppm", "voll40.ppm"}, 400, "# 49th");
    EXPECT_NE(ohneLetzte.summen.at("voll.ppm"), voll.summen.at("voll.ppm"));
}

TEST_F(Spiel, ThePaceGoesBothWaysAndStopsAtItsEnds)
{
    const std::initializer_list<const char *> bilder = {"langsam.ppm", "spaet.ppm"};
    const Partie tempo = Zweimal("tempo.ev", bilder, 3000);
    EXPECT_TRUE(EndetMit(tempo.aus, GEWONNEN)) << tempo.aus;
    EXPECT_FALSE(EscapeBekommen(tempo));
    // At pace 1 the battle is over by frame 65 (see sieg.ev); at pace 10 it still goes on
    // at frame 100, and once sped up again it is over before frame 200.
    EXPECT_NE(tempo.summen.at("langsam.ppm"), "fehlt");
    EXPECT_EQ(tempo.summen.at("spaet.ppm"), "fehlt");

    const Partie bleibtLangsam = Runde("tempo.ev", bilder, 3000, "150 ");
    EXPECT_TRUE(EndetMit(bleibtLangsam.aus, GEWONNEN)) << bleibtLangsam.aus;
    EXPECT_EQ(bleibtLangsam.summen.at("langsam.ppm"), tempo.summen.at("langsam.ppm"));
    EXPECT_NE(bleibtLangsam.summen.at("spaet.ppm"), "fehlt") << "still fighting at pace 10";

    // "+" at pace 1 and "-" at pace 10 do nothing; pace 8 is not pace 10.
    EXPECT_EQ(Runde("tempo.ev", bilder, 3000, "# beyond").summen, tempo.summen);
    EXPECT_NE(Runde("tempo.ev", bilder, 3000, "keyrepeat '-'").summen.at("langsam.ppm"),
              tempo.summen.at("langsam.ppm"));
}

TEST_F(Spiel, ScrollingReachesAllFourLimitsOfTheMap)
{
    const std::initializer_list<const char *> ecken = {"rechts_oben.ppm", "rechts_unten.ppm",
                                                      "links_unten.ppm", "links_oben.ppm"};
    const Partie rand = Zweimal("rand_scrollen.ev", ecken);
    const Partie ziehen = Zweimal("ziehen.ev", ecken);
    const Partie ruhe = Runde("ruhe.ev", ecken);
    for (const Partie *p : {&rand, &ziehen})
        EXPECT_TRUE(EndetMit(p->aus, VERLOREN)) << p->aus;
    // Pushing against the edges and dragging, with their different steps and glides, stop
    // at the same four map windows: the limits of the map.
    for (const char *ecke : ecken) {
        EXPECT_NE(rand.summen.at(ecke), "fehlt") << ecke;
        EXPECT_EQ(rand.summen.at(ecke), ziehen.summen.at(ecke)) << ecke;
    }
    for (auto a = ecken.begin(); a != ecken.end(); ++a)
        for (auto b = a + 1; b != ecken.end(); ++b)
            EXPECT_NE(rand.summen.at(*a), rand.summen.at(*b)) << *a << " " << *b;
    // Back at the top-left corner, the view is the one of a game that never scrolled.
    EXPECT_EQ(rand.summen.at("links_oben.ppm"), ruhe.summen.at("links_oben.ppm"));
    EXPECT_NE(rand.summen.at("rechts_oben.ppm"), ruhe.summen.at("rechts_oben.ppm"));
}

TEST_F(Spiel, SelectionFramesEitherWayAndTheirCommandEquivalents)
{
    const std::initializer_list<const char *> bilder = {"gewaehlt.ppm", "leer.ppm"};
    const Partie vor = Zweimal("rahmen.ev", bilder);
    const Partie rueck = Zweimal("rahmen_rueckwaerts.ev", bilder);
    const Partie befehle = Zweimal("abwahl.ev", bilder);
    EXPECT_NE(vor.summen.at("gewaehlt.ppm"), "fehlt");
    EXPECT_NE(vor.summen.at("gewaehlt.ppm"), vor.summen.at("leer.ppm")) << "the selection shows";
    // A frame drawn backwards selects the same units; a frame around the troopers does
    // what Tab does here, and a frame over open ground what a right click does.
    EXPECT_EQ(rueck.summen, vor.summen);
    EXPECT_EQ(befehle.summen, vor.summen);
}

TEST_F(Spiel, AnAttackOrderDestroysItsTargetAndNoOtherUnit)
{
    const Partie angriff = Zweimal("angriff.ev", {"treffer.ppm", "danach.ppm"});
    EXPECT_TRUE(EndetMit(angriff.aus, VERLOREN)) << angriff.aus;
    const std::string mit = Pixel(Lies(ordner / "danach.ppm"));
    Runde("angriff.ev", {"danach.ppm"}, 400, "# attack order");
    const std::string ohne = Pixel(Lies(ordner / "danach.ppm"));
    ASSERT_FALSE(mit.empty());
    ASSERT_EQ(mit.size(), ohne.size());

    // The two games differ where the lone enemy stood and in the enemy count of the panel,
    // and nowhere else.
    const Feld ziel{365, 70, 410, 110}, zahl{390, 8, 415, 24};
    int imZiel = 0, inDerZahl = 0, anderswo = 0;
    for (size_t i = 0; i < mit.size(); i += 3) {
        if (mit.compare(i, 3, ohne, i, 3) == 0)
            continue;
        const int x = static_cast<int>(i / 3 % 640), y = static_cast<int>(i / 3 / 640);
        if (ziel.Enthaelt(x, y))
            imZiel++;
        else if (zahl.Enthaelt(x, y))
            inDerZahl++;
        else
            anderswo++;
    }
    EXPECT_GT(imZiel, 0);
    EXPECT_GT(inDerZahl, 0);
    EXPECT_EQ(anderswo, 0);
}

}  // namespace
