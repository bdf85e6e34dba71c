// The explosion (a fireball that burns down to smoke) and the smoke puff of the rockets'
// trails, drawn in code from a fixed noise so that every build makes the same frames.
#include <cmath>

#include "resgen.h"

namespace resgen {
namespace {

// A fixed value noise in 0..1.
double Noise(int x, int y, int seed)
{
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u + unsigned(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xffff) / 65535.0;
}

double Smooth(double x, double y, int seed)
{
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    double a = Noise(ix, iy, seed), b = Noise(ix + 1, iy, seed), c = Noise(ix, iy + 1, seed),
           d = Noise(ix + 1, iy + 1, seed);
    double top = a + (b - a) * fx, bot = c + (d - c) * fx;
    return top + (bot - top) * fy;
}

}  // namespace

std::vector<Image> Explosion(const Book &book)
{
    const art::Palette &pal = book.palette;
    std::vector<Image> frames;
    const double cx = EXPLO_W / 2.0, cy = EXPLO_H / 2.0 + 1;
    for (int f = 0; f < EXPLO_FRAMES; ++f) {
        Image img(EXPLO_W, EXPLO_H);
        double t = f / double(EXPLO_FRAMES - 1);
        double radius = 3 + 9.5 * (1 - std::pow(1 - std::min(1.0, f / 5.0), 2)) - (f > 7 ? (f - 7) * 0.6 : 0);
        double heat = std::max(0.0, 1.25 - 1.4 * t);  // white-hot at first, smoke at the end
        double rise = f * 0.45;                       // the cloud drifts upwards
        for (int y = 0; y < EXPLO_H; ++y)
            for (int x = 0; x < EXPLO_W; ++x) {
                double dx = (x + 0.5 - cx), dy = (y + 0.5 - cy + rise) * 1.35;
                double n = Smooth(x / 3.0, (y + f * 1.3) / 3.0, 7) * 0.6 + Smooth(x / 1.5, y / 1.5, 11) * 0.4;
                double d = std::hypot(dx, dy) / (radius * (0.75 + 0.5 * n));
                if (d >= 1)
                    continue;
                // Thin out the smoke as it goes, more at its rim.
                if (f >= 8 && n < (f - 7) * 0.08 + d * 0.3)
                    continue;
                double h = heat * (1.15 - d) + (n - 0.5) * 0.35;
                int c;
                if (h > 0.95)
                    c = pal.Index("fire.7");
                else if (h > 0.8)
                    c = pal.Index("fire.6");
                else if (h > 0.65)
                    c = pal.Index("fire.5");
                else if (h > 0.5)
                    c = pal.Index("fire.4");
                else if (h > 0.38)
                    c = pal.Index("fire.2");
                else if (h > 0.28)
                    c = pal.Index("fire.0");
                else {
                    int s = 1 + int(std::lround(n * 3 + (1 - d) * 2 + t * 1.5));
                    c = pal.Index(("smoke." + std::to_string(std::min(s, 6))).c_str());
                }
                img.Set(x, y, c);
            }
        // Flying debris in the first frames.
        if (f >= 1 && f <= 5)
            for (int k = 0; k < 8; ++k) {
                double a = k * 0.785 + 0.3;
                double r = 4 + f * 2.2 + Noise(k, 0, 3) * 3;
                img.Set(int(cx + std::cos(a) * r), int(cy + std::sin(a) * r * 0.75 - f * 0.3),
                        pal.Index(k % 2 ? "burnt.1" : "ember.8"));
            }
        frames.push_back(img);
    }
    return frames;
}

std::vector<Image> Smoke(const Book &book)
{
    const art::Palette &pal = book.palette;
    std::vector<Image> frames;
    for (int f = 0; f < SMOKE_FRAMES; ++f) {
        Image img(SMOKE_W, SMOKE_H);
        double radius = 2.2 + f * 0.65;
        for (int y = 0; y < SMOKE_H; ++y)
            for (int x = 0; x < SMOKE_W; ++x) {
                double dx = x + 0.5 - 7, dy = y + 0.5 - 7 + f * 0.3;
                double n = Smooth(x / 2.0, y / 2.0 + f, 5);
                double d = std::hypot(dx, dy) / (radius * (0.8 + 0.4 * n));
                if (d >= 1)
                    continue;
                // Thinner as it grows: fewer pixels, darker greys.
                if (f >= 3 && Noise(x, y, f) < (f - 2) * 0.11 + d * 0.25)
                    continue;
                double lit = -(dx + dy) / (radius * 2);
                int s = int(std::lround(6 - f * 0.45 + lit * 2 - d));
                img.Set(x, y, pal.Index(("smoke." + std::to_string(std::max(1, std::min(7, s)))).c_str()));
            }
        frames.push_back(img);
    }
    return frames;
}

}  // namespace resgen
