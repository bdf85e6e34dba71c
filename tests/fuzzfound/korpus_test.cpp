// Replays every committed fuzzer input through the fuzzers' own feeds, so that what they
// once found stays mended in every build, with or without clang; and checks the feeds' checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../fuzz/feed.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> CorpusOf(const std::string &target)
{
    std::vector<fs::path> files;
    const fs::path dir = fs::path(KORVAN_SOURCE_DIR) / "fuzz/corpus" / target;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

feed::Outcome FeedFile(feed::Outcome (*f)(const uint8_t *, size_t), const fs::path &file)
{
    std::vector<uint8_t> data = ReadAll(file);
    return f(data.data(), data.size());
}

// Stops are caught for each test and the ending is back afterwards.
class Feeds : public ::testing::Test {
protected:
    void SetUp() override { feed::CatchStops(); }
    void TearDown() override
    {
        ggiLayerSetPanicHandler(nullptr);
        TerrainData = nullptr;
        TerrainLaenge = 0;
        VScreen = nullptr;
    }
};

struct Target {
    const char *name;
    feed::Outcome (*feed)(const uint8_t *, size_t);
};

class Korpus : public Feeds, public ::testing::WithParamInterface<Target> {};

// The game's inputs are named for what the reader must make of them; the viewer's corpus
// only has to pass without a fault.
TEST_P(Korpus, EveryInputIsTakenOrRefusedAsItsNameSaysAndNothingGoesWrong)
{
    const std::vector<fs::path> files = CorpusOf(GetParam().name);
    ASSERT_FALSE(files.empty());
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.string());
        const feed::Outcome o = FeedFile(GetParam().feed, file);
        EXPECT_EQ(o.fault, "");
        const std::string name = file.filename().string();
        if (name.rfind("taken-", 0) == 0)
            EXPECT_TRUE(o.taken) << o.message;
        else if (name.rfind("refused-", 0) == 0)
            EXPECT_FALSE(o.taken);
        else if (std::string(GetParam().name) != "pcx")
            ADD_FAILURE() << "the game's corpus names each input taken-... or refused-...";
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzzer, Korpus,
                         ::testing::Values(Target{"mission", feed::Mission},
                                           Target{"mannnum", feed::MannNum},
                                           Target{"game_pcx", feed::GamePcx},
                                           Target{"script", feed::Script},
                                           Target{"pcx", feed::ViewerPcx}),
                         [](const auto &info) { return std::string(info.param.name); });

// The message that refused `file` of the corpus, with the memory file's name taken out.
std::string Refusal(feed::Outcome (*f)(const uint8_t *, size_t), const std::string &target,
                    const std::string &file)
{
    feed::Outcome o = FeedFile(f, fs::path(KORVAN_SOURCE_DIR) / "fuzz/corpus" / target / file);
    EXPECT_FALSE(o.taken) << file;
    std::string m = o.message;
    const size_t at = m.find("/proc/self/fd/");
    if (at != std::string::npos) {
        const size_t end = m.find('\'', at);
        m.replace(at, end - at, "DATEI");
    }
    return m;
}

TEST_F(Feeds, DamagedMissionsAreRefusedWithTheirReason)
{
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-too-wide-99x21.mission"),
              "Die Karte 'DATEI' ist zu gro\xdf (99 x 21 Felder, h\xf6"
              "chstens 98 x 98)!");
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-too-small-32x20.mission"),
              "Die Karte 'DATEI' ist zu klein (32 x 20 Felder, mindestens 32 x 21)!");
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-empty.mission"),
              "Die Karte 'DATEI' ist zu klein (0 x 0 Felder, mindestens 32 x 21)!");
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-tile-beyond-pictures.mission"),
              "Die Karte 'DATEI' enth\xe4lt in Zeile 5, Spalte 20 die Kachel 706, die es nicht "
              "gibt!");
    // The column just past the map is read by the obstacle scan, so it is checked too.
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-negative-tile-past-map.mission"),
              "Die Karte 'DATEI' enth\xe4lt in Zeile 3, Spalte 32 die Kachel -1, die es nicht "
              "gibt!");
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-animation-beyond-pictures.mission"),
              "Die Karte 'DATEI' zeigt in Zeile 2, Spalte 3 eine Animation bis zur Kachel 674, "
              "die es nicht gibt!");
    EXPECT_EQ(Refusal(feed::Mission, "mission", "refused-101-animations.mission"),
              "Die Karte 'DATEI' hat 101 animierte Felder, m\xf6"
              "glich sind h\xf6"
              "chstens 100!");
}

