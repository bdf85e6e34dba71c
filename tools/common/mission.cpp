// Mission files and the text maps they are made from.
#include "mission.h"

#include <cstdio>
#include <sstream>

#include "art.h"
#include "tiles.h"

namespace mission {
namespace {

[[noreturn]] void Fail(const std::string &name, int line, const std::string &what)
{
    throw art::SourceError(name + ":" + std::to_string(line) + ": " + what);
}

bool Waterlike(char c)
{
    return c == tiles::C_WATER || c == tiles::C_WATER_ANIM || c == tiles::C_BRIDGE;
}

}  // namespace

std::vector<unsigned char> Encode(const Mission &m)
{
    std::vector<unsigned char> b(FILE_SIZE);
    b[0] = (unsigned char)m.sign[0];
    b[1] = (unsigned char)m.sign[1];
    b[2] = (unsigned char)m.w;
    b[3] = (unsigned char)m.h;
    size_t at = 4;
    for (const auto &row : m.karte)
        for (int16_t v : row) {
            b[at++] = (unsigned char)(uint16_t(v) & 0xff);
            b[at++] = (unsigned char)(uint16_t(v) >> 8);
        }
    return b;
}

Mission Decode(const std::vector<unsigned char> &b)
{
    if (b.size() != FILE_SIZE)
        throw art::SourceError("a mission file has " + std::to_string(FILE_SIZE) + " bytes, this one " +
                               std::to_string(b.size()));
    Mission m;
    m.sign[0] = char(b[0]);
    m.sign[1] = char(b[1]);
    m.w = b[2];
    m.h = b[3];
    size_t at = 4;
    for (auto &row : m.karte)
        for (int16_t &v : row) {
            v = int16_t(uint16_t(b[at] | (b[at + 1] << 8)));
            at += 2;
        }
    return m;
}

TextMap ParseText(const std::string &text, const std::string &name)
{
    TextMap t;
    std::istringstream in(text);
    std::string line;
    int ln = 0;
    bool haveSize = false, haveMap = false;
    auto words = [](const std::string &s) {
        std::istringstream w(s);
        std::vector<std::string> v;
        std::string x;
        while (w >> x)
            v.push_back(x);
        return v;
    };
    auto number = [&](const std::string &s) {
        size_t used = 0;
        int v = 0;
        try {
            v = std::stoi(s, &used);
        } catch (const std::exception &) {
            used = 0;
        }
        if (used == 0 || used != s.size())
            Fail(name, ln, "'" + s + "' is not a number");
        return v;
    };
    while (std::getline(in, line)) {
        ++ln;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        auto w = words(line);
        if (w.empty() || w[0][0] == '#')
            continue;
        if (w[0] == "sign") {
            if (w.size() != 2 || w[1].size() != 2)
                Fail(name, ln, "the signature is two characters: sign KM");
            t.sign = w[1];
        } else if (w[0] == "size") {
            if (w.size() != 3)
                Fail(name, ln, "the size is: size WIDTH HEIGHT");
            t.w = number(w[1]);
            t.h = number(w[2]);
            if (t.w < MIN_W || t.h < MIN_H || t.w > MAX_SIZE || t.h > MAX_SIZE)
                Fail(name, ln,
                     "a map is " + std::to_string(MIN_W) + " to " + std::to_string(MAX_SIZE) + " tiles wide and " +
                         std::to_string(MIN_H) + " to " + std::to_string(MAX_SIZE) + " tiles high");
            haveSize = true;
        } else if (w[0] == "map") {
            if (!haveSize)
                Fail(name, ln, "the size comes before the map");
            if (haveMap)
                Fail(name, ln, "a second map");
            haveMap = true;
            for (int r = 0; r < t.h; ++r) {
                if (!std::getline(in, line))
                    Fail(name, ln, "the map ends after " + std::to_string(r) + " rows");
                ++ln;
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (int(line.size()) != t.w)
                    Fail(name, ln,
                         "row " + std::to_string(r) + " has " + std::to_string(line.size()) + " characters, not " +
                             std::to_string(t.w));
                for (int x = 0; x < t.w; ++x)
                    if (tiles::MAP_CHARACTERS.find(line[x]) == std::string::npos)
                        Fail(name, ln,
                             std::string("'") + line[x] + "' in column " + std::to_string(x) + " is no map character");
                t.rows.push_back(line);
            }
            if (!std::getline(in, line))
                Fail(name, ln, "the map has no 'end' line");
            ++ln;
            if (words(line) != std::vector<std::string>{"end"})
                Fail(name, ln, "the map has " + std::to_string(t.h) + " rows and then 'end'");
        } else if (w[0] == "tile") {
            if (w.size() != 4)
                Fail(name, ln, "an override is: tile X Y NUMBER");
            Override o{number(w[1]), number(w[2]), number(w[3])};
            if (o.x < 0 || o.y < 0 || o.x >= CELLS || o.y >= CELLS)
                Fail(name, ln, "the cell " + w[1] + ", " + w[2] + " is outside the 100 x 100 cells");
            if (o.tile < -32768 || o.tile > 32767)
                Fail(name, ln, "a tile number is 16 bits");
            t.overrides.push_back(o);
        } else {
            Fail(name, ln, "expected sign, size, map or tile, not '" + w[0] + "'");
        }
    }
    if (!haveMap)
        Fail(name, ln, "no map");
    return t;
}

std::string FormatText(const TextMap &t)
{
    std::ostringstream out;
    out << "# A mission map, one character per tile:\n" << tiles::MapLegend();
    out << "sign " << t.sign << "\nsize " << t.w << " " << t.h << "\nmap\n";
    for (const auto &r : t.rows)
        out << r << "\n";
    out << "end\n";
    for (const auto &o : t.overrides)
        out << "tile " << o.x << " " << o.y << " " << o.tile << "\n";
    return out.str();
}

Mission Compile(const TextMap &t)
{
    Mission m;
    m.sign[0] = t.sign[0];
    m.sign[1] = t.sign[1];
    m.w = t.w;
    m.h = t.h;
    auto cells = tiles::Autotile(t.rows);
    int animated = 0;
    for (int y = 0; y < t.h; ++y)
        for (int x = 0; x < t.w; ++x) {
            char c = t.rows[y][x];
            if (c == tiles::C_WATER_ANIM) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= t.w || ny >= t.h)
                            continue;
                        if (!Waterlike(t.rows[ny][nx]))
                            throw art::SourceError("moving water at " + std::to_string(x) + ", " + std::to_string(y) +
                                                   " needs water on all eight sides");
                    }
            }
            m.karte[y][x] = int16_t(cells[y][x]);
        }
    for (const auto &o : t.overrides)
        m.karte[o.y][o.x] = int16_t(o.tile);
    for (int y = 0; y <= t.h; ++y)
        for (int x = 0; x <= t.w; ++x) {
            int v = m.karte[y][x];
            bool inside = x < t.w && y < t.h;
            if (!inside && v >= tiles::FIRST_OBSTACLE)
                throw art::SourceError("the cell " + std::to_string(x) + ", " + std::to_string(y) +
                                       " just past the map must be open ground, not tile " + std::to_string(v));
            if (inside && (v == tiles::WATER_ANIM || v == tiles::FIRE_ANIM || v == tiles::RADAR_ANIM))
                ++animated;
        }
    if (animated > tiles::MAX_ANIMATED)
        throw art::SourceError("the map has " + std::to_string(animated) + " moving tiles, the game animates at most " +
                               std::to_string(tiles::MAX_ANIMATED));
    return m;
}

