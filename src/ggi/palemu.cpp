// Eight-bit palette modes emulated on a true-colour parent visual.
#include <algorithm>

#include "internal.h"

namespace ggi {

namespace {

// Its own picture is the program's 8-bit one; the parent holds the converted one.
struct PalemuVisual final : PresentingVisual {
    ggi_visual *parent = nullptr;

    // The parent's true-colour type for a size: 24 bits keep the palette exact, 16 bits
    // still do for the parents that offer no more.
    ggi_graphtype parent_type(int w, int h)
    {
        ggi_graphtype s;
        for (ggi_graphtype t : {GT_24BIT, GT_16BIT})
            if (parent->check_mode(w, h, t, s) == 0)
                return t;
        return 0;
    }

    int check_mode(int w, int h, ggi_graphtype type, ggi_graphtype &suggest) override
    {
        bool parent_ok = parent_type(w, h) != 0;
        suggest = parent_ok ? GT_8BIT : 0;
        return parent_ok && (type == GT_8BIT || type == GGI_AUTO) ? 0 : -1;
    }

    int set_mode(int w, int h, ggi_graphtype) override
    {
        ggi_graphtype t = parent_type(w, h);
        if (!t || parent->set_mode(w, h, t) != 0)
            return -1;
        picture_set(pic, w, h, GT_8BIT);
        return 0;
    }

    // Converts the whole picture through the palette as it stands now and hands it to the
    // parent as one full box, which the parent shows as a frame.
    void present() override
    {
        Picture &out = parent->picture();
        ggi_pixel table[256];
        for (int i = 0; i < 256; i++)
            table[i] = map_colour(out, pic.palette[i]);
        const size_t n = static_cast<size_t>(pic.w) * pic.h;
        const int bpp = out.bpp;
        uint8_t *d = out.px.data();
        for (size_t i = 0; i < n; i++) {
            ggi_pixel c = table[pic.px[i]];
            for (int b = 0; b < bpp; b++)
                d[i * bpp + b] = uint8_t(c >> (8 * b));
        }
        parent->box_done(true);
    }

    bool shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h) override
    {
        return has_mode() && parent->shown_rgb(rgb, w, h);
    }
    ggi_visual *input_owner() override { return parent; }
    SDL_Window *window() override { return parent->window(); }

    void close_target() override
    {
        auto &all = open_visuals();
        finish(parent);
        parent->close_target();
        all.erase(std::find(all.begin(), all.end(), parent));
        delete parent;
        parent = nullptr;
    }
};

}  // namespace

ggi_visual *open_palemu(const DisplaySpec &parent_spec)
{
    ggi_visual *parent = open_spec(parent_spec);
    if (!parent)
        return nullptr;
    auto *v = new PalemuVisual;
    v->parent = parent;
    return v;
}

}  // namespace ggi