TEST_F(Feeds, DamagedNumberFilesAreRefusedWithTheirReason)
{
    const std::string ends = "Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!";
    EXPECT_EQ(Refusal(feed::MannNum, "mannnum", "refused-40-entries.num"), ends);
    EXPECT_EQ(Refusal(feed::MannNum, "mannnum", "refused-last-colon-missing.num"), ends);
    EXPECT_EQ(Refusal(feed::MannNum, "mannnum", "refused-empty.num"), ends);
    EXPECT_EQ(Refusal(feed::MannNum, "mannnum", "refused-five-character-value.num"),
              "Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!");
}

// The checks of the map feed see a wrong obstacle run and a view of unwritten map.
TEST_F(Feeds, TheMapChecksSeeWrongRunsAndUnwrittenMap)
{
    memset(Karte, 0, sizeof Karte);
    memset(XKarte, 0, sizeof XKarte);
    memset(YKarte, 0, sizeof YKarte);
    FeldX = 40;
    FeldY = 30;
    for (int x = 4; x <= 6; ++x)
        Karte[3][x] = 100;
    InitXYKarte();
    EXPECT_EQ(feed::CheckRuns(false, 3, FeldX), "");
    EXPECT_EQ(feed::CheckRuns(true, 5, FeldY), "");
    XKarte[3][5].ende = 6;
    EXPECT_EQ(feed::CheckRuns(false, 3, FeldX), "XKarte {4, 6} is not the run at row 3, column 5");
    XKarte[3][5].ende = 7;
    XKarte[3][7].ende = 0;
    EXPECT_EQ(feed::CheckRuns(false, 3, FeldX),
              "XKarte of an open cell is {0, 0} at row 3, column 7");

    std::vector<unsigned char> map(KARTE_PIXEL * KARTE_PIXEL, 0);
    std::vector<unsigned char> view(WIDTH * HEIGHT);
    Terrain = map.data();
    VScreen = view.data();
    EXPECT_EQ(feed::CheckView(5000, -3), "");
    map[(20 * FeldY - 21) * KARTE_PIXEL + 20 * FeldX - 1] = 255;
    EXPECT_EQ(feed::CheckView(5000, 5000), "the view at 5000, 5000 shows unwritten map");
    Terrain = nullptr;
}

// A script whose events a recording writes differently would not replay; the feed sees it.
TEST_F(Feeds, TheScriptCheckComparesWhatARecordingReplays)
{
    ggi::ScriptLine a{}, b{};
    a.frame = b.frame = 4;
    a.event = ggi::key_event(evKeyPress, 'a');
    b.event = ggi::key_event(evKeyPress, 'a');
    EXPECT_TRUE(feed::SameLine(a, b));
    b.event.key.sym = 'b';
    EXPECT_FALSE(feed::SameLine(a, b));
    b.event = ggi::raw_event(evKeyPress);
    b.event.key.sym = 'a';
    // A raw event of a key type is recorded by name: the same delivery.
    EXPECT_TRUE(feed::SameLine(a, b));
    b.frame = 5;
    EXPECT_FALSE(feed::SameLine(a, b));
}

// Without a handler a stop ends the process as it always did; a handler gets the message.
TEST(PanicHandler, TakesTheFinishedMessageOrLeavesTheEndingAsItWas)
{
    ggiLayerSetPanicHandler([](const char *m) { throw feed::Stopped{m}; });
    try {
        ggiPanic("Kann '%s' nicht laden!", "resource/maus.rsc");
        ADD_FAILURE() << "the stop returned";
    } catch (const feed::Stopped &s) {
        EXPECT_EQ(s.message, "Kann 'resource/maus.rsc' nicht laden!");
    }
    ggiLayerSetPanicHandler(nullptr);
    EXPECT_EXIT(ggiPanic("Datei nicht lesbar!"), testing::ExitedWithCode(1),
                "^Datei nicht lesbar!$");
    // A handler that returns cannot keep the program going past a stop.
    ggiLayerSetPanicHandler([](const char *) {});
    EXPECT_EXIT(ggiPanic("Kann Datei '%s' nicht laden!", "x.mis"), testing::ExitedWithCode(1),
                "^Kann Datei 'x\\.mis' nicht laden!$");
    ggiLayerSetPanicHandler(nullptr);
}

}  // namespace
