// The combat vehicle in its fourteen facings and two track phases, turned from one drawing,
// and the helicopter with its turning rotors.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "resgen.h"

namespace resgen {
namespace {

// Headings of the facing frames 0, 10, ..., 130 in degrees, counter-clockwise from right:
// left, two steps, up-left, up, up-right, two steps, right, two steps, down-right, down,
// down-left. Turning walks through these numbers in order.
const double HEADING[14] = {180, 165, 150, 135, 90, 45, 30, 15, 0, -15, -30, -45, -90, -135};

art::Roles HullRoles(const art::Palette &pal)
{
    auto c = [&](const char *n) { return pal.Index(n); };
    return {{"$hull.0", c("own.1")},   {"$hull.1", c("own.2")},   {"$hull.2", c("own.4")},  {"$hull.3", c("own.6")},
            {"$turret.0", c("own.3")}, {"$turret.1", c("own.5")}, {"$turret.2", c("own.7")}};
}

}  // namespace

std::vector<Image> Vehicle(const Book &book)
{
    const art::Palette &pal = book.palette;
    Image phase[2];
    for (int p = 0; p < 2; ++p) {
        art::Roles roles = HullRoles(pal);
        roles["$track.a"] = pal.Index(p ? "metal.4" : "metal.1");
        roles["$track.b"] = pal.Index(p ? "metal.1" : "metal.4");
        phase[p] = art::Render(book, book.Get("tank"), roles);
    }
    Image facing[2][14];
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 14; ++i)
            facing[p][i] = art::Rotate(phase[p], HEADING[i], TANK_W / 2.0, TANK_H / 2.0);
    std::vector<Image> frames;
    for (int f = 0; f < TANK_FRAMES; ++f) {
        // Only the multiples of ten are shown; the frames between them, and those past the
        // last facing of each phase, repeat the facing below them.
        int p = f >= 160 ? 1 : 0;
        int i = std::min((f % 160) / 10, 13);
        frames.push_back(facing[p][i]);
    }
    return frames;
}

std::vector<Image> Helicopter(const Book &book)
{
    const art::Palette &pal = book.palette;
    Image body = art::Render(book, book.Get("heli"), HullRoles(pal));
    int rotor = pal.Index("rotor"), blur = pal.Index("rotorblur");
    const double cx = 30.5, cy = 10, rx = 24, ry = 3;
    std::vector<Image> frames;
    for (int f = 0; f < HELI_FRAMES; ++f) {
        Image img = body;
        // The disc the blades sweep, faint, then the two blades at this frame's angle.
        for (int k = 0; k < 96; k += 2) {
            double a = k * 2 * std::numbers::pi / 96 + f * 0.05;
            img.Set(int(std::floor(cx + rx * std::cos(a))), int(std::floor(cy + ry * std::sin(a))), blur);
        }
        double a = (f * 45.0 + 20.0) * std::numbers::pi / 180.0;
        for (double s = -1; s <= 1; s += 0.01) {
            int x = int(std::floor(cx + s * rx * std::cos(a))), y = int(std::floor(cy + s * ry * std::sin(a)));
            img.Set(x, y, rotor);
            // Blades are broad near the hub.
            if (std::abs(s) < 0.7)
                img.Set(x, y - 1, rotor);
        }
        img.Set(30, 10, pal.Index("metal.3"));
        img.Set(31, 10, pal.Index("metal.3"));
        // The tail rotor turns too.
        int tx = 4, ty = 11;
        for (int k = -3; k <= 3; ++k) {
            if (f % 2 == 0)
                img.Set(tx, ty + k, rotor);
            else
                img.Set(tx + (k > 0) - (k < 0), ty + k, blur);
        }
        frames.push_back(img);
    }
    return frames;
}

}  // namespace resgen
