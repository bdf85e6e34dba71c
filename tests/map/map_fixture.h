// Shared set-up of the map tests: tile pictures, a view buffer and mission files made here.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/video.h"
#include "effects/explose.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "ui/mouse.h"

// Matches a text that holds `teil` somewhere: a stop's message among whatever else it printed.
class EnthaeltMatcher : public ::testing::MatcherInterface<const std::string &> {
public:
    explicit EnthaeltMatcher(std::string teil) : teil_(std::move(teil)) {}
    bool MatchAndExplain(const std::string &s, ::testing::MatchResultListener *) const override
    {
        return s.find(teil_) != std::string::npos;
    }
    void DescribeTo(std::ostream *os) const override { *os << "contains \"" << teil_ << "\""; }

private:
    std::string teil_;
};

inline ::testing::Matcher<const std::string &> Enthaelt(std::string teil)
{
    return ::testing::MakeMatcher(new EnthaeltMatcher(std::move(teil)));
}

// Pixel (k, l) of tile t in the test pictures: every value 0..255 turns up, grain values too.
inline unsigned char KachelPixel(int t, int k, int l)
{
    return static_cast<unsigned char>((t * 7 + k * 20 + l) % 256);
}

class KarteTest : public ::testing::Test {
protected:
    static constexpr int KACHELN = 720;  // enough for the three animations
    std::vector<unsigned char> kacheln = std::vector<unsigned char>(KACHELN * 400);
    std::vector<unsigned char> bild = std::vector<unsigned char>(WIDTH * HEIGHT, 0xEE);
    std::string ordner;

    void SetUp() override
    {
        for (int t = 0; t < KACHELN; ++t)
            for (int k = 0; k < 20; ++k)
                for (int l = 0; l < 20; ++l)
                    kacheln[t * 400 + k * 20 + l] = KachelPixel(t, k, l);
        TerrainData = kacheln.data();
        TerrainLaenge = static_cast<long>(kacheln.size());
        VScreen = bild.data();
        memset(Karte, 0, sizeof Karte);
        memset(XKarte, 0, sizeof XKarte);
        memset(YKarte, 0, sizeof YKarte);
        memset(Explose, 0, sizeof Explose);
        FeldX = 40;
        FeldY = 30;
        AniAnz = 0;
        ScrollX = ScrollY = 0;
        ScrollSpeed = 4;
        NachScroll = ScrollDir = 0;
        RightScroll = RightScrolled = RightScrollX = RightScrollY = 0;
        mx = my = 0;
        char muster[] = "/tmp/korvan-map-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
    }

    void TearDown() override
    {
        TerrainData = nullptr;
        TerrainLaenge = 0;
        VScreen = nullptr;
        std::string rm = "rm -rf '" + ordner + "'";
        ASSERT_EQ(system(rm.c_str()), 0);
    }

    // Writes a mission file of the fixed layout: signature, width, height, 100 x 100 tiles.
    // `laenge` cuts the file short.
    std::string Mission(int breite, int hoehe, const int16_t (&karte)[KARTE_MAX][KARTE_MAX],
                        size_t laenge = 20004)
    {
        std::vector<unsigned char> daten(20004);
        daten[0] = 'K';
        daten[1] = 'M';
        daten[2] = static_cast<unsigned char>(breite);
        daten[3] = static_cast<unsigned char>(hoehe);
        for (int r = 0; r < KARTE_MAX; ++r)
            for (int c = 0; c < KARTE_MAX; ++c) {
                const uint16_t v = static_cast<uint16_t>(karte[r][c]);
                daten[4 + 2 * (r * KARTE_MAX + c)] = static_cast<unsigned char>(v & 0xff);
                daten[5 + 2 * (r * KARTE_MAX + c)] = static_cast<unsigned char>(v >> 8);
            }
        std::string name = ordner + "/karte.mis";
        FILE *f = fopen(name.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        fwrite(daten.data(), 1, laenge, f);
        fclose(f);
        return name;
    }
};