TextMap Decompile(const Mission &m)
{
    if (m.w > CELLS || m.h > CELLS)
        throw art::SourceError("a map of " + std::to_string(m.w) + " x " + std::to_string(m.h) +
                               " tiles does not fit the 100 x 100 cells");
    TextMap t;
    t.sign = std::string(m.sign, 2);
    t.w = m.w;
    t.h = m.h;
    for (int y = 0; y < m.h; ++y) {
        std::string row;
        for (int x = 0; x < m.w; ++x) {
            char c = tiles::CharacterOf(m.karte[y][x]);
            row += c ? c : tiles::C_GRASS;
        }
        t.rows.push_back(row);
    }
    auto cells = tiles::Autotile(t.rows);
    for (int y = 0; y < CELLS; ++y)
        for (int x = 0; x < CELLS; ++x) {
            int made = (x < m.w && y < m.h) ? cells[y][x] : 0;
            if (m.karte[y][x] != made)
                t.overrides.push_back({x, y, m.karte[y][x]});
        }
    return t;
}

std::vector<unsigned char> ReadFile(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw art::SourceError(path + ": cannot be read");
    std::vector<unsigned char> b;
    unsigned char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    return b;
}

void WriteFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw art::SourceError(path + ": cannot be written");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok)
        throw art::SourceError(path + ": cannot be written");
}

}  // namespace mission
