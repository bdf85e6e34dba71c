// The infantry sheet: ten kinds of soldiers, each in eight directions walking and attacking,
// put together from the drawn bodies and weapons in the side's colours.
#include "resgen.h"

namespace resgen {
namespace {

// A held weapon with the pixel the hand grips and its muzzle.
struct Held {
    Image img;
    int ax = 0, ay = 0, tx = 0, ty = 0;
};

Held Load(const Book &book, const std::string &name)
{
    const art::Picture &p = book.Get(name);
    if (p.anchorX < 0 || p.tipX < 0)
        throw art::SourceError(p.where + ": '" + name + "' needs a grip and a muzzle");
    return Held{art::Render(book, p), p.anchorX, p.anchorY, p.tipX, p.tipY};
}

Held FlipUp(const Held &h)
{
    Image out(h.img.w, h.img.h);
    for (int y = 0; y < h.img.h; ++y)
        for (int x = 0; x < h.img.w; ++x)
            out.px[y * h.img.w + x] = h.img.px[(h.img.h - 1 - y) * h.img.w + x];
    return Held{out, h.ax, h.img.h - 1 - h.ay, h.tx, h.img.h - 1 - h.ty};
}

enum Facing { F_R, F_RU, F_U, F_RO, F_O, FACINGS };
const char *FACING_NAME[FACINGS] = {"R", "RU", "U", "RO", "O"};
const int FACING_DX[FACINGS] = {1, 1, 0, 1, 0}, FACING_DY[FACINGS] = {0, 1, 1, -1, -1};

// Which drawn facing shows a direction, and whether it is mirrored.
void FacingOf(Dir d, Facing &f, bool &mirror)
{
    static const Facing facing[DIRS] = {F_R, F_RU, F_U, F_RU, F_R, F_RO, F_O, F_RO};
    f = facing[d];
    mirror = d == LU || d == L || d == LO;
}

enum Weapon { RIFLE, ROCKET, LASER, MG, PISTOL, SMG };
const char *WEAPON_NAME[] = {"rifle", "rocket", "laser", "mg", "pistol", "smg"};

// What the muzzle shows in the three attack frames of each weapon.
enum Effect { NONE, FLASH_SMALL, FLASH_BIG, BACKBLAST, GLOW1, GLOW2, GLOW3 };
const Effect ATTACK_EFFECT[6][3] = {
    {FLASH_BIG, NONE, FLASH_SMALL},       // rifle: a shot, a pause, a shot
    {NONE, NONE, BACKBLAST},              // rockets: aim, aim, away (the rocket leaves after it)
    {GLOW1, GLOW2, GLOW3},                // laser: charging up to the shot
    {FLASH_BIG, FLASH_SMALL, FLASH_BIG},  // machine gun: bursts
    {FLASH_SMALL, NONE, NONE},
    {FLASH_SMALL, FLASH_BIG, NONE},
};

struct Kind {
    const char *side;    // ramp of the side's colours
    const char *helmet;  // ramp of the helmet
    Weapon weapon;
};
// Kinds 8 and 9 of this sheet are only ever shown for enemy units (the player's helicopter
// and vehicle have sheets of their own), so they wear the enemy's colours: an officer with a
// pistol and a crewman with a machine pistol, in khaki caps.
const Kind KIND[KINDS] = {{"own", "own", RIFLE},     {"own", "own", ROCKET},    {"own", "own", LASER},
                          {"own", "own", MG},        {"enemy", "enemy", RIFLE}, {"enemy", "enemy", ROCKET},
                          {"enemy", "enemy", LASER}, {"enemy", "enemy", MG},    {"enemy", "khaki", PISTOL},
                          {"enemy", "khaki", SMG}};

art::Roles RolesFor(const art::Palette &pal, const Kind &k)
{
    auto c = [&](const std::string &n) { return pal.Index(n); };
    std::string s = std::string(k.side) + ".", h = std::string(k.helmet) + ".";
    bool cap = std::string(k.helmet) == "khaki";
    return {{"$cloth.0", c(s + "1")},
            {"$cloth.1", c(s + "3")},
            {"$cloth.2", c(s + "4")},
            {"$cloth.3", c(s + "6")},
            {"$helmet.0", c(h + (cap ? "0" : "1"))},
            {"$helmet.1", c(h + (cap ? "1" : "3"))},
            {"$helmet.2", c(h + (cap ? "3" : "5"))},
            {"$pack.0", c(s + "0")},
            {"$pack.1", c(s + "2")}};
}

void DrawEffect(Image &img, const art::Palette &pal, Effect e, const Held &h, int gx, int gy, Facing f)
{
    int dx = FACING_DX[f], dy = FACING_DY[f];
    int tx = gx + h.tx, ty = gy + h.ty;
    auto c = [&](const char *n) { return pal.Index(n); };
    auto at = [&](int k, int side, int col) {  // k along the muzzle's direction, side across it
        img.Set(tx + dx * k - dy * side, ty + dy * k + dx * side, col);
    };
    switch (e) {
    case NONE:
        break;
    case FLASH_SMALL:
        at(1, 0, c("flash.white"));
        at(2, 0, c("flash.yellow"));
        break;
    case FLASH_BIG:
        at(1, 0, c("flash.white"));
        at(2, 0, c("flash.white"));
        at(1, 1, c("flash.yellow"));
        at(1, -1, c("flash.yellow"));
        at(3, 0, c("flash.orange"));
        break;
    case BACKBLAST: {
        at(1, 0, c("flash.yellow"));
        at(2, 0, c("flash.white"));
        // Behind the tube: the blast and its smoke, as far back as the tube is long.
        int rx = gx + h.ax - dx * 4, ry = gy + h.ay - dy * 4;
        const char *cols[] = {"flash.white", "flash.yellow", "flash.orange", "metal.6", "metal.5"};
        for (int k = 0; k < 5; ++k) {
            img.Set(rx - dx * k, ry - dy * k, c(cols[k]));
            if (k >= 2)
                img.Set(rx - dx * k - dy, ry - dy * k + dx, c(cols[k]));
        }
        break;
    }
    case GLOW1:
        at(0, 0, c("laserglow.2"));
        break;
    case GLOW2:
        at(0, 0, c("laserglow.3"));
        at(1, 0, c("laserglow.1"));
        break;
    case GLOW3:
        at(0, 0, c("laserglow.3"));
        at(1, 0, c("laserglow.3"));
        at(0, 1, c("laserglow.2"));
        at(0, -1, c("laserglow.2"));
        at(2, 0, c("laserglow.1"));
        break;
    }
}

}  // namespace

std::vector<Image> Infantry(const Book &book)
{
    const art::Palette &pal = book.palette;
    // The weapons in every drawn facing.
    Held held[6][FACINGS];
    for (int w = 0; w < 6; ++w) {
        std::string n = std::string("gun.") + WEAPON_NAME[w];
        held[w][F_R] = Load(book, n + ".R");
        held[w][F_RU] = Load(book, n + ".RU");
        // Facing the viewer the weapon is held slanting across the body, facing away it
        // shows over the shoulder: a weapon pointing straight at or away from the viewer
        // would hide behind the soldier, and the kinds must tell apart in every facing.
        held[w][F_U] = held[w][F_RU];
        held[w][F_RO] = FlipUp(held[w][F_RU]);
        held[w][F_O] = held[w][F_RO];
    }
    std::vector<Image> frames;
    for (int k = 0; k < KINDS; ++k) {
        art::Roles roles = RolesFor(pal, KIND[k]);
        auto frame = [&](Dir d, const char *pose, int phase) {
            Facing f;
            bool mirror;
            FacingOf(d, f, mirror);
            const art::Picture &p = book.Get(std::string("man.") + FACING_NAME[f] + "." + pose);
            if (p.anchorX < 0)
                throw art::SourceError(p.where + ": '" + p.name + "' has no hand");
            Image body = art::Render(book, p, roles);
            const Held &h = held[KIND[k].weapon][f];
            int gx = p.anchorX - h.ax, gy = p.anchorY - h.ay;
            Image img(MAN_W, MAN_H);
            // Facing away, the weapon is in front of the soldier and so behind him on screen.
            if (f == F_O)
                art::Blit(img, h.img, gx, gy);
            art::Blit(img, body, 0, 0);
            if (f != F_O)
                art::Blit(img, h.img, gx, gy);
            if (phase > 0)
                DrawEffect(img, pal, ATTACK_EFFECT[KIND[k].weapon][phase - 1], h, gx, gy, f);
            return mirror ? art::MirrorX(img) : img;
        };
        std::vector<Image> kind(MANN_DIV);
        static const char *WALK_POSE[WALK_BLOCK] = {"stand", "stepA", "stand", "stepB", "stand"};
        for (int d = 0; d < DIRS; ++d) {
            for (int i = 0; i < WALK_BLOCK; ++i)
                kind[WalkStart(Dir(d)) + i] = frame(Dir(d), WALK_POSE[i], 0);
            for (int i = 0; i < ATTACK_BLOCK; ++i)
                kind[AttackStart(Dir(d)) + i] = frame(Dir(d), "aim", i);
        }
        frames.insert(frames.end(), kind.begin(), kind.end());
    }
    return frames;
}

}  // namespace resgen
