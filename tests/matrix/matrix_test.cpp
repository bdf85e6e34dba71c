// Every resource file damaged every way, each time the real game run: its message, its exit
// status, and never a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What the game says: its two outcomes, the last progress line before the sprites, the map
// and the numbers are read, and the stops of the numbers' reader.
const std::string SIEG = "Bravo, du hast gewonnen!\n";
const std::string VERLOREN = "\n\nDu hast diese Zeit verloren!\n";
const std::string TERRAIN_GELADEN = "Terrain geladen.\n";
const std::string NUM_ENDET = "Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!";
const std::string NUM_LANG = "Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!";
// The mission, as the map's messages name it.
const char *const KARTE = "mission/demo.mis";

// Rocket troopers and combat vehicles set down beside the enemy: they win within about
// 80 frames, so explosions, rockets and smoke are all drawn before the end.
const char *const KAMPF =
    "1 pos 330 110\n"
    "2 keydown '6'\n"
    "3 keyrepeat '6'\n"
    "4 keyrepeat '6'\n"
    "5 pos 330 180\n"
    "6 keydown '6'\n"
    "7 keyrepeat '6'\n"
    "8 keydown '2'\n"
    "9 keyrepeat '2'\n"
    "10 keyrepeat '2'\n";

std::string Lies(const fs::path &name)
{
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void Schreibe(const fs::path &name, const std::string &inhalt)
{
    std::ofstream(name, std::ios::binary) << inhalt;
}

std::string Zufall(std::mt19937 &z, size_t n)
{
    std::string s(n, '\0');
    for (char &c : s)
        c = char(z());
    return s;
}

// How the game takes each file.
enum class Lader { Ganz, Sprites, Nummern, Karte, Palette };

struct Datei {
    const char *pfad;
    Lader lader;
    const char *text;  // the name the progress lines give it
};

// The eleven resource files, in the order the game loads them (the palette comes last, when
// the display is open).
const Datei DATEIEN[] = {
    {"resource/font-01.rsc", Lader::Ganz, "Schrift"},
    {"resource/maus.rsc", Lader::Ganz, "Mauszeiger"},
    {"resource/terrain.rsc", Lader::Ganz, "Terrain"},
    {"resource/lsprites.rsc", Lader::Sprites, nullptr},
    {"resource/ksprites.rsc", Lader::Sprites, nullptr},
    {"resource/hsprites.rsc", Lader::Sprites, nullptr},
    {"resource/mann.num", Lader::Nummern, nullptr},
    {"mission/demo.mis", Lader::Karte, nullptr},
    {"resource/explose.rsc", Lader::Ganz, "Explosionen"},
    {"resource/rauch.rsc", Lader::Ganz, "Rauch"},
    {"data/system.pal", Lader::Palette, nullptr},
};

enum class Schaden { Fehlt, Leer, EinByte, Gekuerzt, Uebergross, Zufall, Ordner };

const char *Name(Schaden s)
{
    switch (s) {
    case Schaden::Fehlt: return "missing";
    case Schaden::Leer: return "empty";
    case Schaden::EinByte: return "one_byte";
    case Schaden::Gekuerzt: return "truncated";
    case Schaden::Uebergross: return "oversized";
    case Schaden::Zufall: return "random";
    default: return "folder";
    }
}

void PrintTo(Schaden s, std::ostream *o) { *o << Name(s); }

// The bytes the game finds after the damage: none in a missing file or a folder.
std::string Beschaedigt(const std::string &alt, Schaden s, std::mt19937 &z)
{
    switch (s) {
    case Schaden::Fehlt:
    case Schaden::Ordner:
    case Schaden::Leer: return "";
    case Schaden::EinByte: return alt.substr(0, 1);
    case Schaden::Gekuerzt: return alt.substr(0, alt.size() / 2);
    case Schaden::Uebergross: return alt + Zufall(z, 1000000);
    default: return Zufall(z, alt.size());
    }
}

// What the map check says of a mission file with these tile pictures; empty when it passes.
std::string KartenMeldung(const std::string &mis, size_t terrainBytes)
{
    char s[300];
    const int breite = mis.size() >= 4 ? uint8_t(mis[2]) : 0;
    const int hoehe = mis.size() >= 4 ? uint8_t(mis[3]) : 0;
    if (breite > 98 || hoehe > 98) {
        snprintf(s, sizeof s,
                 "Die Karte '%s' ist zu gro\xdf (%d x %d Felder, h\xf6" "chstens 98 x 98)!", KARTE,
                 breite, hoehe);
        return s;
    }
    if (breite < 32 || hoehe < 21) {
        snprintf(s, sizeof s, "Die Karte '%s' ist zu klein (%d x %d Felder, mindestens 32 x 21)!",
                 KARTE, breite, hoehe);
        return s;
    }
    // Cells the file does not reach hold tile 0.
    auto kachel = [&mis](int y, int x) {
        const size_t i = 4 + 2 * size_t(y * 100 + x);
        return i + 1 < mis.size() ? int(int16_t(uint8_t(mis[i]) | uint8_t(mis[i + 1]) << 8)) : 0;
    };
    const int kacheln = int(terrainBytes / 400);
    for (int y = 0; y <= hoehe; ++y)
        for (int x = 0; x <= breite; ++x)
            if (kachel(y, x) < 0 || kachel(y, x) >= kacheln) {
                snprintf(s, sizeof s,
                         "Die Karte '%s' enth\xe4lt in Zeile %d, Spalte %d die Kachel %d, die es "
                         "nicht gibt!",
                         KARTE, y, x, kachel(y, x));
                return s;
            }
    int animiert = 0;
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x) {
            const int k = kachel(y, x);
            const int ende = k == 662 ? 675 : k == 676 ? 687 : k == 700 ? 706 : 0;
            if (ende == 0)
                continue;
            if (ende > kacheln) {
                snprintf(s, sizeof s,
                         "Die Karte '%s' zeigt in Zeile %d, Spalte %d eine Animation bis zur "
                         "Kachel %d, die es nicht gibt!",
                         KARTE, y, x, ende - 1);
                return s;
            }
            ++animiert;
        }
    if (animiert > 100) {
        snprintf(s, sizeof s,
                 "Die Karte '%s' hat %d animierte Felder, m\xf6glich sind h\xf6" "chstens 100!",
                 KARTE, animiert);
        return s;
    }
    return "";
}

