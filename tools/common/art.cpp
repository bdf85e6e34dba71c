// Reading the palette and the text-grid pictures, and the image operations made on them.
#include "art.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

namespace art {
namespace {

std::string Where(const std::string &path, int line)
{
    return path + ":" + std::to_string(line);
}

[[noreturn]] void Fail(const std::string &path, int line, const std::string &what)
{
    throw SourceError(Where(path, line) + ": " + what);
}

std::vector<std::string> Words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

bool Blank(const std::string &line)
{
    size_t p = line.find_first_not_of(" \t\r");
    return p == std::string::npos || line[p] == '#';
}

int Number(const std::string &text, int lo, int hi, const std::string &path, int line, const std::string &what)
{
    size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v < lo || v > hi)
        Fail(path, line,
             what + " must be a number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not '" + text +
                 "'");
    return v;
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw SourceError(path + ": cannot be read");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

int Palette::Index(const std::string &name) const
{
    auto it = names.find(name);
    if (it == names.end())
        throw SourceError("no colour named '" + name + "' in the palette");
    return it->second;
}

Palette LoadPalette(const std::string &path)
{
    Palette pal;
    std::array<bool, 256> set{};
    auto lines = ReadLines(path);
    auto define = [&](int n, const std::string &name, Rgb c, int line) {
        if (set[n])
            Fail(path, line, "colour " + std::to_string(n) + " is given twice");
        if (pal.names.count(name))
            Fail(path, line, "the name '" + name + "' is given twice");
        set[n] = true;
        pal.rgb[n] = c;
        pal.names[name] = n;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        int ln = int(i) + 1;
        if (Blank(lines[i]))
            continue;
        auto w = Words(lines[i]);
        auto comp = [&](size_t k) { return uint8_t(Number(w[k], 0, 255, path, ln, "a colour component")); };
        if (w[0] == "ramp") {
            if (w.size() != 10)
                Fail(path, ln, "a ramp is: ramp FIRST LAST NAME R G B R G B");
            int a = Number(w[1], 0, 255, path, ln, "the first index");
            int b = Number(w[2], a, 255, path, ln, "the last index");
            Rgb c0{comp(4), comp(5), comp(6)}, c1{comp(7), comp(8), comp(9)};
            for (int n = a; n <= b; ++n) {
                double t = b == a ? 0.0 : double(n - a) / (b - a);
                auto mix = [t](uint8_t p, uint8_t q) { return uint8_t(std::lround(p + (q - p) * t)); };
                define(n, w[3] + "." + std::to_string(n - a), Rgb{mix(c0.r, c1.r), mix(c0.g, c1.g), mix(c0.b, c1.b)},
                       ln);
            }
        } else {
            if (w.size() != 5)
                Fail(path, ln, "a colour is: INDEX NAME R G B");
            int n = Number(w[0], 0, 255, path, ln, "a colour index");
            define(n, w[1], Rgb{comp(2), comp(3), comp(4)}, ln);
        }
    }
    return pal;
}

const Picture &Book::Get(const std::string &name) const
{
    auto it = pictures.find(name);
    if (it == pictures.end())
        throw SourceError("no picture named '" + name + "'");
    return it->second;
}

void LoadArtFile(const std::string &path, Book &book)
{
    auto lines = ReadLines(path);
    size_t i = 0;
    while (i < lines.size()) {
        int ln = int(i) + 1;
        if (Blank(lines[i])) {
            ++i;
            continue;
        }
        auto w = Words(lines[i]);
        if (w[0] == "legend") {
            if (w.size() != 2)
                Fail(path, ln, "a legend is opened with: legend NAME");
            if (book.legends.count(w[1]))
                Fail(path, ln, "the legend '" + w[1] + "' is given twice");
            Legend lg;
            lg.name = w[1];
            ++i;
            bool closed = false;
            for (; i < lines.size(); ++i) {
                int el = int(i) + 1;
                if (Blank(lines[i]))
                    continue;
                const std::string &line = lines[i];
                if (Words(line)[0] == "end") {
                    closed = true;
                    ++i;
                    break;
                }
                // "C VALUE [anchor] [tip]": C is the first character of the line.
                char c = line[0];
                if (c == ' ' || c == '\t')
                    Fail(path, el, "a legend line starts with its character");
                if (lg.entries.count(c))
                    Fail(path, el, std::string("the character '") + c + "' is given twice");
                auto rest = Words(line.substr(1));
                if (rest.empty())
                    Fail(path, el, std::string("the character '") + c + "' has no colour");
                LegendEntry e;
                const std::string &v = rest[0];
                if (v == "transparent") {
                    e.kind = LegendEntry::Transparent;
                } else if (v[0] == '$') {
                    e.kind = LegendEntry::Role;
                    e.role = v;
                } else if (std::isdigit((unsigned char)v[0])) {
                    e.kind = LegendEntry::Index;
                    e.index = Number(v, 0, 255, path, el, "a colour index");
                } else {
                    e.kind = LegendEntry::Index;
                    try {
                        e.index = book.palette.Index(v);
                    } catch (const SourceError &err) {
                        Fail(path, el, err.what());
                    }
                }
                for (size_t k = 1; k < rest.size(); ++k) {
                    if (rest[k] == "anchor")
                        e.anchor = true;
                    else if (rest[k] == "tip")
                        e.tip = true;
                    else
                        Fail(path, el, "unknown mark '" + rest[k] + "' (anchor or tip)");
                }
                lg.entries[c] = e;
            }
            if (!closed)
                Fail(path, ln, "the legend '" + lg.name + "' has no end");
            book.legends[lg.name] = lg;
        } else if (w[0] == "picture") {
            if (w.size() != 5)
                Fail(path, ln, "a picture is opened with: picture NAME WIDTH HEIGHT LEGEND");
            Picture p;
            p.name = w[1];
            p.w = Number(w[2], 1, 256, path, ln, "the width");
            p.h = Number(w[3], 1, 256, path, ln, "the height");
            p.legend = w[4];
            p.where = Where(path, ln);
            if (book.pictures.count(p.name))
                Fail(path, ln, "the picture '" + p.name + "' is given twice");
            auto lg = book.legends.find(p.legend);
            if (lg == book.legends.end())
                Fail(path, ln, "no legend named '" + p.legend + "' before this picture");
            ++i;
            for (int r = 0; r < p.h; ++r, ++i) {
                int rl = int(i) + 1;
                if (i >= lines.size())
                    Fail(path, rl,
                         "the picture '" + p.name + "' ends after " + std::to_string(r) + " of " + std::to_string(p.h) +
                             " rows");
                const std::string &row = lines[i];
                if (int(row.size()) != p.w)
                    Fail(path, rl,
                         "row " + std::to_string(r) + " of '" + p.name + "' has " + std::to_string(row.size()) +
                             " characters, not " + std::to_string(p.w));
                for (int x = 0; x < p.w; ++x) {
                    auto e = lg->second.entries.find(row[x]);
                    if (e == lg->second.entries.end())
                        Fail(path, rl,
                             std::string("the character '") + row[x] + "' of '" + p.name + "' is not in the legend '" +
                                 p.legend + "'");
                    if (e->second.anchor && p.anchorX < 0)
                        p.anchorX = x, p.anchorY = r;
                    if (e->second.tip && p.tipX < 0)
                        p.tipX = x, p.tipY = r;
                }
                p.rows.push_back(row);
            }
            book.pictures[p.name] = p;
        } else {
            Fail(path, ln, "expected 'legend' or 'picture', not '" + w[0] + "'");
        }
    }
}

Book LoadBook(const std::string &folder)
{
    namespace fs = std::filesystem;
    Book book;
    book.palette = LoadPalette((fs::path(folder) / "palette.txt").string());
    std::vector<std::string> files;
    for (const auto &e : fs::directory_iterator(folder))
        if (e.path().extension() == ".txt" && e.path().filename() != "palette.txt")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (const auto &f : files)
        LoadArtFile(f, book);
    return book;
}

Image Render(const Book &book, const Picture &pic, const Roles &roles)
{
    const Legend &lg = book.legends.at(pic.legend);
    Image img(pic.w, pic.h);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            const LegendEntry &e = lg.entries.at(pic.rows[y][x]);
            if (e.kind == LegendEntry::Index) {
                img.px[y * pic.w + x] = e.index;
            } else if (e.kind == LegendEntry::Role) {
                auto it = roles.find(e.role);
                if (it == roles.end())
                    throw SourceError(pic.where + ": the picture '" + pic.name + "' needs the colour " + e.role);
                img.px[y * pic.w + x] = it->second;
            }
        }
    return img;
}

void Blit(Image &dst, const Image &src, int x, int y)
{
    for (int j = 0; j < src.h; ++j)
        for (int i = 0; i < src.w; ++i) {
            int c = src.px[j * src.w + i];
            if (c >= 0)
                dst.Set(x + i, y + j, c);
        }
}

Image MirrorX(const Image &src)
{
    Image out(src.w, src.h);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
            out.px[y * src.w + x] = src.px[y * src.w + (src.w - 1 - x)];
    return out;
}

Image Rotate(const Image &src, double degrees, double cx, double cy)
{
    // Screen y grows downwards, so a counter-clockwise turn on screen is a clockwise one in
    // these coordinates; each destination sample is mapped back into the source.
    double a = degrees * std::numbers::pi / 180.0;
    double ca = std::cos(a), sa = std::sin(a);
    Image out(src.w, src.h);
    constexpr int N = 4;
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            std::map<int, int> count;
            int covered = 0;
            for (int sy = 0; sy < N; ++sy)
                for (int sx = 0; sx < N; ++sx) {
                    double dx = x + (sx + 0.5) / N - cx, dy = y + (sy + 0.5) / N - cy;
                    double ux = dx * ca - dy * sa + cx, uy = dx * sa + dy * ca + cy;
                    int c = src.At(int(std::floor(ux)), int(std::floor(uy)));
                    if (c >= 0)
                        ++count[c], ++covered;
                }
            if (covered * 2 < N * N)
                continue;
            int best = -1, most = 0;
            for (auto [c, n] : count)
                if (n > most)
                    best = c, most = n;
            out.px[y * src.w + x] = best;
        }
    return out;
}

}  // namespace art
