// Mission files (signature, size, 100 x 100 tile numbers) and the text maps they are made from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mission {

constexpr int CELLS = 100;                        // the file holds 100 x 100 cells whatever the size
constexpr int FILE_SIZE = 4 + CELLS * CELLS * 2;  // 20,004 bytes
constexpr int MAX_SIZE = 98;           // the obstacle scan reads one cell past the map and its own tables one more
constexpr int MIN_W = 32, MIN_H = 21;  // the smallest map that fills the 640 x 400 view

struct Mission {
    char sign[2] = {'K', 'M'};
    int w = 0, h = 0;
    std::array<std::array<int16_t, CELLS>, CELLS> karte{};  // [row][column]
};

std::vector<unsigned char> Encode(const Mission &m);
Mission Decode(const std::vector<unsigned char> &bytes);  // throws unless 20,004 bytes

// A tile set by number, where the character map cannot say it.
struct Override {
    int x, y, tile;
};

struct TextMap {
    std::string sign = "KM";
    int w = 0, h = 0;
    std::vector<std::string> rows;
    std::vector<Override> overrides;
};

TextMap ParseText(const std::string &text, const std::string &name);
std::string FormatText(const TextMap &t);

// Text map to mission: every cell by its character, the cells past the map open grass, then
// the overrides. Refuses maps the game cannot hold.
Mission Compile(const TextMap &t);
// Mission to text map: the characters, plus an override for every cell that compiling the
// characters would not give back, so that compiling the result gives the same file.
TextMap Decompile(const Mission &m);

std::vector<unsigned char> ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::vector<unsigned char> &bytes);

}  // namespace mission