// What a run must show: its status, its standard error (one of these texts), its standard
// output (the intact game's up to and including `bis`, then `dann`), or, for a game that
// runs, the intact game's output with the outcome the damage allows.
struct Erwartung {
    int status = 0;
    std::vector<std::string> fehler{""};
    std::string bis, dann;
    bool laeuft = false;
    bool sieg = false;  // the damage changes only pictures: the battle goes as without it
};

Erwartung Stopp(const std::string &meldung, const std::string &bis)
{
    Erwartung e;
    e.status = 1;
    e.fehler = {meldung};
    e.bis = bis;
    return e;
}

Erwartung Lauf(bool sieg)
{
    Erwartung e;
    e.laeuft = true;
    e.sieg = sieg;
    return e;
}

// A folder of the game's own with copies of the generated resources, and runs in it.
struct Spielordner {
    void Anlegen()
    {
        char muster[] = "/tmp/korvan-matrix-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
        const fs::path lauf = KORVAN_RUN_DIR;
        for (const char *teil : {"resource", "data", "mission"})
            fs::copy(lauf / teil, ordner / teil, fs::copy_options::recursive);
        fs::create_symlink(lauf / "korvan", ordner / "korvan");
        Schreibe(ordner / "kampf.ev", KAMPF);
    }

    void Entfernen()
    {
        if (!ordner.empty())
            fs::remove_all(ordner);
    }

    void Starte()
    {
        const std::string befehl =
            "cd '" + ordner.string() +
            "' && env -u DISPLAY -u WAYLAND_DISPLAY "
            "GGI_DISPLAY='memory:-events=kampf.ev:-frames=400:-final=ende.ppm' "
            "./korvan >aus.txt 2>fehler.txt </dev/null";
        const int s = std::system(befehl.c_str());
        ASSERT_TRUE(WIFEXITED(s)) << "ended by a signal";
        status = WEXITSTATUS(s);
        aus = Lies(ordner / "aus.txt");
        fehler = Lies(ordner / "fehler.txt");
    }

    // Whether the last picture shown is black all over.
    bool Schwarz() const
    {
        const std::string ppm = Lies(ordner / "ende.ppm");
        const std::string kopf = "P6\n640 400\n255\n";
        if (ppm.size() != kopf.size() + 640 * 400 * 3 || ppm.compare(0, kopf.size(), kopf) != 0)
            return false;
        return ppm.find_first_not_of('\0', kopf.size()) == std::string::npos;
    }

    fs::path ordner;
    int status = -1;
    std::string aus, fehler;
};

