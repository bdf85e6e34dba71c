// The headless target: the picture lives in memory, offered as a direct buffer.
#include "internal.h"

namespace ggi {

namespace {

// LibGGI's direct-buffer kind: a plain frame buffer with a simple pixel-linear layout.
constexpr uint32_t DB_NORMAL_SIMPLE_PLB = 0x01000001;

struct MemoryVisual final : ggi_visual {
    Picture pic;
    ggi_directbuffer db{};

    int check_mode(int, int, ggi_graphtype type, ggi_graphtype &suggest) override
    {
        const ggi_graphtype order[] = {GT_8BIT, GT_16BIT, GT_24BIT};
        const unsigned bits[] = {DEPTH8, DEPTH16, DEPTH24};
        suggest = 0;
        for (int i = 0; i < 3; i++) {
            if (!(opt.depths & bits[i]))
                continue;
            if (type == order[i] || type == GGI_AUTO) {
                suggest = order[i];
                return 0;
            }
            if (!suggest)
                suggest = order[i];
        }
        return -1;
    }

    int set_mode(int w, int h, ggi_graphtype type) override
    {
        picture_set(pic, w, h, type);
        db = ggi_directbuffer{};
        db.type = DB_NORMAL_SIMPLE_PLB;
        db.read = db.write = pic.px.data();
        db.page_size = 0;
        db.buffer.plb.stride = w * pic.bpp;
        return 0;
    }

    bool has_mode() const override { return pic.type != 0; }

    const ggi_directbuffer *direct_buffer() override { return opt.nodb || !has_mode() ? nullptr : &db; }

    Picture &picture() override { return pic; }
};

}  // namespace

ggi_visual *open_memory(const Options &opt)
{
    auto *v = new MemoryVisual;
    if (!open_common(v, opt)) {
        finish(v);
        delete v;
        return nullptr;
    }
    return v;
}

}  // namespace ggi
