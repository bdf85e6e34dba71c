// korvan_resgen: makes every picture file, the palette and the sprite-layout numbers of the
// game from the text-grid art, and on request contact sheets to look at them.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "mission.h"
#include "ppm.h"
#include "resgen.h"

namespace fs = std::filesystem;
using namespace resgen;

namespace {

using Bytes = std::vector<unsigned char>;

// Frames into bytes: transparent pixels become `transparent`; an opaque pixel may not use
// that value, and none may lie above `highest`.
Bytes Encode(const std::vector<Image> &frames, int w, int h, int transparent, int highest, const char *what)
{
    Bytes out;
    for (size_t n = 0; n < frames.size(); ++n) {
        const Image &f = frames[n];
        if (f.w != w || f.h != h)
            throw art::SourceError(std::string(what) + " frame " + std::to_string(n) + " is " + std::to_string(f.w) +
                                   " x " + std::to_string(f.h) + ", not " + std::to_string(w) + " x " +
                                   std::to_string(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int c = f.px[y * w + x];
                if (c < 0) {
                    if (transparent < 0)
                        throw art::SourceError(std::string(what) + " frame " + std::to_string(n) + " has a hole at " +
                                               std::to_string(x) + ", " + std::to_string(y));
                    c = transparent;
                } else if (c == transparent || c > highest) {
                    throw art::SourceError(std::string(what) + " frame " + std::to_string(n) + " uses colour " +
                                           std::to_string(c) + " at " + std::to_string(x) + ", " + std::to_string(y));
                }
                out.push_back((unsigned char)c);
            }
    }
    return out;
}

void Sheet(const fs::path &dir, const char *name, const Bytes &data, int w, int h, int transparent, int perRow,
           const art::Palette &pal)
{
    art::WritePpm((dir / name).string(), art::ContactSheet(art::CutFrames(data, w, h, transparent), perRow, pal));
}

int Usage()
{
    std::fprintf(stderr, "usage: korvan_resgen --art DIR [--out DIR] [--sheets DIR] [--icons DIR]\n"
                         "       korvan_resgen --art DIR --check\n"
                         "Makes resource/*.rsc, resource/mann.num and data/system.pal below --out from the\n"
                         "pictures in --art; --sheets writes a contact sheet (PPM) of every file;\n"
                         "--icons writes the menu icon as korvan-64.png, korvan-128.png, korvan-256.png;\n"
                         "--check only reads the art and reports the first fault.\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string artDir, outDir, sheetDir, iconDir;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--art" || a == "--out" || a == "--sheets" || a == "--icons") && i + 1 < argc) {
            (a == "--art" ? artDir : a == "--out" ? outDir : a == "--sheets" ? sheetDir : iconDir) = argv[++i];
        } else if (a == "--check") {
            check = true;
        } else {
            return Usage();
        }
    }
    if (artDir.empty() || (outDir.empty() && sheetDir.empty() && iconDir.empty() && !check))
        return Usage();
    try {
        Book book = art::LoadBook(artDir);
        // Making every frame also resolves every colour role, so a check makes them too.
        auto font = Encode(Font(book), GLYPH, GLYPH, 0, 255, "font");
        auto pointer = Encode(Pointer(book), POINTER, POINTER, 0, 255, "pointer");
        auto terrain = Encode(Terrain(book), TILE, TILE, -1, 255, "terrain");
        auto men = Encode(Infantry(book), MAN_W, MAN_H, 3, 163, "infantry");
        auto tank = Encode(Vehicle(book), TANK_W, TANK_H, 3, 163, "combat vehicle");
        auto heli = Encode(Helicopter(book), HELI_W, HELI_H, 3, 163, "helicopter");
        auto explo = Encode(Explosion(book), EXPLO_W, EXPLO_H, 0, 255, "explosion");
        auto smoke = Encode(Smoke(book), SMOKE_W, SMOKE_H, 0, 255, "smoke");
        if (men.size() + tank.size() + heli.size() > 900000)
            throw art::SourceError("the three sprite files exceed 900,000 bytes");
        if (terrain.size() > 400000)
            throw art::SourceError("the tile pictures exceed 400,000 bytes");
        if (check)
            return 0;

        Bytes pal;
        for (const art::Rgb &c : book.palette.rgb)
            pal.insert(pal.end(), {c.r, c.g, c.b});
        std::string num = MannNumText();

        if (!outDir.empty()) {
            fs::path out(outDir);
            fs::create_directories(out / "resource");
            fs::create_directories(out / "data");
            auto put = [&](const char *name, const Bytes &b) { mission::WriteFile((out / name).string(), b); };
            put("resource/font-01.rsc", font);
            put("resource/maus.rsc", pointer);
            put("resource/terrain.rsc", terrain);
            put("resource/lsprites.rsc", men);
            put("resource/ksprites.rsc", tank);
            put("resource/hsprites.rsc", heli);
            put("resource/explose.rsc", explo);
            put("resource/rauch.rsc", smoke);
            put("resource/mann.num", Bytes(num.begin(), num.end()));
            put("data/system.pal", pal);
        }

        if (!iconDir.empty()) {
            fs::create_directories(iconDir);
            for (int scale : {1, 2, 4})
                WritePng((fs::path(iconDir) / ("korvan-" + std::to_string(ICON * scale) + ".png")).string(),
                         Icon(book, scale));
        }

        if (!sheetDir.empty()) {
            fs::path dir(sheetDir);
            fs::create_directories(dir);
            const art::Palette &p = book.palette;
            Sheet(dir, "font.ppm", font, GLYPH, GLYPH, 0, 10, p);
            Sheet(dir, "maus.ppm", pointer, POINTER, POINTER, 0, POINTER_FRAMES, p);
            Sheet(dir, "terrain.ppm", terrain, TILE, TILE, -1, 32, p);
            Sheet(dir, "lsprites.ppm", men, MAN_W, MAN_H, 3, MANN_DIV / 2, p);
            Sheet(dir, "ksprites.ppm", tank, TANK_W, TANK_H, 3, 10, p);
            Sheet(dir, "hsprites.ppm", heli, HELI_W, HELI_H, 3, HELI_FRAMES, p);
            Sheet(dir, "explose.ppm", explo, EXPLO_W, EXPLO_H, 0, EXPLO_FRAMES, p);
            Sheet(dir, "rauch.ppm", smoke, SMOKE_W, SMOKE_H, 0, SMOKE_FRAMES, p);
            std::vector<Image> swatches;
            for (int i = 0; i < 256; ++i)
                swatches.push_back(Image(8, 8, i));
            art::WritePpm((dir / "palette.ppm").string(), art::ContactSheet(swatches, 16, p));
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "korvan_resgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