// The intact game's output, from a run of its own, the same for every test.
const std::string &Unversehrt()
{
    static std::string aus;
    if (aus.empty()) {
        Spielordner o;
        o.Anlegen();
        o.Starte();
        aus = o.aus;
        o.Entfernen();
    }
    return aus;
}

class ImSpielordner : public ::testing::Test, protected Spielordner {
protected:
    void SetUp() override { Anlegen(); }
    void TearDown() override { Entfernen(); }

    // Checks the last run against what it must show.
    void Pruefe(const Erwartung &e)
    {
        EXPECT_EQ(status, e.status) << aus << fehler;
        bool bekannt = false;
        for (const std::string &f : e.fehler)
            bekannt |= fehler == f;
        EXPECT_TRUE(bekannt) << "standard error: '" << fehler << "', expected '" << e.fehler[0] << "'";

        const std::string &ganz = Unversehrt();
        ASSERT_TRUE(ganz.ends_with(SIEG)) << ganz;
        if (e.laeuft) {
            const std::string vorher = ganz.substr(0, ganz.size() - SIEG.size());
            if (e.sieg)
                EXPECT_EQ(aus, ganz);
            else
                EXPECT_TRUE(aus == ganz || aus == vorher + VERLOREN) << aus;
            return;
        }
        const size_t stelle = ganz.find(e.bis);
        ASSERT_NE(stelle, std::string::npos) << e.bis;
        EXPECT_EQ(aus, ganz.substr(0, stelle + e.bis.size()) + e.dann);
    }
};

// One file, one kind of damage.
class Matrix : public ImSpielordner, public ::testing::WithParamInterface<std::tuple<int, Schaden>> {
protected:
    // What the game must do with the damaged file `neu` in place of `alt`.
    Erwartung Erwarte(const Datei &d, Schaden s, const std::string &alt, const std::string &neu) const
    {
        const std::string name = fs::path(d.pfad).filename().string();
        switch (d.lader) {
        case Lader::Ganz: {
            const std::string lade = std::string("Lade ") + d.text + " ...\n";
            if (s == Schaden::Fehlt)
                return Stopp(std::string("Kann '") + d.pfad + "' nicht laden!", lade);
            if (s == Schaden::Leer || s == Schaden::Ordner)
                return Stopp("Datei nicht lesbar!", lade);
            if (name == "terrain.rsc") {
                const std::string m = KartenMeldung(Lies(ordner / KARTE), neu.size());
                if (!m.empty())
                    return Stopp(m, TERRAIN_GELADEN);
            }
            return Lauf(true);
        }
        case Lader::Sprites: {
            if (s == Schaden::Fehlt) {
                Erwartung e;
                e.bis = TERRAIN_GELADEN;
                e.dann = "\n\nERROR: Kann '" + name + "' nicht laden!\n\n";
                return e;
            }
            // The three files fill one buffer of 900,000 bytes, in this order.
            size_t summe = 0;
            for (const char *n : {"lsprites.rsc", "ksprites.rsc", "hsprites.rsc"}) {
                summe += n == name ? neu.size() : fs::file_size(ordner / "resource" / n);
                if (summe > 900000)
                    return Stopp(std::string("Die Sprite-Datei '") + n +
                                     "' passt nicht mehr in den Puffer (900000 Bytes)!",
                                 TERRAIN_GELADEN);
            }
            return Lauf(true);
        }
        case Lader::Nummern: {
            if (s == Schaden::Fehlt)
                return Stopp("Kann 'resource/mann.num' nicht laden!", TERRAIN_GELADEN);
            if (s == Schaden::Uebergross)
                return Lauf(true);
            Erwartung e = Stopp(NUM_ENDET, TERRAIN_GELADEN);
            // Random bytes break the layout one way or the other.
            if (s == Schaden::Zufall)
                e.fehler.push_back(NUM_LANG);
            return e;
        }
        case Lader::Karte: {
            if (s == Schaden::Fehlt)
                return Stopp("Kann Datei 'mission/demo.mis' nicht laden!", TERRAIN_GELADEN);
            const std::string m = KartenMeldung(neu, fs::file_size(ordner / "resource/terrain.rsc"));
            if (!m.empty())
                return Stopp(m, TERRAIN_GELADEN);
            // Bytes past the map change nothing; a map cut short is open ground where the
            // file ends, and the battle may go otherwise.
            return Lauf(neu.size() > alt.size());
        }
        default:
            return Lauf(true);
        }
    }
};

