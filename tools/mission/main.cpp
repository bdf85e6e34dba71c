// korvan_mission: compiles a text map into a mission file, turns a mission file back into a
// text map, and draws a whole mission with the tile pictures into one PPM picture.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "mission.h"
#include "ppm.h"
#include "tiles.h"

namespace {

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw art::SourceError(path + ": cannot be read");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string &path, const std::string &text)
{
    mission::WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// The map as the game shows it: every cell's tile, grain pixels given a grass colour from a
// fixed hash instead of the game's random draws.
void Render(const std::string &misPath, const std::string &terrainPath, const std::string &palPath,
            const std::string &out)
{
    mission::Mission m = mission::Decode(mission::ReadFile(misPath));
    auto terrain = mission::ReadFile(terrainPath);
    auto pal = mission::ReadFile(palPath);
    if (pal.size() < 768)
        throw art::SourceError(palPath + ": a palette has 768 bytes");
    const unsigned char *rgb = pal.data() + pal.size() - 768;
    int tilesLoaded = int(terrain.size() / 400);
    art::Rgbimage img(m.w * 20, m.h * 20, art::Rgb{0, 0, 0});
    for (int r = 0; r < m.h; ++r)
        for (int c = 0; c < m.w; ++c) {
            int t = m.karte[r][c];
            if (t < 0 || t >= tilesLoaded)
                throw art::SourceError("the cell " + std::to_string(c) + ", " + std::to_string(r) + " holds tile " +
                                       std::to_string(t) + ", which " + terrainPath + " does not have");
            for (int k = 0; k < 20; ++k)
                for (int l = 0; l < 20; ++l) {
                    int p = terrain[size_t(t) * 400 + k * 20 + l];
                    if (p >= 1 && p <= 5)
                        p = 1 + int(tiles::CellHash(c * 20 + l, r * 20 + k) % 5);
                    img.px[size_t(r * 20 + k) * img.w + c * 20 + l] =
                        art::Rgb{rgb[p * 3], rgb[p * 3 + 1], rgb[p * 3 + 2]};
                }
        }
    art::WritePpm(out, img);
}

int Usage()
{
    std::fprintf(stderr, "usage: korvan_mission compile MAP.txt MISSION.mis\n"
                         "       korvan_mission decompile MISSION.mis MAP.txt\n"
                         "       korvan_mission render MISSION.mis TERRAIN.rsc PALETTE.pal PICTURE.ppm\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    std::string verb = argv[1];
    try {
        if (verb == "compile" && argc == 4) {
            auto text = mission::ParseText(ReadText(argv[2]), argv[2]);
            mission::WriteFile(argv[3], mission::Encode(mission::Compile(text)));
        } else if (verb == "decompile" && argc == 4) {
            auto m = mission::Decode(mission::ReadFile(argv[2]));
            WriteText(argv[3], mission::FormatText(mission::Decompile(m)));
        } else if (verb == "render" && argc == 6) {
            Render(argv[2], argv[3], argv[4], argv[5]);
        } else {
            return Usage();
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "korvan_mission: %s\n", e.what());
        return 1;
    }
    return 0;
}
