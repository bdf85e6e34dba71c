// The pictures of the start position, a busy battle, full effect tables and the view's edges,
// frame after frame, against digests recorded from the straightforward drawing code: the
// faster drawing paths must not change a single byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <ggi/layer.h>

#include "display/video.h"
#include "drawing/prozess.h"
#include "drawing/szenen.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"

namespace {

// Runs `szene` in a process of its own, as a fresh start of the game in the run folder on
// the headless display, and returns what it reports; empty when the child failed.
std::vector<uint64_t> ImeigenenProzess(const std::function<std::vector<uint64_t>()> &szene)
{
    return ImKind([&szene]() -> std::vector<uint64_t> {
        if (chdir(KORVAN_RUN_DIR) != 0 || setenv("GGI_DISPLAY", "memory", 1) != 0)
            return {};
        // The start-up's progress lines are not the test's business.
        if (freopen("/dev/null", "w", stdout) == nullptr)
            return {};
        // The random sequence of a fresh process, whatever ran before in this one.
        srand(1);
        return szene();
    });
}

// The digests of `n` frames played from the current state.
std::vector<uint64_t> Bilder(std::vector<uint64_t> werte, int n)
{
    for (int i = 0; i < n; ++i) {
        szenen::Bild();
        werte.push_back(szenen::BildPruefsumme());
    }
    return werte;
}

std::string Hex(const std::vector<uint64_t> &werte)
{
    std::string s;
    for (uint64_t w : werte) {
        char t[32];
        snprintf(t, sizeof t, "0x%016" PRIx64 "u,\n", w);
        s += t;
    }
    return s;
}

// Compares frame by frame, so a failure names the first frame that changed; the message
// lists the new digests in the form the constants below are written in.
void Vergleiche(const std::vector<uint64_t> &ist, const std::vector<uint64_t> &soll)
{
    ASSERT_FALSE(ist.empty()) << "the scene did not run";
    for (size_t i = 0; i < std::min(ist.size(), soll.size()); ++i)
        if (ist[i] != soll[i]) {
            ADD_FAILURE() << "frame " << i << " differs; digests now:\n" << Hex(ist);
            return;
        }
    EXPECT_EQ(ist.size(), soll.size()) << Hex(ist);
}

// Recorded from the drawing code that visits every pixel of every sprite and effect.
const std::vector<uint64_t> START = {
    0xbf345104cac0f548u,
    0x9aed67cc96c202f2u,
    0x340324d8643c1640u,
    0x398def02b2b743bau,
    0x02474ae54969a0cfu,
};
const std::vector<uint64_t> GEFECHT = {
    0x0000000000000031u,
    0x0000000000000031u,
    0x42c62ab79b8317d5u,
    0x065c4187a6f2f3f2u,
    0xf23453c65833b413u,
    0x6fb05b1fca55f4e1u,
    0xd8406b122f758172u,
    0xa3388b153bb677eeu,
    0xb3d22b7fc1e42ea2u,
    0x99a738c851debb1eu,
};
const std::vector<uint64_t> VOLL = {
    0x00000000000000c7u,
    0x00000000000000c7u,
    0x00000000000000c7u,
    0x00000000000000c7u,
    0xf018a0ebbdfddb4fu,
    0x9ed73df0a9457efbu,
    0x74923b5d5b4c319au,
    0x5c0cd6d6d09157cbu,
    0x33ff18d405bd9107u,
    0x459d15c64370996bu,
    0xb2ce9187939bc3c7u,
    0x012f2911ec578a4du,
};
const std::vector<uint64_t> RAENDER = {
    0x010e05c931f67335u,
    0x4634f4edb6c53977u,
    0x9fa10f99c3153c4bu,
    0xba38c751724c941du,
    0x51e9531e1184a404u,
    0xdd8df5930b3052e4u,
    0xd9f600a90741e32fu,
    0x07aeac7ae700322du,
    0x9ae2c3a0807516c2u,
    0x36804e2b544692fcu,
    0x8498d1e47d6debf3u,
    0x398c6ddbc6c114e5u,
    0x7aacd3134c627f95u,
    0x0809b04f6f076e3eu,
};

TEST(Bilder, StartpositionUndErsteBilder)
{
    const auto ist = ImeigenenProzess([] {
        if (!szenen::Start())
            return std::vector<uint64_t>{};
        return Bilder({szenen::BildPruefsumme()}, 4);
    });
    Vergleiche(ist, START);
}

// The scenes start from a copy of the game's start-up; the game itself, stopped after its
// second frame, must show the very same picture.
TEST(Bilder, StartWieImSpiel)
{
    const std::string datei = testing::TempDir() + "korvan-start-" + std::to_string(getpid()) + ".ppm";
    const std::string befehl = std::string("cd '") + KORVAN_RUN_DIR +
                               "' && GGI_DISPLAY=memory:-frames=1:-final='" + datei +
                               "' ./korvan > /dev/null";
    ASSERT_EQ(std::system(befehl.c_str()), 0);
    std::ifstream f(datei, std::ios::binary);
    const std::string ppm((std::istreambuf_iterator<char>(f)), {});
    std::filesystem::remove(datei);
    const std::string kopf = "P6\n640 400\n255\n";
    ASSERT_EQ(ppm.size(), kopf.size() + 3 * 640 * 400);
    ASSERT_EQ(ppm.substr(0, kopf.size()), kopf);
    const uint64_t spiel = szenen::Pruefsumme(
        reinterpret_cast<const unsigned char *>(ppm.data()) + kopf.size(), 3 * 640 * 400);

    const auto ist = ImeigenenProzess([] {
        if (!szenen::Start())
            return std::vector<uint64_t>{};
        szenen::Bild();
        szenen::Bild();
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        if (ggiLayerShown(vis, &w, &h, &rgb) != 0)
            return std::vector<uint64_t>{};
        return std::vector<uint64_t>{szenen::Pruefsumme(rgb.data(), rgb.size())};
    });
    EXPECT_EQ(ist, std::vector<uint64_t>{spiel});
}

TEST(Bilder, GefechtBeiderSeitenMitJe49Einheiten)
{
    const auto ist = ImeigenenProzess([] {
        if (!szenen::Start())
            return std::vector<uint64_t>{};
        szenen::Gefecht(10);
        return Bilder({uint64_t(MAnz), uint64_t(FAnz)}, 8);
    });
    Vergleiche(ist, GEFECHT);
}

TEST(Bilder, AlleEffekttabellenVoll)
{
    const auto ist = ImeigenenProzess([] {
        if (!szenen::Start())
            return std::vector<uint64_t>{};
        szenen::Gefecht(10);
        szenen::VolleTabellen();
        return Bilder({uint64_t(LaserAnz), uint64_t(RocketAnz), uint64_t(EAnz), uint64_t(RauchAnz)},
                      8);
    });
    Vergleiche(ist, VOLL);
}

TEST(Bilder, EinheitenUndEffekteAnDenRaendern)
{
    const auto ist = ImeigenenProzess([] {
        if (!szenen::Start())
            return std::vector<uint64_t>{};
        szenen::Raender();
        return Bilder({}, 14);
    });
    Vergleiche(ist, RAENDER);
}

}  // namespace