TEST_P(Matrix, StopsWithItsMessageOrPlaysToTheEnd)
{
    const Datei &d = DATEIEN[std::get<0>(GetParam())];
    const Schaden s = std::get<1>(GetParam());
    const fs::path datei = ordner / d.pfad;
    const std::string alt = Lies(datei);
    ASSERT_FALSE(alt.empty());

    std::mt19937 z(std::get<0>(GetParam()) * 10 + int(s));
    const std::string neu = Beschaedigt(alt, s, z);
    fs::remove(datei);
    if (s == Schaden::Ordner)
        fs::create_directory(datei);
    else if (s != Schaden::Fehlt)
        Schreibe(datei, neu);

    const Erwartung e = Erwarte(d, s, alt, neu);
    Starte();
    Pruefe(e);
    if (d.lader == Lader::Palette) {
        // Without a whole palette every colour is black; with one, the picture shows.
        const bool ganz = s == Schaden::Uebergross || s == Schaden::Zufall;
        EXPECT_EQ(Schwarz(), !ganz);
    }
}

std::string FallName(const ::testing::TestParamInfo<std::tuple<int, Schaden>> &info)
{
    std::string n = fs::path(DATEIEN[std::get<0>(info.param)].pfad).filename().string();
    for (char &c : n)
        if (!isalnum((unsigned char)c))
            c = '_';
    return n + "_" + Name(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(EveryFile, Matrix,
                         ::testing::Combine(::testing::Range(0, int(std::size(DATEIEN))),
                                            ::testing::Values(Schaden::Fehlt, Schaden::Leer,
                                                              Schaden::EinByte, Schaden::Gekuerzt,
                                                              Schaden::Uebergross, Schaden::Zufall,
                                                              Schaden::Ordner)),
                         FallName);

using Ressourcen = ImSpielordner;

TEST_F(Ressourcen, IntactOnesWinTheBattle)
{
    Starte();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fehler, "");
    EXPECT_TRUE(aus.ends_with("\n\n" + SIEG)) << aus;
    EXPECT_FALSE(Schwarz());
}

// Sprite-layout numbers of any value the file can hold choose only pictures: a frame outside
// the sprites is not drawn, and the battle goes as always.
TEST_F(Ressourcen, SpriteNumbersOfAnyValue)
{
    const std::string alt = Lies(ordner / "resource/mann.num");
    for (uint32_t saat : {1u, 2u, 3u, 4u}) {
        std::mt19937 z(saat);
        std::string num;
        for (int i = 0; i < 41; ++i) {
            // The extremes first, then anything from -999 to 9999.
            const int wert = saat == 1 ? 9999 : saat == 2 ? -999 : int(z() % 11000) - 999;
            num += "N" + std::to_string(i) + "=" + std::to_string(wert) + ":\n";
        }
        Schreibe(ordner / "resource/mann.num", num);
        Starte();
        SCOPED_TRACE("seed " + std::to_string(saat));
        Pruefe(Lauf(true));
    }
    Schreibe(ordner / "resource/mann.num", alt);
}

// Maps of any allowed size and tiles: units start in obstacles, routes run through random
// runs of them, and the game still plays to its end.
TEST_F(Ressourcen, MapsOfAnySizeAndTiles)
{
    const int kacheln = int(fs::file_size(ordner / "resource/terrain.rsc") / 400);
    ASSERT_GE(kacheln, 706) << "the animations need tiles up to 705";
    for (uint32_t saat : {1u, 2u, 3u, 4u, 5u}) {
        std::mt19937 z(saat);
        const int breite = saat == 1 ? 32 : saat == 2 ? 98 : 32 + int(z() % 67);
        const int hoehe = saat == 1 ? 21 : saat == 2 ? 98 : 21 + int(z() % 78);
        std::string mis = {'M', 'K', char(breite), char(hoehe)};
        // Mostly open ground, with obstacles and animations in between.
        for (int i = 0; i < 100 * 100; ++i) {
            const int wahl = int(z() % 200);
            const int k = wahl < 120 ? int(z() % 96) : wahl < 199 ? int(z() % kacheln)
                                                                   : (i % 2 ? 662 : 700);
            mis += char(k & 0xff);
            mis += char(k >> 8);
        }
        ASSERT_EQ(KartenMeldung(mis, size_t(kacheln) * 400), "");
        Schreibe(ordner / KARTE, mis);
        Starte();
        SCOPED_TRACE("seed " + std::to_string(saat));
        Pruefe(Lauf(false));
    }
}

}  // namespace
