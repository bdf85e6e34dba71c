// Every committed fuzzer input replayed through the fuzzers' own feeds, so that what they once
// found stays mended in every build, with or without clang: each of the game's inputs is
// taken or refused as its name says, refusals with their message.

#include "../../fuzz/feed.h"
#include "support.h"

namespace {

using namespace test;

TEST(Korpus, EveryInputIsTakenOrRefusedAsItsNameSays)
{
    const std::pair<const char *, feed::Outcome (*)(const uint8_t *, size_t)> ziele[] = {{"mission", feed::Mission},
                                                                                         {"mannnum", feed::MannNum},
                                                                                         {"game_pcx", feed::GamePcx},
                                                                                         {"script", feed::Script},
                                                                                         {"pcx", feed::ViewerPcx}};
    const char *ende = "Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!";
    const std::map<std::string, const char *> meldungen = {
        {"refused-empty.mission", "Die Karte 'DATEI' ist zu klein (0 x 0 Felder, mindestens 32 x 21)!"},
        {"refused-tile-beyond-pictures.mission",
         "Die Karte 'DATEI' enth\xe4lt in Zeile 5, Spalte 20 die Kachel 706, die es nicht gibt!"},
        // The column just past the map is read by the obstacle scan, so it is checked too.
        {"refused-negative-tile-past-map.mission",
         "Die Karte 'DATEI' enth\xe4lt in Zeile 3, Spalte 32 die Kachel -1, die es nicht gibt!"},
        {"refused-animation-beyond-pictures.mission",
         "Die Karte 'DATEI' zeigt in Zeile 2, Spalte 3 eine Animation bis zur Kachel 674, die es nicht gibt!"},
        {"refused-101-animations.mission", "Die Karte 'DATEI' hat 101 animierte Felder, m\xf6glich sind h\xf6"
                                           "chstens 100!"},
        {"refused-40-entries.num", ende},
        {"refused-last-colon-missing.num", ende},
        {"refused-empty.num", ende},
        {"refused-five-character-value.num", "Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!"},
    };
    feed::CatchStops();
    for (const auto &[ziel, fuettern] : ziele) {
        std::vector<fs::path> dateien;
        for (const auto &e : fs::directory_iterator(fs::path(KORVAN_SOURCE_DIR) / "fuzz/corpus" / ziel))
            dateien.push_back(e.path());
        std::sort(dateien.begin(), dateien.end());
        ASSERT_FALSE(dateien.empty()) << ziel;
        for (const fs::path &datei : dateien) {
            const std::string inhalt = Read(datei), name = datei.filename().string();
            const feed::Outcome o = fuettern(reinterpret_cast<const uint8_t *>(inhalt.data()), inhalt.size());
            EXPECT_EQ(o.fault, "") << name;
            // The viewer's inputs only have to pass without a fault.
            if (std::string(ziel) == "pcx")
                continue;
            EXPECT_EQ(o.taken, name.starts_with("taken-")) << name << ": " << o.message;
            EXPECT_TRUE(o.taken || name.starts_with("refused-")) << name;
            std::string m = o.message;
            if (const size_t at = m.find("/proc/self/fd/"); at != std::string::npos)
                m = m.substr(0, at) + "DATEI" + m.substr(m.find('\'', at));
            if (meldungen.count(name) != 0) {
                EXPECT_EQ(m, meldungen.at(name)) << name;
            }
        }
    }
    ggiLayerSetPanicHandler(nullptr);
}

}  // namespace
