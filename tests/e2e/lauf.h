// Helpers of the tests that run the built game: play folders, files and picture checksums.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lauf {

namespace fs = std::filesystem;

inline const std::string VERLOREN = "\n\nDu hast diese Zeit verloren!\n";
inline const std::string GEWONNEN = "Bravo, du hast gewonnen!\n";

inline std::string Lies(const fs::path &name)
{
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void Schreib(const fs::path &name, const std::string &inhalt)
{
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f << inhalt;
    ASSERT_TRUE(f.good()) << name;
}

inline bool EndetMit(const std::string &text, const std::string &ende)
{
    return text.size() >= ende.size() &&
           text.compare(text.size() - ende.size(), ende.size(), ende) == 0;
}

// FNV-1a over the whole file, header included; "fehlt" when the picture was never written.
inline std::string Pruefsumme(const fs::path &datei)
{
    if (!fs::exists(datei))
        return "fehlt";
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : Lies(datei)) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// A new folder below /tmp to play in, with the program and the generated resources linked
// in. The resource folders are real folders holding links to the files: the game steps into
// resource/ and back up with "..", which from a linked folder would lead elsewhere, and a
// test may put a file of its own in place of one link.
inline fs::path NeuerSpielOrdner(const char *muster)
{
    std::string name = muster;
    if (mkdtemp(name.data()) == nullptr)
        return {};
    const fs::path ordner = name;
    const fs::path quelle = KORVAN_RUN_DIR;
    for (const char *teil : {"resource", "data", "mission"}) {
        fs::create_directory(ordner / teil);
        for (const fs::directory_entry &datei : fs::directory_iterator(quelle / teil))
            fs::create_symlink(datei.path(), ordner / teil / datei.path().filename());
    }
    fs::create_symlink(quelle / "korvan", ordner / "korvan");
    return ordner;
}

}  // namespace lauf
